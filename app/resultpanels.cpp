#include "app/resultpanels.h"

#include "app/librarytexts.h"
#include "stats/fullwidth.h"
#include "stats/verdict.h"
#include "widgetkit/widgets.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

namespace korvanta::ui {
namespace {

// The captions the report gives the panels' figures, for the translation.
struct Words {
    Q_DECLARE_TR_FUNCTIONS(korvanta::ui::ResultPanels)
};

// A figure named by its symbol (t(0.05), r, χ²): the same in every language.
QString Symbol(const char* text) { return QString::fromUtf8(text); }

QString Qs(const std::string& text) { return QString::fromStdString(text); }

LabelStyle Bold()
{
    LabelStyle s;
    s.bold = true;
    return s;
}
LabelStyle Red()
{
    LabelStyle s;
    s.colour = RedColour();
    return s;
}
LabelStyle Highlight()
{
    LabelStyle s;
    s.colour = HighlightColour();
    return s;
}
LabelStyle Caption()
{
    LabelStyle s;
    s.colour = CaptionTextColour();
    return s;
}
LabelStyle FixedRed(int widthTwips)
{
    LabelStyle s = Red();
    s.autoSize = false;
    s.widthTwips = widthTwips;
    return s;
}

QLabel* Label5(QWidget* parent, int index, int left, int top, const LabelStyle& style, const QString& caption = {})
{
    return MakeLabel(parent, ControlName("Label5", index), caption, left, top, style);
}

QLabel* Heading(QWidget* parent, const char* kind, int index, int left, int top)
{
    return MakeLabel(parent, ControlName(kind, index), VerdictHeading(), left, top, Bold());
}

// The three critical-value symbols t(0.05), t(0.01), t(0.001) of a t panel.
void TSymbols(QWidget* parent, std::array<int, 3> boxes, int top, std::array<const char*, 3> subscripts)
{
    const int lefts[3] = {180, 1920, 3660};
    for (int k = 0; k < 3; ++k)
        MakeSymbolBox(parent, boxes[static_cast<std::size_t>(k)], lefts[k], top,
                      {QStringLiteral("t"), QString::fromUtf8(subscripts[static_cast<std::size_t>(k)]), {}, false});
}

void ChiSymbol(QWidget* parent, int index, int left, int top, const char* subscript, bool isRed)
{
    MakeSymbolBox(parent, index, left, top,
                  {QStringLiteral("x"), QString::fromUtf8(subscript), QStringLiteral("2"), isRed});
}

} // namespace

std::vector<ShownFigure> ResultPanel::ShownFigures() const
{
    std::vector<ShownFigure> shown;
    shown.reserve(figures_.size());
    for (const FigureLabel& figure : figures_) shown.push_back({figure.caption, figure.label->text(), figure.role});
    return shown;
}

QLabel* ResultPanel::Shows(QLabel* label, const QString& caption, FigureRole role)
{
    figures_.push_back({caption, role, label});
    return label;
}

// ---------------------------------------------------------------- two-sample

TwoSamplePanel::TwoSamplePanel(QWidget* parent) : ResultPanel(parent)
{
    StylePanel(this, QStringLiteral("Picture4"), ResultSlot());
    MakeLabel(this, ControlName("Label3", 0), tr("均  数(X1)="), 180, 105, Bold());
    MakeLabel(this, ControlName("Label3", 1), tr("均  数(X2)="), 3000, 105, Bold());
    MakeLabel(this, ControlName("Label4", 0), tr("标准差(S1)="), 180, 450, Bold());
    MakeLabel(this, ControlName("Label4", 1), tr("标准差(S2)="), 3000, 450, Bold());
    Label5(this, 0, 180, 810, Bold(), tr("例  数(N1)="));
    Label5(this, 1, 3000, 810, Bold(), tr("例  数(N2)="));
    const int tops[3] = {60, 420, 780};
    for (int i = 0; i < 6; ++i) {
        const int left = i < 3 ? 1440 : 4260;
        auto* box = MakeTextBox(this, ControlName("Text4", i), TwipsRect(left, tops[i % 3], 1275, 315), false,
                                HighlightColour());
        box->setFrame(true);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this, i] { OnBoxChanged(i); });
        boxes_[static_cast<std::size_t>(i)] = box;
    }
    TSymbols(this, {0, 1, 2}, 1200, {"0.05", "0.01", "0.001"});
    t05_ = Shows(Label5(this, 3, 900, 1260, Caption()), Symbol("t(0.05)"), FigureRole::Critical05);
    t01_ = Shows(Label5(this, 4, 2640, 1260, Caption()), Symbol("t(0.01)"), FigureRole::Critical01);
    t001_ = Shows(Label5(this, 5, 4440, 1260, Caption()), Symbol("t(0.001)"), FigureRole::Critical001);
    Heading(this, "Label5", 2, 180, 1560);
    result_ = Shows(Label5(this, 6, 1200, 1560, Red()), Words::tr("结果判断"), FigureRole::Verdict);
}

