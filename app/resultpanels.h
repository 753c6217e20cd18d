// The five result panels. They share one rectangle of the window; the test
// selection shows exactly one. Each panel shows a computed result as its
// labels' captions; the computations themselves live in stats/.
#pragma once

#include "stats/chisquare.h"
#include "stats/ttests.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <array>
#include <optional>
#include <string>

namespace korvanta::ui {

// Picture4: the two-sample t-test. Its six summary boxes are inputs: any
// change of them, typed or written by the column summary, reruns the test.
class TwoSamplePanel : public QFrame {
    Q_OBJECT
public:
    explicit TwoSamplePanel(QWidget* parent);

    QLineEdit* Box(int index) const { return boxes_[static_cast<std::size_t>(index)]; }
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
    bool writingSummary_ = false;
    QLabel* t05_ = nullptr;    // Label5(3)
    QLabel* t01_ = nullptr;    // Label5(4)
    QLabel* t001_ = nullptr;   // Label5(5)
    QLabel* result_ = nullptr; // Label5(6)
    bool cleaning_ = false;
};

// Picture6: the paired t-test.
class PairedTPanel : public QFrame {
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
class CorrelationPanel : public QFrame {
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
class FourFoldPanel : public QFrame {
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
class PairedChiSquarePanel : public QFrame {
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
