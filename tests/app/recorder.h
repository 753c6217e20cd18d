// The desktop played by a recorder for window tests: messages and the save
// dialog's filters are recorded, and the file dialogs and the sheet question
// answered as set beforehand.
#pragma once

#include "app/interaction.h"

#include <QStringList>
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
    std::optional<int> chooseSheet(QWidget*, const QStringList& names) override
    {
        sheetsAsked << names;
        return nextSheet;
    }
    void openUrl(const QUrl&) override {}

    std::optional<QString> nextFile;
    std::optional<FileChoice> nextChoice;
    std::optional<int> nextSheet = 0;
    QStringList messages, filters;
    QList<QStringList> sheetsAsked;
};

} // namespace korvanta::ui
