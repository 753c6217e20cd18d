// Everything the window asks of the desktop around it: message boxes, file
// dialogs, the browser and the busy pointer. The program passes the desktop's
// own; the driver and the tests pass one that answers from a script and
// records what was asked, so no test ever waits on a real dialog.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

class QPrinter;
class QWidget;

namespace korvanta::ui {

class ImportDialog;

struct FileRequest {
    QString title;     // "打开" or "另存为"
    QString directory; // where the dialog starts
    QString filter;    // "Microsoft Excel 工作簿(*.xls)" and its patterns; several
                       // are separated by ";;", the first one is selected
};

// A question with several answers, e.g. whether to keep the data.
struct Question {
    QString title;
    QString text;
    QStringList buttons;   // captions, in the order shown
    int defaultButton = 0; // Enter
    int cancelButton = 0;  // Escape and the close box
    // What the program did before it asked: the answer when nobody is there
    // to give one (a script or a test that does not answer).
    int unattendedButton = 0;
};

struct FileChoice {
    QString path;
    int filter = 0; // which of the request's filters was selected
};

class UserInteraction {
public:
    virtual ~UserInteraction() = default;
    // An information box with an OK button only.
    virtual void ShowMessage(QWidget* parent, const QString& title, const QString& text) = 0;
    // The chosen path, or nothing when the user cancels.
    virtual std::optional<QString> ChooseFileToOpen(QWidget* parent, const FileRequest& request) = 0;
    virtual std::optional<QString> ChooseFileToSave(QWidget* parent, const FileRequest& request) = 0;
    // A save dialog whose filters choose a file type. Unless overridden, the
    // first filter stays selected.
    virtual std::optional<FileChoice> ChooseFileToSaveAs(QWidget* parent, const FileRequest& request)
    {
        const std::optional<QString> path = ChooseFileToSave(parent, request);
        return path ? std::optional<FileChoice>(FileChoice{*path, 0}) : std::nullopt;
    }
    // The import preview "导入数据", filled with the file's first sheet:
    // true when the user imports what it shows, false when cancelled.
    // Unless overridden, it is accepted as it opens.
    virtual bool PreviewImport(ImportDialog& dialog)
    {
        (void)dialog;
        return true;
    }
    // Shows a print preview whose pages paint draws, from which the user
    // prints through the print dialog (paint is called again for the chosen
    // printer). Unless overridden, the preview is closed without printing.
    virtual void PreviewAndPrint(QWidget* parent, const QString& title,
                                 const std::function<void(QPrinter& printer)>& paint)
    {
        (void)parent;
        (void)title;
        (void)paint;
    }
    // The index of the button chosen. Unless overridden, the unattended one.
    virtual int Ask(QWidget* parent, const Question& question)
    {
        (void)parent;
        return question.unattendedButton;
    }
    // Opens an address in the default browser; reports nothing when none is there.
    virtual void OpenUrl(const QUrl& url) = 0;
};

} // namespace korvanta::ui