void TwoSamplePanel::OnBoxChanged(int index)
{
    if (cleaning_) return;
    if (!writingSummary_) holdsSummary_[static_cast<std::size_t>(index)] = false;
    written_[static_cast<std::size_t>(index)] = writingSummary_;
    QLineEdit* box = boxes_[static_cast<std::size_t>(index)];
    // Full-width digits, point and signs of a Chinese input method are ASCII.
    const QString folded = QString::fromStdString(stats::FoldFullWidthDigits(box->text().toStdString()));
    if (folded != box->text()) {
        cleaning_ = true;
        box->setText(folded);
        cleaning_ = false;
    }
    box->setCursorPosition(static_cast<int>(box->text().size()));
    Recompute();
}

stats::TwoSampleInput TwoSamplePanel::Input(std::array<std::string, 6>& texts) const
{
    for (std::size_t i = 0; i < 6; ++i) texts[i] = boxes_[i]->text().toStdString();
    stats::TwoSampleInput in{texts[0], texts[1], texts[2], texts[3], texts[4], texts[5]};
    for (std::size_t g = 0; g < 2; ++g) {
        const auto& summary = summaries_[g];
        if (!summary || !summary->figures) continue;
        if (holdsSummary_[g * 3]) in.exactMean[g] = &summary->figures->mean;
        if (holdsSummary_[g * 3 + 1]) in.exactVariance[g] = &summary->figures->variance;
    }
    return in;
}

void TwoSamplePanel::Recompute()
{
    std::array<std::string, 6> texts;
    ShowResult(stats::TwoSampleTTest(Input(texts)));
    emit Recomputed();
}

void TwoSamplePanel::ShowResult(const stats::TwoSampleResult& result)
{
    SetCaption(result_, Qs(result.resultLine));
    SetCaption(t05_, Qs(result.t05));
    SetCaption(t01_, Qs(result.t01));
    SetCaption(t001_, Qs(result.t001));
}

void TwoSamplePanel::WriteSummary(int column, const stats::ColumnSummary& summary)
{
    QLineEdit* mean = boxes_[static_cast<std::size_t>(column * 3)];
    QLineEdit* sd = boxes_[static_cast<std::size_t>(column * 3 + 1)];
    QLineEdit* count = boxes_[static_cast<std::size_t>(column * 3 + 2)];
    const auto first = static_cast<std::size_t>(column * 3);
    summaries_[static_cast<std::size_t>(column)] = summary;
    holdsSummary_[first] = holdsSummary_[first + 1] = true;
    writingSummary_ = true;
    mean->setText(Qs(summary.meanText));
    mean->setText(Qs(summary.meanShown));
    sd->setText(Qs(summary.sdText));
    sd->setText(Qs(summary.sdShown));
    count->setText(Qs(summary.countText));
    writingSummary_ = false;
    // Also where a write found the text already there.
    written_[first] = written_[first + 1] = written_[first + 2] = true;
}

void TwoSamplePanel::AdoptSummary(int column, const stats::ColumnSummary& summary)
{
    MarkSummaryTexts(column, summary);
    Recompute();
}

