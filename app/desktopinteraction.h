// The real desktop the program passes to its windows.
#pragma once

#include "widgetkit/interaction.h"

namespace korvanta::ui {

// The real desktop: QMessageBox (also for questions), QFileDialog, the
// preview shown modally and QDesktopServices.
class DesktopInteraction final : public UserInteraction {
public:
    void ShowMessage(QWidget* parent, const QString& title, const QString& text) override;
    std::optional<QString> ChooseFileToOpen(QWidget* parent, const FileRequest& request) override;
    std::optional<QString> ChooseFileToSave(QWidget* parent, const FileRequest& request) override;
    std::optional<FileChoice> ChooseFileToSaveAs(QWidget* parent, const FileRequest& request) override;
    bool PreviewImport(ImportDialog& dialog) override;
    void PreviewAndPrint(QWidget* parent, const QString& title,
                         const std::function<void(QPrinter& printer)>& paint) override;
    int Ask(QWidget* parent, const Question& question) override;
    void OpenUrl(const QUrl& url) override;
};

} // namespace korvanta::ui
