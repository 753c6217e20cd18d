// The desktop as the driver plays it: file dialogs answered from the script,
// message boxes answered OK and recorded until the next action begins (so a
// script never reads an earlier action's message), addresses recorded
// instead of opened in a browser, the import preview shown and drawn, then
// set up from the script as a user would set it (the first sheet, columns A
// and B, no heading unless told) and accepted, questions answered by the
// caption the script gave or else as the program behaved before it asked.
#pragma once

#include "app/importdialog.h"
#include "widgetkit/interaction.h"

#include <QCoreApplication>
#include <QString>
#include <QUrl>
#include <optional>
#include <utility>

namespace korvanta::driver {

class ScriptedInteraction final : public ui::UserInteraction {
public:
    // The next file dialog returns path; with no answer given it is cancelled.
    void AnswerNextFile(std::optional<QString> path) { nextFile_ = std::move(path); }
    // The next preview shows sheet index (from 0), or is cancelled.
    void AnswerNextSheet(std::optional<int> index) { nextSheet_ = index; }
    // The next preview takes these columns (from 0) and, when given, a
    // heading or none; or is cancelled.
    struct ImportAnswer {
        int first = 0, second = 1;
        std::optional<bool> heading;
    };
    void AnswerNextImport(std::optional<ImportAnswer> answer) { nextImport_ = answer; }
    // The next question is answered by the button with this caption.
    void AnswerNextQuestion(QString caption) { nextAnswer_ = std::move(caption); }
    // TITLE|TEXT of the question asked since ForgetQuestion(), or empty.
    QString LastQuestion() const { return lastQuestion_; }
    void ForgetQuestion() { lastQuestion_.clear(); }
    // The script's answer when the question did not offer it (the question
    // was then cancelled); empty otherwise.
    QString TakeRefusedAnswer() { return std::exchange(refusedAnswer_, QString()); }

    // The message box the current action showed, "title|text"; empty when
    // it showed none.
    QString LastMessage() const { return lastMessage_; }
    // A new action begins: the previous action's message is no longer its.
    void ForgetMessage() { lastMessage_.clear(); }
    QString LastUrl() const { return lastUrl_; }
    QString LastFileDialogTitle() const { return lastDialogTitle_; }
    // The sheet names the last preview of several sheets offered.
    QStringList LastSheets() const { return lastSheets_; }

    void ShowMessage(QWidget*, const QString& title, const QString& text) override
    {
        lastMessage_ = title + QLatin1Char('|') + text;
    }
    std::optional<QString> ChooseFileToOpen(QWidget*, const ui::FileRequest& request) override
    {
        return TakeAnswer(request);
    }
    std::optional<QString> ChooseFileToSave(QWidget*, const ui::FileRequest& request) override
    {
        return TakeAnswer(request);
    }
    bool PreviewImport(ui::ImportDialog& dialog) override
    {
        if (dialog.SheetNames().size() > 1) lastSheets_ = dialog.SheetNames();
        const std::optional<int> sheet = std::exchange(nextSheet_, 0);
        const std::optional<ImportAnswer> answer = std::exchange(nextImport_, ImportAnswer{});
        // Shown and drawn before it is answered, as a user sees it.
        dialog.show();
        QCoreApplication::processEvents();
        // A sheet or column the file does not have cancels, as a user
        // could not pick it.
        const bool accepted =
            sheet && answer && dialog.ChooseSheet(*sheet) && dialog.ChooseColumns(answer->first, answer->second);
        if (accepted && answer->heading) dialog.SetHeading(*answer->heading);
        if (accepted)
            dialog.accept();
        else
            dialog.reject();
        return accepted;
    }
    int Ask(QWidget*, const ui::Question& question) override
    {
        lastQuestion_ = question.title + QLatin1Char('|') + question.text;
        if (!nextAnswer_) return question.unattendedButton;
        const QString caption = *std::exchange(nextAnswer_, std::nullopt);
        const auto index = question.buttons.indexOf(caption);
        if (index < 0) {
            refusedAnswer_ =
                caption + QStringLiteral(" (offered: ") + question.buttons.join(QLatin1Char('|')) + QLatin1Char(')');
            return question.cancelButton;
        }
        return static_cast<int>(index);
    }
    void OpenUrl(const QUrl& url) override { lastUrl_ = url.toString(); }

private:
    std::optional<QString> TakeAnswer(const ui::FileRequest& request)
    {
        lastDialogTitle_ = request.title;
        std::optional<QString> answer = std::move(nextFile_);
        nextFile_.reset();
        return answer;
    }

    std::optional<QString> nextFile_;
    std::optional<int> nextSheet_ = 0;
    std::optional<ImportAnswer> nextImport_ = ImportAnswer{};
    std::optional<QString> nextAnswer_;
    QString lastQuestion_;
    QString refusedAnswer_;
    QStringList lastSheets_;
    QString lastMessage_;
    QString lastUrl_;
    QString lastDialogTitle_;
};

} // namespace korvanta::driver
