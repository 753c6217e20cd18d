// The desktop as the driver plays it: file dialogs answered from the script,
// message boxes answered OK and recorded, addresses recorded instead of
// opened in a browser.
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

    QString lastMessage() const { return lastMessage_; }
    QString lastUrl() const { return lastUrl_; }
    QString lastFileDialogTitle() const { return lastDialogTitle_; }

    void showMessage(QWidget*, const QString& title, const QString& text) override
    {
        lastMessage_ = title + QLatin1Char('|') + text;
    }
    std::optional<QString> chooseFileToOpen(QWidget*, const ui::FileRequest& request) override { return takeAnswer(request); }
    std::optional<QString> chooseFileToSave(QWidget*, const ui::FileRequest& request) override { return takeAnswer(request); }
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
    QString lastMessage_;
    QString lastUrl_;
    QString lastDialogTitle_;
};

} // namespace korvanta::driver
