// The desktop played by a recorder for window tests: messages and the save
// dialog's filters are recorded, the file dialogs answered and the import
// preview set up (sheet, columns, heading) as set beforehand.
#pragma once

#include "app/importdialog.h"
#include "app/interaction.h"

#include <QStringList>
#include <functional>
#include <optional>
#include <utility>

namespace korvanta::ui {

class Recorder final : public UserInteraction {
public:
    void showMessage(QWidget*, const QString& title, const QString& text) override { messages << title + '|' + text; }
    std::optional<QString> chooseFileToOpen(QWidget*, const FileRequest&) override { return std::exchange(nextFile, std::nullopt); }
    std::optional<QString> chooseFileToSave(QWidget*, const FileRequest& request) override
    {
        filters << request.filter;
        return std::exchange(nextFile, std::nullopt);
    }
    std::optional<FileChoice> chooseFileToSaveAs(QWidget*, const FileRequest& request) override
    {
        filters << request.filter;
        return std::exchange(nextChoice, std::nullopt);
    }
    bool previewImport(ImportDialog& preview) override
    {
        if (inspect)
            inspect(preview);
        if (preview.sheetNames().size() > 1)
            sheetsAsked << preview.sheetNames();
        if (!nextSheet)
            return false;
        preview.chooseSheet(*nextSheet);
        if (nextColumns)
            preview.chooseColumns(nextColumns->first, nextColumns->second);
        if (nextHeading)
            preview.setHeading(*nextHeading);
        return true;
    }
    void openUrl(const QUrl&) override {}

    std::optional<QString> nextFile;
    std::optional<FileChoice> nextChoice;
    std::optional<int> nextSheet = 0;
    std::optional<std::pair<int, int>> nextColumns;
    std::function<void(ImportDialog&)> inspect;
    std::optional<bool> nextHeading;
    QStringList messages, filters;
    QList<QStringList> sheetsAsked;
};

} // namespace korvanta::ui
