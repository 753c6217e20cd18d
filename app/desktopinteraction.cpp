#include "app/desktopinteraction.h"

#include "app/importdialog.h"
#include "widgetkit/screenfit.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>

#include <algorithm>
#include <vector>

namespace korvanta::ui {

void DesktopInteraction::ShowMessage(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

std::optional<QString> DesktopInteraction::ChooseFileToOpen(QWidget* parent, const FileRequest& request)
{
    const QString path = QFileDialog::getOpenFileName(parent, request.title, request.directory, request.filter);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<QString> DesktopInteraction::ChooseFileToSave(QWidget* parent, const FileRequest& request)
{
    // The window adds the extension itself, so the dialog is given none.
    const QString path = QFileDialog::getSaveFileName(parent, request.title, request.directory, request.filter);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<FileChoice> DesktopInteraction::ChooseFileToSaveAs(QWidget* parent, const FileRequest& request)
{
    QString selected;
    const QString path =
        QFileDialog::getSaveFileName(parent, request.title, request.directory, request.filter, &selected);
    if (path.isEmpty()) return std::nullopt;
    const int filter = static_cast<int>(request.filter.split(QStringLiteral(";;")).indexOf(selected));
    return FileChoice{path, std::max(filter, 0)};
}

bool DesktopInteraction::PreviewImport(ImportDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

void DesktopInteraction::PreviewAndPrint(QWidget* parent, const QString& title,
                                         const std::function<void(QPrinter& printer)>& paint)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(20, 18, 20, 15), QPageLayout::Millimeter);
    printer.setDocName(title);
    // The preview's print button opens the print dialog and paints again
    // for the printer chosen there.
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(title);
    // About a page's shape, as far as the screen allows.
    preview.resize(760, 900);
    FitToScreen(&preview);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&paint](QPrinter* target) { paint(*target); });
    preview.exec();
}

int DesktopInteraction::Ask(QWidget* parent, const Question& question)
{
    QMessageBox box(QMessageBox::Question, question.title, question.text, QMessageBox::NoButton, parent);
    std::vector<QPushButton*> buttons;
    for (const QString& caption : question.buttons) buttons.push_back(box.addButton(caption, QMessageBox::ActionRole));
    const auto at = [&](int index) {
        return buttons.at(static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(buttons.size()) - 1)));
    };
    box.setDefaultButton(at(question.defaultButton));
    box.setEscapeButton(at(question.cancelButton));
    box.exec();
    const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return chosen == buttons.end() ? question.cancelButton : static_cast<int>(chosen - buttons.begin());
}

void DesktopInteraction::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

} // namespace korvanta::ui
