#include "app/resultpanels.h"

#include "app/librarytexts.h"
#include "app/widgets.h"
#include "stats/fullwidth.h"
#include "stats/verdict.h"

#include <QEvent>
#include <QKeyEvent>

namespace korvanta::ui {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

LabelStyle bold() { LabelStyle s; s.bold = true; return s; }
LabelStyle red() { LabelStyle s; s.colour = redColour(); return s; }
LabelStyle highlight() { LabelStyle s; s.colour = highlightColour(); return s; }
LabelStyle caption() { LabelStyle s; s.colour = captionTextColour(); return s; }
LabelStyle fixedRed(int widthTwips)
{
    LabelStyle s = red();
    s.autoSize = false;
    s.widthTwips = widthTwips;
    return s;
}

QLabel* label5(QWidget* parent, int index, int left, int top, const LabelStyle& style, const QString& caption = {})
{
    return makeLabel(parent, controlName("Label5", index), caption, left, top, style);
}

QLabel* heading(QWidget* parent, const char* kind, int index, int left, int top)
{
    return makeLabel(parent, controlName(kind, index), LibraryText(stats::kVerdictHeading), left, top, bold());
}

// The three critical-value symbols t(0.05), t(0.01), t(0.001) of a t panel.
void tSymbols(QWidget* parent, std::array<int, 3> boxes, int top, std::array<const char*, 3> subscripts)
{
    const int lefts[3] = {180, 1920, 3660};
    for (int k = 0; k < 3; ++k)
        makeSymbolBox(parent, boxes[static_cast<std::size_t>(k)], lefts[k], top, {QStringLiteral("t"), QString::fromUtf8(subscripts[static_cast<std::size_t>(k)]), {}, false});
}

void chiSymbol(QWidget* parent, int index, int left, int top, const char* subscript, bool isRed)
{
    makeSymbolBox(parent, index, left, top, {QStringLiteral("x"), QString::fromUtf8(subscript), QStringLiteral("2"), isRed});
}

} // namespace

// ---------------------------------------------------------------- two-sample

TwoSamplePanel::TwoSamplePanel(QWidget* parent) : QFrame(parent)
{
    stylePanel(this, QStringLiteral("Picture4"), resultSlot());
    makeLabel(this, controlName("Label3", 0), tr("均  数(X1)="), 180, 105, bold());
    makeLabel(this, controlName("Label3", 1), tr("均  数(X2)="), 3000, 105, bold());
    makeLabel(this, controlName("Label4", 0), tr("标准差(S1)="), 180, 450, bold());
    makeLabel(this, controlName("Label4", 1), tr("标准差(S2)="), 3000, 450, bold());
    label5(this, 0, 180, 810, bold(), tr("例  数(N1)="));
    label5(this, 1, 3000, 810, bold(), tr("例  数(N2)="));
    const int tops[3] = {60, 420, 780};
    for (int i = 0; i < 6; ++i) {
        const int left = i < 3 ? 1440 : 4260;
        auto* box = makeTextBox(this, controlName("Text4", i), twipsRect(left, tops[i % 3], 1275, 315), false, highlightColour());
        box->setFrame(true);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this, i] { onBoxChanged(i); });
        boxes_[static_cast<std::size_t>(i)] = box;
    }
    tSymbols(this, {0, 1, 2}, 1200, {"0.05", "0.01", "0.001"});
    t05_ = label5(this, 3, 900, 1260, caption());
    t01_ = label5(this, 4, 2640, 1260, caption());
    t001_ = label5(this, 5, 4440, 1260, caption());
    heading(this, "Label5", 2, 180, 1560);
    result_ = label5(this, 6, 1200, 1560, red());
}

void TwoSamplePanel::onBoxChanged(int index)
{
    if (cleaning_)
        return;
    if (!writingSummary_)
        holdsSummary_[static_cast<std::size_t>(index)] = false;
    QLineEdit* box = boxes_[static_cast<std::size_t>(index)];
    // Full-width digits, point and signs of a Chinese input method are ASCII.
    const QString folded = QString::fromStdString(stats::FoldFullWidthDigits(box->text().toStdString()));
    if (folded != box->text()) {
        cleaning_ = true;
        box->setText(folded);
        cleaning_ = false;
    }
    box->setCursorPosition(static_cast<int>(box->text().size()));
    recompute();
}

stats::TwoSampleInput TwoSamplePanel::input(std::array<std::string, 6>& texts) const
{
    for (std::size_t i = 0; i < 6; ++i)
        texts[i] = boxes_[i]->text().toStdString();
    stats::TwoSampleInput in{texts[0], texts[1], texts[2], texts[3], texts[4], texts[5]};
    for (std::size_t g = 0; g < 2; ++g) {
        const auto& summary = summaries_[g];
        if (!summary || !summary->figures)
            continue;
        if (holdsSummary_[g * 3])
            in.exactMean[g] = &summary->figures->mean;
        if (holdsSummary_[g * 3 + 1])
            in.exactVariance[g] = &summary->figures->variance;
    }
    return in;
}

