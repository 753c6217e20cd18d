// 结果 → "复制三线表" and "复制结果描述": the journal table and the methods
// and results paragraphs of the current test, computed afresh from its data
// in the interface's language, put on the clipboard.
#include "app/currentinputs.h"
#include "app/editsession.h"
#include "app/mainwindow.h"
#include "app/reportactions.h"
#include "results/resultstext.h"
#include "resultsview/detailswindow.h"
#include "resultsview/threelinetable.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <memory>

namespace korvanta::ui {

namespace {

results::Language ResultsLanguage()
{
    return InterfaceLanguage() == Language::English ? results::Language::English : results::Language::Chinese;
}

void PutOnClipboard(const QString& text, const QString& html)
{
    auto mime = std::make_unique<QMimeData>();
    mime->setText(text);
    mime->setHtml(html);
    QApplication::clipboard()->setMimeData(mime.release());
}

} // namespace

results::Names ReportActions::ResultNames() const
{
    const details::GroupNames given = window_.Details()->GroupNames();
    const auto name = [&given](int group, const QString& otherwise) {
        const QString& typed = group == 0 ? given.first : given.second;
        return (typed.isEmpty() ? otherwise : typed).toStdString();
    };
    switch (window_.mode_) {
    case TestMode::FourFold:
        return {name(0, tr("试验组")), name(1, tr("对照组"))};
    case TestMode::PairedChiSquare:
        return {name(0, tr("治疗后")), name(1, tr("治疗前"))};
    case TestMode::Correlation:
        return {name(0, QStringLiteral("X")), name(1, QStringLiteral("Y"))};
    case TestMode::TwoSample:
    case TestMode::PairedT:
        break;
    }
    return {details::GroupName(given, 0).toStdString(), details::GroupName(given, 1).toStdString()};
}

void ReportActions::CopyJournalTable()
{
    window_.session_->CommitEdits();
    const CurrentInputs now = window_.Inputs();
    const TestMode mode = now.mode;
    const stats::DetailsInput& input = now.input;
    const results::JournalTable journal = results::MakeJournalTable(mode, input, ResultNames(), ResultsLanguage());
    PutOnClipboard(QString::fromStdString(results::JournalTableText(journal)),
                   ThreeLineTableDocument(JournalThreeLineTable(journal)));
}

void ReportActions::CopyResultsText()
{
    window_.session_->CommitEdits();
    const CurrentInputs now = window_.Inputs();
    const TestMode mode = now.mode;
    const stats::DetailsInput& input = now.input;
    const results::ResultsText text = results::MakeResultsText(mode, input, ResultNames(), ResultsLanguage());
    QString html = QStringLiteral("<p>%1</p>\n").arg(QString::fromStdString(text.methods).toHtmlEscaped());
    if (!text.results.empty())
        html += QStringLiteral("<p>%1</p>\n").arg(QString::fromStdString(text.results).toHtmlEscaped());
    PutOnClipboard(QString::fromStdString(results::ResultsTextPlain(text)),
                   QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n</head>\n<body>\n%1"
                                  "</body>\n</html>\n")
                       .arg(html));
}

} // namespace korvanta::ui
