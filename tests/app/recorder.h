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
    void ShowMessage(QWidget*, const QString& title, const QString& text) override { messages << title + '|' + text; }
    std::optional<QString> ChooseFileToOpen(QWidget*, const FileRequest&) override
    {
        return std::exchange(nextFile, std::nullopt);
    }
    std::optional<QString> ChooseFileToSave(QWidget*, const FileRequest& request) override
    {
        filters << request.filter;
        return std::exchange(nextFile, std::nullopt);
    }
    std::optional<FileChoice> ChooseFileToSaveAs(QWidget*, const FileRequest& request) override
    {
        filters << request.filter;
        return std::exchange(nextChoice, std::nullopt);
    }
    bool PreviewImport(ImportDialog& preview) override
    {
        if (inspect) inspect(preview);
        if (preview.SheetNames().size() > 1) sheetsAsked << preview.SheetNames();
        if (!nextSheet) return false;
        preview.ChooseSheet(*nextSheet);
        if (nextColumns) preview.ChooseColumns(nextColumns->first, nextColumns->second);
        if (nextHeading) preview.SetHeading(*nextHeading);
        return true;
    }
    void OpenUrl(const QUrl&) override {}

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
