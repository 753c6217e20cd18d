// The desktop played by a recorder for window tests: every text shown and
// every file dialog asked for is recorded, the file dialogs answered and the
// import preview set up (sheet, columns, heading) as set beforehand, and a
// print preview printed to a PDF file when one is named; questions get the
// answer given when nobody is there.
#pragma once

#include "app/importdialog.h"
#include "widgetkit/interaction.h"

#include <QList>
#include <QPageSize>
#include <QPrinter>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>
#include <utility>

namespace korvanta::ui {

class Recorder final : public UserInteraction {
public:
    void ShowMessage(QWidget*, const QString& title, const QString& text) override
    {
        messages << title + '|' + text;
        texts << title << text;
    }
    std::optional<QString> ChooseFileToOpen(QWidget*, const FileRequest& request) override
    {
        Asked(request);
        return std::exchange(nextFile, std::nullopt);
    }
    std::optional<QString> ChooseFileToSave(QWidget*, const FileRequest& request) override
    {
        Asked(request);
        filters << request.filter;
        return std::exchange(nextFile, std::nullopt);
    }
    std::optional<FileChoice> ChooseFileToSaveAs(QWidget*, const FileRequest& request) override
    {
        Asked(request);
        filters << request.filter;
        return std::exchange(nextChoice, std::nullopt);
    }
    bool PreviewImport(ImportDialog& preview) override
    {
        if (inspect) inspect(preview);
        if (preview.SheetNames().size() > 1) sheetsAsked << preview.SheetNames();
        if (!nextSheet) return false;
        preview.ChooseSheet(*nextSheet);
        if (nextColumns) preview.ChooseColumns(nextColumns->first, nextColumns->second);
        if (nextHeading) preview.SetHeading(*nextHeading);
        return true;
    }
    // The preview's pages go to a PDF file, as a PDF printer would print them.
    void PreviewAndPrint(QWidget*, const QString& title, const std::function<void(QPrinter&)>& paint) override
    {
        printedTitle = title;
        if (printTo.isEmpty()) return;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printTo);
        printer.setPageSize(QPageSize(QPageSize::A4));
        paint(printer);
    }
    int Ask(QWidget*, const Question& question) override
    {
        texts << question.title << question.text << question.buttons;
        return question.unattendedButton;
    }
    void OpenUrl(const QUrl& url) override { urls << url; }

    // The answers, each taken by the next dialog that asks.
    std::optional<QString> nextFile;
    std::optional<FileChoice> nextChoice;
    std::optional<int> nextSheet = 0; // nothing: the import preview is cancelled
    std::optional<std::pair<int, int>> nextColumns;
    std::optional<bool> nextHeading;
    std::function<void(ImportDialog&)> inspect;
    QString printTo; // a PDF file; empty: the print preview is closed

    // What was asked and shown. messages: "title|text"; texts: every title,
    // text, filter and button caption in the order shown; dialogs: the file
    // dialogs' titles.
    QStringList messages, texts, filters, dialogs;
    QList<QStringList> sheetsAsked;
    QList<QUrl> urls;
    QString printedTitle;

private:
    void Asked(const FileRequest& request)
    {
        dialogs << request.title;
        texts << request.title << request.filter;
    }
};

} // namespace korvanta::ui
