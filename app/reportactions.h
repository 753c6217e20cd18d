// What the 结果 menu hands out about the current test: the report ("导出报告…"
// as a PDF, with an HTML page and the plot beside it when asked for, and
// "打印…" after a preview), and "复制三线表" and "复制结果描述", the journal
// table and the methods and results paragraphs, put on the clipboard in the
// interface's language.
#pragma once

#include "results/journaltable.h"

#include <QObject>

namespace korvanta::ui {

class MainWindow;
struct ReportContent;

class ReportActions final : public QObject {
    Q_OBJECT
public:
    explicit ReportActions(MainWindow& window);

public slots:
    void ExportReport();
    void PrintReport();
    void CopyJournalTable();
    void CopyResultsText();

private:
    // What the report holds, read from the window as it stands.
    ReportContent CurrentReport() const;
    // The names the journal table and the results text use for the groups.
    results::Names ResultNames() const;

    MainWindow& window_;
};

} // namespace korvanta::ui
