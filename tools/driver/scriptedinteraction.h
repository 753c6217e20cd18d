// The desktop as the driver plays it: file dialogs answered from the script,
// message boxes answered OK and recorded until the next action begins (so a
// script never reads an earlier action's message), addresses recorded
// instead of opened in a browser, the sheet of a workbook chosen from the
// script (the first unless told), questions answered by the caption the
// script gave or else as the program behaved before it asked.
#pragma once

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
    // The next sheet question picks index (from 0), or is cancelled.
    void answerNextSheet(std::optional<int> index) { nextSheet_ = index; }
    // The next question is answered by the button with this caption.
    void answerNextQuestion(QString caption) { nextAnswer_ = std::move(caption); }
    // TITLE|TEXT of the question asked since forgetQuestion(), or empty.
    QString lastQuestion() const { return lastQuestion_; }
    void forgetQuestion() { lastQuestion_.clear(); }
    // The script's answer when the question did not offer it (the question
    // was then cancelled); empty otherwise.
    QString takeRefusedAnswer() { return std::exchange(refusedAnswer_, QString()); }

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
    int ask(QWidget*, const ui::Question& question) override
    {
        lastQuestion_ = question.title + QLatin1Char('|') + question.text;
        if (!nextAnswer_)
            return question.unattendedButton;
        const QString caption = *std::exchange(nextAnswer_, std::nullopt);
        const auto index = question.buttons.indexOf(caption);
        if (index < 0) {
            refusedAnswer_ = caption + QStringLiteral(" (offered: ") + question.buttons.join(QLatin1Char('|')) + QLatin1Char(')');
            return question.cancelButton;
        }
        return static_cast<int>(index);
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
    std::optional<QString> nextAnswer_;
    QString lastQuestion_;
    QString refusedAnswer_;
    QStringList lastSheets_;
    QString lastMessage_;
    QString lastUrl_;
    QString lastDialogTitle_;
};

} // namespace korvanta::driver
