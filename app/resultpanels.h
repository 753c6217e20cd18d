// The five result panels. They share one rectangle of the window; the test
// selection shows exactly one. Each panel shows a computed result as its
// labels' captions; the computations themselves live in stats/. Each panel
// also describes the figures it shows, so the report takes them from the
// panel rather than from labels looked up by name.
#pragma once

#include "stats/chisquare.h"
#include "stats/ttests.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace korvanta::ui {

// What a figure on a result panel stands for.
enum class FigureRole {
    Count,       // the cases or pairs counted
    Estimate,    // a figure of the data: a mean, an SD, r, an expected count
    Statistic,   // the test statistic
    Critical05,  // the critical value at P = 0.05
    Critical01,  // at P = 0.01
    Critical001, // at P = 0.001
    Verdict,     // the sentence that judges the result
    Equation,    // the regression equation
};

// One figure a result panel shows: the caption the report gives it, the
// text the panel shows for it (empty before a result), and its role.
struct ShownFigure {
    QString caption;
    QString value;
    FigureRole role;
};

// The part the five panels share: the list of the labels that show their
// figures, made where the labels are made.
class ResultPanel : public QFrame {
    Q_OBJECT
public:
    using QFrame::QFrame;
    // The figures in the panel's reading order, as they stand now.
    std::vector<ShownFigure> ShownFigures() const;

protected:
    // Lists label as showing the figure of this caption and role; returns it.
    QLabel* Shows(QLabel* label, const QString& caption, FigureRole role);

private:
    struct FigureLabel {
        QString caption;
        FigureRole role;
        const QLabel* label;
    };
    std::vector<FigureLabel> figures_;
};

// Picture4: the two-sample t-test. Its six summary boxes are inputs: any
// change of them, typed or written by the column summary, reruns the test.
class TwoSamplePanel : public ResultPanel {
    Q_OBJECT
public:
    explicit TwoSamplePanel(QWidget* parent);

    QLineEdit* Box(int index) const { return boxes_[static_cast<std::size_t>(index)]; }
    // The boxes of one group (0 or 1): its mean, SD and count.
    struct GroupBoxes {
        QLineEdit* mean;
        QLineEdit* sd;
        QLineEdit* count;
    };
    GroupBoxes Group(int group) const { return {Box(group * 3), Box(group * 3 + 1), Box(group * 3 + 2)}; }
    // Writes a column's summary into its three boxes in the designed order
    // (mean, then its four-decimal form, SD likewise, then the count); each
    // write reruns the test as if typed. column: 0 or 1.
    void WriteSummary(int column, const stats::ColumnSummary& summary);
    void ClearBoxes();
    void ClearResults();
    // After the boxes were given back (undo, redo): the figures behind a
    // mean or SD box whose text is what this summary writes are its exact
    // ones again, and the test reruns.
    void AdoptSummary(int column, const stats::ColumnSummary& summary);
    // The boxes' texts into texts, and the test's input over them: a mean or
    // SD box that holds what the column summary wrote stands for the
    // summary's exact figure. The input views texts and this panel.
    stats::TwoSampleInput Input(std::array<std::string, 6>& texts) const;
    // A box holds text the user typed (or a program gave it as typed), not
    // one the column summary wrote.
    bool HoldsEnteredValue() const;
    // After the boxes were given back: a box whose text is what this
    // summary writes counts as written by it again.
    void MarkSummaryTexts(int column, const stats::ColumnSummary& summary);

signals:
    // The test ran again on the boxes' current texts.
    void Recomputed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnBoxChanged(int index);
    void Recompute();
    void ShowResult(const stats::TwoSampleResult& result);

    std::array<QLineEdit*, 6> boxes_{};
    // The last summary written into each group's boxes (none once cleared),
    // and which boxes still hold its text: any other change of a box, typed
    // or assigned, makes it count as its text.
    std::array<std::optional<stats::ColumnSummary>, 2> summaries_;
    std::array<bool, 6> holdsSummary_{};
    // Which boxes hold a text the summary wrote (the count box too).
    std::array<bool, 6> written_{};
    bool writingSummary_ = false;
    QLabel* t05_ = nullptr;    // Label5(3)
    QLabel* t01_ = nullptr;    // Label5(4)
    QLabel* t001_ = nullptr;   // Label5(5)
    QLabel* result_ = nullptr; // Label5(6)
    bool cleaning_ = false;
};

// Picture6: the paired t-test.
class PairedTPanel : public ResultPanel {
    Q_OBJECT
public:
    explicit PairedTPanel(QWidget* parent);
    void ShowResult(const stats::PairedTResult& result);
    void ClearResults();

private:
    QLabel* pairs_ = nullptr;  // Label13(5)
    QLabel* mean_ = nullptr;   // Label13(4)
    QLabel* sd_ = nullptr;     // Label13(3)
    QLabel* t05_ = nullptr;    // Label5(10)
    QLabel* t01_ = nullptr;    // Label5(9)
    QLabel* t001_ = nullptr;   // Label5(8)
    QLabel* result_ = nullptr; // Label5(7)
};

// Picture7: correlation and regression.
class CorrelationPanel : public ResultPanel {
    Q_OBJECT
public:
    explicit CorrelationPanel(QWidget* parent);
    void ShowResult(const stats::CorrelationResult& result);
    void ClearResults();

private:
    QLabel* pairs_ = nullptr;    // Label13(6)
    QLabel* r_ = nullptr;        // Label13(7)
    QLabel* tr_ = nullptr;       // Label13(12)
    QLabel* t05_ = nullptr;      // Label5(13)
    QLabel* t01_ = nullptr;      // Label5(14)
    QLabel* t001_ = nullptr;     // Label5(15)
    QLabel* verdict_ = nullptr;  // Label5(16)
    QLabel* equation_ = nullptr; // Label5(17)
};

// Picture9: the four-fold chi-square test.
class FourFoldPanel : public ResultPanel {
    Q_OBJECT
public:
    explicit FourFoldPanel(QWidget* parent);
    void ShowResult(const stats::FourFoldResult& result);
    void ClearResults();

private:
    std::array<QLabel*, 4> expected_{}; // Label20(1..4)
    QLabel* n_ = nullptr;               // Label20(5)
    QLabel* chiSquare_ = nullptr;       // Label20(6)
    QLabel* verdict_ = nullptr;         // Label5(21)
};

// Picture11: the paired chi-square test.
class PairedChiSquarePanel : public ResultPanel {
    Q_OBJECT
public:
    explicit PairedChiSquarePanel(QWidget* parent);
    void ShowResult(const stats::PairedChiSquareResult& result);
    void ClearResults();

private:
    QLabel* n_ = nullptr;         // Label20(8)
    QLabel* chiSquare_ = nullptr; // Label20(7)
    QLabel* verdict_ = nullptr;   // Label5(23)
};

} // namespace korvanta::ui
