#include "app/interaction.h"

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

std::optional<int> DesktopInteraction::chooseSheet(QWidget* parent, const QStringList& names)
{
    bool ok = false;
    const QString name = QInputDialog::getItem(parent, QStringLiteral("选择工作表"), QStringLiteral("该工作簿有多个工作表，请选择要导入的工作表："),
                                               names, 0, false, &ok);
    if (!ok)
        return std::nullopt;
    return std::max(0, static_cast<int>(names.indexOf(name)));
}

void DesktopInteraction::openUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

} // namespace korvanta::ui