void TwoSamplePanel::recompute()
{
    std::array<std::string, 6> texts;
    show(stats::TwoSampleTTest(input(texts)));
    emit recomputed();
}

void TwoSamplePanel::show(const stats::TwoSampleResult& result)
{
    setCaption(result_, qs(result.resultLine));
    setCaption(t05_, qs(result.t05));
    setCaption(t01_, qs(result.t01));
    setCaption(t001_, qs(result.t001));
}

void TwoSamplePanel::writeSummary(int column, const stats::ColumnSummary& summary)
{
    QLineEdit* mean = boxes_[static_cast<std::size_t>(column * 3)];
    QLineEdit* sd = boxes_[static_cast<std::size_t>(column * 3 + 1)];
    QLineEdit* count = boxes_[static_cast<std::size_t>(column * 3 + 2)];
    const auto first = static_cast<std::size_t>(column * 3);
    summaries_[static_cast<std::size_t>(column)] = summary;
    holdsSummary_[first] = holdsSummary_[first + 1] = true;
    writingSummary_ = true;
    mean->setText(qs(summary.meanText));
    mean->setText(qs(summary.meanShown));
    sd->setText(qs(summary.sdText));
    sd->setText(qs(summary.sdShown));
    count->setText(qs(summary.countText));
    writingSummary_ = false;
}

void TwoSamplePanel::adoptSummary(int column, const stats::ColumnSummary& summary)
{
    const auto first = static_cast<std::size_t>(column * 3);
    summaries_[static_cast<std::size_t>(column)] = summary;
    holdsSummary_[first] = boxes_[first]->text().toStdString() == summary.meanShown;
    holdsSummary_[first + 1] = boxes_[first + 1]->text().toStdString() == summary.sdShown;
    recompute();
}

void TwoSamplePanel::clearBoxes()
{
    summaries_ = {};
    holdsSummary_ = {};
    for (QLineEdit* box : boxes_)
        box->setText(QString());
}

void TwoSamplePanel::clearResults()
{
    show({});
}