void TwoSamplePanel::MarkSummaryTexts(int column, const stats::ColumnSummary& summary)
{
    const auto first = static_cast<std::size_t>(column * 3);
    summaries_[static_cast<std::size_t>(column)] = summary;
    const auto holds = [&](std::size_t box, const std::string& text) {
        return boxes_[box]->text().toStdString() == text;
    };
    holdsSummary_[first] = holds(first, summary.meanShown);
    holdsSummary_[first + 1] = holds(first + 1, summary.sdShown);
    written_[first] = holdsSummary_[first];
    written_[first + 1] = holdsSummary_[first + 1];
    written_[first + 2] = holds(first + 2, summary.countText);
}

bool TwoSamplePanel::HoldsEnteredValue() const
{
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        if (!written_[i] && !boxes_[i]->text().isEmpty()) return true;
    return false;
}

void TwoSamplePanel::ClearBoxes()
{
    summaries_ = {};
    holdsSummary_ = {};
    for (QLineEdit* box : boxes_) box->setText(QString());
}

void TwoSamplePanel::ClearResults() { ShowResult({}); }

bool TwoSamplePanel::eventFilter(QObject* watched, QEvent* event)
{
    // Enter walks X1, S1, N1, X2, S2, N2 and back to X1, caret at the end.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            for (std::size_t i = 0; i < boxes_.size(); ++i) {
                if (boxes_[i] != watched) continue;
                QLineEdit* next = boxes_[(i + 1) % boxes_.size()];
                next->setCursorPosition(static_cast<int>(next->text().size()));
                next->deselect();
                next->setFocus(Qt::OtherFocusReason);
                return true;
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

// ---------------------------------------------------------------- paired t

PairedTPanel::PairedTPanel(QWidget* parent) : ResultPanel(parent)
{
    StylePanel(this, QStringLiteral("Picture6"), ResultSlot());
    MakeLabel(this, ControlName("Label13", 0), tr("对子数(N)="), 180, 120, Caption());
    pairs_ = Shows(MakeLabel(this, ControlName("Label13", 5), {}, 1140, 120, Highlight()), Words::tr("对子数(N)"),
                   FigureRole::Count);
    MakeLabel(this, ControlName("Label13", 1), tr("对子差值均数(d)="), 180, 480, Caption());
    mean_ = Shows(MakeLabel(this, ControlName("Label13", 4), {}, 1680, 480, Highlight()), Words::tr("对子差值均数(d)"),
                  FigureRole::Estimate);
    MakeLabel(this, ControlName("Label13", 2), tr("对子差值均数标准差(Sd)="), 180, 840, Caption());
    sd_ = Shows(MakeLabel(this, ControlName("Label13", 3), {}, 2340, 840, Highlight()),
                Words::tr("对子差值均数标准差(Sd)"), FigureRole::Estimate);
    TSymbols(this, {5, 4, 3}, 1200, {"0.05", "0.01", "0.001"});
    t05_ = Shows(Label5(this, 10, 900, 1260, Caption()), Symbol("t(0.05)"), FigureRole::Critical05);
    t01_ = Shows(Label5(this, 9, 2640, 1260, Caption()), Symbol("t(0.01)"), FigureRole::Critical01);
    t001_ = Shows(Label5(this, 8, 4440, 1260, Caption()), Symbol("t(0.001)"), FigureRole::Critical001);
    Heading(this, "Label5", 11, 180, 1560);
    result_ = Shows(Label5(this, 7, 1200, 1560, Red()), Words::tr("结果判断"), FigureRole::Verdict);
}

void PairedTPanel::ShowResult(const stats::PairedTResult& result)
{
    SetCaption(pairs_, Qs(result.pairs));
    SetCaption(mean_, Qs(result.meanDifference));
    SetCaption(sd_, Qs(result.sdDifference));
    SetCaption(t05_, Qs(result.t05));
    SetCaption(t01_, Qs(result.t01));
    SetCaption(t001_, Qs(result.t001));
    SetCaption(result_, Qs(result.resultLine));
}

void PairedTPanel::ClearResults() { ShowResult({}); }

// ---------------------------------------------------------------- correlation

CorrelationPanel::CorrelationPanel(QWidget* parent) : ResultPanel(parent)
{
    StylePanel(this, QStringLiteral("Picture7"), ResultSlot());
    MakeLabel(this, ControlName("Label13", 9), tr("例数(N)="), 180, 120, Caption());
    pairs_ = Shows(MakeLabel(this, ControlName("Label13", 6), {}, 960, 120, Highlight()), Words::tr("例数(N)"),
                   FigureRole::Count);
    MakeSymbolBox(this, 10, 180, 420, {QStringLiteral("r"), {}, {}, false});
    r_ =
        Shows(MakeLabel(this, ControlName("Label13", 7), {}, 660, 480, Highlight()), Symbol("r"), FigureRole::Estimate);
    MakeSymbolBox(this, 9, 2880, 420, {QStringLiteral("t"), QStringLiteral("r"), {}, false});
    // Spare value slots of the design; never written.
    MakeLabel(this, ControlName("Label13", 10), {}, 3420, 480, Highlight());
    MakeLabel(this, ControlName("Label13", 8), {}, 2340, 840, Highlight());
    tr_ = Shows(MakeLabel(this, ControlName("Label13", 12), {}, 3420, 480, Highlight()), Symbol("tr"),
                FigureRole::Statistic);
    TSymbols(this, {6, 7, 8}, 780, {"r 0.05", "r 0.01", "r 0.001"});
    t05_ = Shows(Label5(this, 13, 960, 840, Caption()), Symbol("tr(0.05)"), FigureRole::Critical05);
    t01_ = Shows(Label5(this, 14, 2700, 840, Caption()), Symbol("tr(0.01)"), FigureRole::Critical01);
    t001_ = Shows(Label5(this, 15, 4500, 840, Caption()), Symbol("tr(0.001)"), FigureRole::Critical001);
    Heading(this, "Label5", 12, 180, 1200);
    verdict_ = Shows(Label5(this, 16, 1200, 1200, Red()), Words::tr("结果判断"), FigureRole::Verdict);
    MakeLabel(this, ControlName("Label13", 11), tr("回归方程："), 180, 1560, Bold());
    equation_ = Shows(Label5(this, 17, 1200, 1560, Red()), Words::tr("回归方程"), FigureRole::Equation);
    for (const char* name : {"Label7", "Label8"}) {
        auto* scratch =
            MakeLabel(this, QString::fromLatin1(name), QString::fromLatin1(name), 4740, name[5] == '7' ? 120 : 540);
        scratch->hide();
    }
}

void CorrelationPanel::ShowResult(const stats::CorrelationResult& result)
{
    SetCaption(pairs_, Qs(result.pairs));
    SetCaption(r_, Qs(result.r));
    SetCaption(tr_, Qs(result.tr));
    SetCaption(t05_, Qs(result.t05));
    SetCaption(t01_, Qs(result.t01));
    SetCaption(t001_, Qs(result.t001));
    SetCaption(verdict_, VerdictText(result.verdict));
    SetCaption(equation_, Qs(result.equation));
}

void CorrelationPanel::ClearResults() { ShowResult({}); }

// ---------------------------------------------------------------- four-fold

FourFoldPanel::FourFoldPanel(QWidget* parent) : ResultPanel(parent)
{
    StylePanel(this, QStringLiteral("Picture9"), ResultSlot());
    const QString captions[4] = {tr("a 的理论数(T)="), tr("b 的理论数(T)="), tr("c 的理论数(T)="),
                                 tr("d 的理论数(T)=")};
    const QString reportCaptions[4] = {Words::tr("a 的理论数(T)"), Words::tr("b 的理论数(T)"),
                                       Words::tr("c 的理论数(T)"), Words::tr("d 的理论数(T)")};
    const int lefts[4] = {120, 120, 3060, 3060};
    const int valueLefts[4] = {1500, 1500, 4440, 4440};
    const int tops[4] = {120, 480, 120, 480};
    for (int k = 0; k < 4; ++k) {
        MakeLabel(this, ControlName("Label19", k + 1), captions[k], lefts[k], tops[k], Caption());
        expected_[static_cast<std::size_t>(k)] =
            Shows(MakeLabel(this, ControlName("Label20", k + 1), {}, valueLefts[k], tops[k], Caption()),
                  reportCaptions[k], FigureRole::Estimate);
    }
    MakeLabel(this, ControlName("Label19", 6), tr("例数(n)="), 120, 840, Caption());
    n_ = Shows(MakeLabel(this, ControlName("Label20", 5), {}, 960, 840, FixedRed(975)), Words::tr("例数(n)"),
               FigureRole::Count);
    ChiSymbol(this, 11, 120, 1200, "  0.05", false);
    Shows(Label5(this, 20, 960, 1260, Caption(), QStringLiteral("3.84")), Symbol("χ²(0.05)"), FigureRole::Critical05);
    ChiSymbol(this, 12, 1860, 1200, "  0.01", false);
    Shows(Label5(this, 19, 2700, 1260, Caption(), QStringLiteral("6.63")), Symbol("χ²(0.01)"), FigureRole::Critical01);
    ChiSymbol(this, 14, 3600, 1200, "", true);
    chiSquare_ =
        Shows(MakeLabel(this, ControlName("Label20", 6), {}, 4200, 1260, Red()), Symbol("χ²"), FigureRole::Statistic);
    Heading(this, "Label5", 22, 120, 1560);
    verdict_ = Shows(Label5(this, 21, 1140, 1560, Red()), Words::tr("结果判断"), FigureRole::Verdict);
}

void FourFoldPanel::ShowResult(const stats::FourFoldResult& result)
{
    SetCaption(expected_[0], Qs(result.expectedA));
    SetCaption(expected_[1], Qs(result.expectedB));
    SetCaption(expected_[2], Qs(result.expectedC));
    SetCaption(expected_[3], Qs(result.expectedD));
    SetCaption(n_, Qs(result.n));
    SetCaption(chiSquare_, Qs(result.chiSquare));
    SetCaption(verdict_, VerdictText(result.verdict));
}

void FourFoldPanel::ClearResults() { ShowResult({}); }

// ---------------------------------------------------------------- paired chi-square

PairedChiSquarePanel::PairedChiSquarePanel(QWidget* parent) : ResultPanel(parent)
{
    StylePanel(this, QStringLiteral("Picture11"), ResultSlot());
    MakeLabel(this, ControlName("Label19", 0), tr("例数(n)="), 120, 120, Caption());
    n_ = Shows(MakeLabel(this, ControlName("Label20", 8), {}, 960, 120, FixedRed(975)), Words::tr("例数(n)"),
               FigureRole::Count);
    ChiSymbol(this, 16, 120, 480, "  0.05", false);
    Shows(Label5(this, 24, 960, 540, Caption(), QStringLiteral("3.84")), Symbol("χ²(0.05)"), FigureRole::Critical05);
    ChiSymbol(this, 15, 1860, 480, "  0.01", false);
    Shows(Label5(this, 25, 2700, 540, Caption(), QStringLiteral("6.63")), Symbol("χ²(0.01)"), FigureRole::Critical01);
    ChiSymbol(this, 13, 120, 900, "", true);
    chiSquare_ =
        Shows(MakeLabel(this, ControlName("Label20", 7), {}, 720, 960, Red()), Symbol("χ²"), FigureRole::Statistic);
    Heading(this, "Label5", 18, 120, 1320);
    verdict_ = Shows(Label5(this, 23, 1140, 1320, Red()), Words::tr("结果判断"), FigureRole::Verdict);
}

void PairedChiSquarePanel::ShowResult(const stats::PairedChiSquareResult& result)
{
    SetCaption(n_, Qs(result.n));
    SetCaption(chiSquare_, Qs(result.chiSquare));
    SetCaption(verdict_, VerdictText(result.verdict));
}

void PairedChiSquarePanel::ClearResults() { ShowResult({}); }

} // namespace korvanta::ui
