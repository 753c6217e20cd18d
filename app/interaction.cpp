#include "app/interaction.h"

#include "app/importdialog.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace korvanta::ui {

void DesktopInteraction::showMessage(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

std::optional<QString> DesktopInteraction::chooseFileToOpen(QWidget* parent, const FileRequest& request)
{
    const QString path = QFileDialog::getOpenFileName(parent, request.title, request.directory, request.filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> DesktopInteraction::chooseFileToSave(QWidget* parent, const FileRequest& request)
{
    // The window adds the extension itself, so the dialog is given none.
    const QString path = QFileDialog::getSaveFileName(parent, request.title, request.directory, request.filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<FileChoice> DesktopInteraction::chooseFileToSaveAs(QWidget* parent, const FileRequest& request)
{
    QString selected;
    const QString path = QFileDialog::getSaveFileName(parent, request.title, request.directory, request.filter, &selected);
    if (path.isEmpty())
        return std::nullopt;
    const int filter = static_cast<int>(request.filter.split(QStringLiteral(";;")).indexOf(selected));
    return FileChoice{path, std::max(filter, 0)};
}

bool DesktopInteraction::previewImport(ImportDialog& dialog)
{
    return dialog.exec() == QDialog::Accepted;
}

void DesktopInteraction::openUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

} // namespace korvanta::ui