bool TwoSamplePanel::eventFilter(QObject* watched, QEvent* event)
{
    // Enter walks X1, S1, N1, X2, S2, N2 and back to X1, caret at the end.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            for (std::size_t i = 0; i < boxes_.size(); ++i) {
                if (boxes_[i] != watched)
                    continue;
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

PairedTPanel::PairedTPanel(QWidget* parent) : QFrame(parent)
{
    stylePanel(this, QStringLiteral("Picture6"), resultSlot());
    makeLabel(this, controlName("Label13", 0), tr("对子数(N)="), 180, 120, caption());
    pairs_ = makeLabel(this, controlName("Label13", 5), {}, 1140, 120, highlight());
    makeLabel(this, controlName("Label13", 1), tr("对子差值均数(d)="), 180, 480, caption());
    mean_ = makeLabel(this, controlName("Label13", 4), {}, 1680, 480, highlight());
    makeLabel(this, controlName("Label13", 2), tr("对子差值均数标准差(Sd)="), 180, 840, caption());
    sd_ = makeLabel(this, controlName("Label13", 3), {}, 2340, 840, highlight());
    tSymbols(this, {5, 4, 3}, 1200, {"0.05", "0.01", "0.001"});
    t05_ = label5(this, 10, 900, 1260, caption());
    t01_ = label5(this, 9, 2640, 1260, caption());
    t001_ = label5(this, 8, 4440, 1260, caption());
    heading(this, "Label5", 11, 180, 1560);
    result_ = label5(this, 7, 1200, 1560, red());
}

void PairedTPanel::show(const stats::PairedTResult& result)
{
    setCaption(pairs_, qs(result.pairs));
    setCaption(mean_, qs(result.meanDifference));
    setCaption(sd_, qs(result.sdDifference));
    setCaption(t05_, qs(result.t05));
    setCaption(t01_, qs(result.t01));
    setCaption(t001_, qs(result.t001));
    setCaption(result_, qs(result.resultLine));
}

void PairedTPanel::clearResults() { show({}); }

// ---------------------------------------------------------------- correlation

CorrelationPanel::CorrelationPanel(QWidget* parent) : QFrame(parent)
{
    stylePanel(this, QStringLiteral("Picture7"), resultSlot());
    makeLabel(this, controlName("Label13", 9), tr("例数(N)="), 180, 120, caption());
    pairs_ = makeLabel(this, controlName("Label13", 6), {}, 960, 120, highlight());
    makeSymbolBox(this, 10, 180, 420, {QStringLiteral("r"), {}, {}, false});
    r_ = makeLabel(this, controlName("Label13", 7), {}, 660, 480, highlight());
    makeSymbolBox(this, 9, 2880, 420, {QStringLiteral("t"), QStringLiteral("r"), {}, false});
    // Spare value slots of the design; never written.
    makeLabel(this, controlName("Label13", 10), {}, 3420, 480, highlight());
    makeLabel(this, controlName("Label13", 8), {}, 2340, 840, highlight());
    tr_ = makeLabel(this, controlName("Label13", 12), {}, 3420, 480, highlight());
    tSymbols(this, {6, 7, 8}, 780, {"r 0.05", "r 0.01", "r 0.001"});
    t05_ = label5(this, 13, 960, 840, caption());
    t01_ = label5(this, 14, 2700, 840, caption());
    t001_ = label5(this, 15, 4500, 840, caption());
    heading(this, "Label5", 12, 180, 1200);
    verdict_ = label5(this, 16, 1200, 1200, red());
    makeLabel(this, controlName("Label13", 11), tr("回归方程："), 180, 1560, bold());
    equation_ = label5(this, 17, 1200, 1560, red());
    for (const char* name : {"Label7", "Label8"}) {
        auto* scratch = makeLabel(this, QString::fromLatin1(name), QString::fromLatin1(name), 4740, name[5] == '7' ? 120 : 540);
        scratch->hide();
    }
}

void CorrelationPanel::show(const stats::CorrelationResult& result)
{
    setCaption(pairs_, qs(result.pairs));
    setCaption(r_, qs(result.r));
    setCaption(tr_, qs(result.tr));
    setCaption(t05_, qs(result.t05));
    setCaption(t01_, qs(result.t01));
    setCaption(t001_, qs(result.t001));
    setCaption(verdict_, LibraryText(result.verdict));
    setCaption(equation_, qs(result.equation));
}

void CorrelationPanel::clearResults() { show({}); }

// ---------------------------------------------------------------- four-fold

FourFoldPanel::FourFoldPanel(QWidget* parent) : QFrame(parent)
{
    stylePanel(this, QStringLiteral("Picture9"), resultSlot());
    const QString captions[4] = {tr("a 的理论数(T)="), tr("b 的理论数(T)="), tr("c 的理论数(T)="), tr("d 的理论数(T)=")};
    const int lefts[4] = {120, 120, 3060, 3060};
    const int valueLefts[4] = {1500, 1500, 4440, 4440};
    const int tops[4] = {120, 480, 120, 480};
    for (int k = 0; k < 4; ++k) {
        makeLabel(this, controlName("Label19", k + 1), captions[k], lefts[k], tops[k], caption());
        expected_[static_cast<std::size_t>(k)] = makeLabel(this, controlName("Label20", k + 1), {}, valueLefts[k], tops[k], caption());
    }
    makeLabel(this, controlName("Label19", 6), tr("例数(n)="), 120, 840, caption());
    n_ = makeLabel(this, controlName("Label20", 5), {}, 960, 840, fixedRed(975));
    chiSymbol(this, 11, 120, 1200, "  0.05", false);
    label5(this, 20, 960, 1260, caption(), QStringLiteral("3.84"));
    chiSymbol(this, 12, 1860, 1200, "  0.01", false);
    label5(this, 19, 2700, 1260, caption(), QStringLiteral("6.63"));
    chiSymbol(this, 14, 3600, 1200, "", true);
    chiSquare_ = makeLabel(this, controlName("Label20", 6), {}, 4200, 1260, red());
    heading(this, "Label5", 22, 120, 1560);
    verdict_ = label5(this, 21, 1140, 1560, red());
}

void FourFoldPanel::show(const stats::FourFoldResult& result)
{
    setCaption(expected_[0], qs(result.expectedA));
    setCaption(expected_[1], qs(result.expectedB));
    setCaption(expected_[2], qs(result.expectedC));
    setCaption(expected_[3], qs(result.expectedD));
    setCaption(n_, qs(result.n));
    setCaption(chiSquare_, qs(result.chiSquare));
    setCaption(verdict_, LibraryText(result.verdict));
}

void FourFoldPanel::clearResults() { show({}); }

// ---------------------------------------------------------------- paired chi-square

PairedChiSquarePanel::PairedChiSquarePanel(QWidget* parent) : QFrame(parent)
{
    stylePanel(this, QStringLiteral("Picture11"), resultSlot());
    makeLabel(this, controlName("Label19", 0), tr("例数(n)="), 120, 120, caption());
    n_ = makeLabel(this, controlName("Label20", 8), {}, 960, 120, fixedRed(975));
    chiSymbol(this, 16, 120, 480, "  0.05", false);
    label5(this, 24, 960, 540, caption(), QStringLiteral("3.84"));
    chiSymbol(this, 15, 1860, 480, "  0.01", false);
    label5(this, 25, 2700, 540, caption(), QStringLiteral("6.63"));
    chiSymbol(this, 13, 120, 900, "", true);
    chiSquare_ = makeLabel(this, controlName("Label20", 7), {}, 720, 960, red());
    heading(this, "Label5", 18, 120, 1320);
    verdict_ = label5(this, 23, 1140, 1320, red());
}

void PairedChiSquarePanel::show(const stats::PairedChiSquareResult& result)
{
    setCaption(n_, qs(result.n));
    setCaption(chiSquare_, qs(result.chiSquare));
    setCaption(verdict_, LibraryText(result.verdict));
}

void PairedChiSquarePanel::clearResults() { show({}); }

} // namespace korvanta::ui
