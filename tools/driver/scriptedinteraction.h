// The desktop as the driver plays it: file dialogs answered from the script,
// message boxes answered OK and recorded until the next action begins (so a
// script never reads an earlier action's message), addresses recorded
// instead of opened in a browser, the sheet of a workbook chosen from the
// script (the first unless told).
#pragma once

#include "app/interaction.h"

#include <QString>
#include <QUrl>
#include <optional>

namespace korvanta::driver {

class ScriptedInteraction final : public ui::UserInteraction {
public:
    // The next file dialog returns path; with no answer given it is cancelled.
    void answerNextFile(std::optional<QString> path) { nextFile_ = std::move(path); }
    // The next sheet question picks index (from 0), or is cancelled.
    void answerNextSheet(std::optional<int> index) { nextSheet_ = index; }

    // The message box the current action showed, "title|text"; empty when
    // it showed none.
    QString lastMessage() const { return lastMessage_; }
    // A new action begins: the previous action's message is no longer its.
    void forgetMessage() { lastMessage_.clear(); }
    QString lastUrl() const { return lastUrl_; }
    QString lastFileDialogTitle() const { return lastDialogTitle_; }
    // The sheet names the last sheet question offered.
    QStringList lastSheets() const { return lastSheets_; }

    void showMessage(QWidget*, const QString& title, const QString& text) override
    {
        lastMessage_ = title + QLatin1Char('|') + text;
    }
    std::optional<QString> chooseFileToOpen(QWidget*, const ui::FileRequest& request) override { return takeAnswer(request); }
    std::optional<QString> chooseFileToSave(QWidget*, const ui::FileRequest& request) override { return takeAnswer(request); }
    std::optional<int> chooseSheet(QWidget*, const QStringList& names) override
    {
        lastSheets_ = names;
        const std::optional<int> answer = nextSheet_;
        nextSheet_ = 0;
        return answer;
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
    QStringList lastSheets_;
    QString lastMessage_;
    QString lastUrl_;
    QString lastDialogTitle_;
};

} // namespace korvanta::driver
