// The desktop as the driver plays it: file dialogs answered from the script,
// message boxes answered OK and recorded, addresses recorded instead of
// opened in a browser, the import preview set up from the script as a user
// would set it (the first sheet, columns A and B, no heading unless told)
// and accepted.
#pragma once

#include "app/importdialog.h"
#include "app/interaction.h"

#include <QString>
#include <QUrl>
#include <optional>
#include <utility>

namespace korvanta::driver {

class ScriptedInteraction final : public ui::UserInteraction {
public:
    // The next file dialog returns path; with no answer given it is cancelled.
    void answerNextFile(std::optional<QString> path) { nextFile_ = std::move(path); }
    // The next preview shows sheet index (from 0), or is cancelled.
    void answerNextSheet(std::optional<int> index) { nextSheet_ = index; }
    // The next preview takes these columns (from 0) and, when given, a
    // heading or none; or is cancelled.
    struct ImportAnswer {
        int first = 0, second = 1;
        std::optional<bool> heading;
    };
    void answerNextImport(std::optional<ImportAnswer> answer) { nextImport_ = answer; }

    QString lastMessage() const { return lastMessage_; }
    QString lastUrl() const { return lastUrl_; }
    QString lastFileDialogTitle() const { return lastDialogTitle_; }
    // The sheet names the last preview of several sheets offered.
    QStringList lastSheets() const { return lastSheets_; }

    void showMessage(QWidget*, const QString& title, const QString& text) override
    {
        lastMessage_ = title + QLatin1Char('|') + text;
    }
    std::optional<QString> chooseFileToOpen(QWidget*, const ui::FileRequest& request) override { return takeAnswer(request); }
    std::optional<QString> chooseFileToSave(QWidget*, const ui::FileRequest& request) override { return takeAnswer(request); }
    bool previewImport(ui::ImportDialog& dialog) override
    {
        if (dialog.sheetNames().size() > 1)
            lastSheets_ = dialog.sheetNames();
        const std::optional<int> sheet = std::exchange(nextSheet_, 0);
        const std::optional<ImportAnswer> answer = std::exchange(nextImport_, ImportAnswer{});
        if (!sheet || !answer)
            return false;
        // A sheet or column the file does not have cancels, as a user
        // could not pick it.
        if (!dialog.chooseSheet(*sheet) || !dialog.chooseColumns(answer->first, answer->second))
            return false;
        if (answer->heading)
            dialog.setHeading(*answer->heading);
        return true;
    }
    void openUrl(const QUrl& url) override { lastUrl_ = url.toString(); }

private:
    std::optional<QString> takeAnswer(const ui::FileRequest& request)
    {
        lastDialogTitle_ = request.title;
        std::optional<QString> answer = std::move(nextFile_);
        nextFile_.reset();
        return answer;
    }

    std::optional<QString> nextFile_;
    std::optional<int> nextSheet_ = 0;
    std::optional<ImportAnswer> nextImport_ = ImportAnswer{};
    QStringList lastSheets_;
    QString lastMessage_;
    QString lastUrl_;
    QString lastDialogTitle_;
};

} // namespace korvanta::driver
