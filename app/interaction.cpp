#include "app/interaction.h"

#include <QDesktopServices>
#include <QFileDialog>
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

void DesktopInteraction::openUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

} // namespace korvanta::ui
