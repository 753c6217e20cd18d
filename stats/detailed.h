// The detailed results of the five tests: exact P values, confidence
// intervals, effect sizes and the companion tests (rank tests, normality,
// Fisher's exact test, McNemar's exact test, kappa) that the verdict panels
// do not give. Everything here is computed afresh from the test's inputs;
// nothing in it changes what the panels show.
//
// A figure that cannot be computed says why (Figure::why), so the window can
// put words in its place and the driver an empty value.
#pragma once

#include "stats/cellvalue.h"
#include "stats/chisquare.h"
#include "stats/testmode.h"
#include "stats/ttests.h"

#include <string>
#include <utility>
#include <vector>

namespace korvanta::stats {

// Why a figure has no value.
enum class Why : unsigned char {
    Computed,       // the figure has its value
    NoInput,        // an input is missing or is not a number
    TooFewCases,    // not enough cases (or degrees of freedom) for it
    NoVariation,    // every value equal, a zero standard deviation or margin
    ZeroCell,       // a zero cell of the 2x2 table
    TooManyCases,   // beyond the method's range (Shapiro-Wilk above 5000)
    PerfectFit,     // the statistic is infinite: a perfect line or correlation
    NotSignificant, // given only for a significant difference (NNT)
    OutOfRange,     // beyond what the method can compute (an extreme statistic)
    Disagrees,      // an interval that would contradict the P printed beside it
};

struct Figure {
    double value = 0;
    Why why = Why::NoInput;

    bool Has() const { return why == Why::Computed; }
    // A value; a result that is not finite becomes `otherwise`.
    static Figure Of(double value, Why otherwise = Why::NoVariation);
    static Figure None(Why why) { return {0, why}; }
};

struct Interval {
    Figure low, high;
};

// Whether a P and an interval agree about the 0.05 line: the interval leaves
// out `null` exactly when P < 0.05. Either one missing agrees with anything.
bool Agrees(const Figure& p, const Interval& ci, double null);
// The interval, or none (Why::Disagrees) where it would contradict p.
Interval AgreeingWith(const Figure& p, const Interval& ci, double null);

// A test statistic with its degrees of freedom and two-sided P.
struct TFigures {
    Figure t, df, p;
    Interval ci; // 95% CI of the estimate the test is about
};

struct NormalityFigures { // Shapiro-Wilk
    Figure w, p;
};

struct RankFigures { // Mann-Whitney U or Wilcoxon V
    Figure statistic, p;
    bool exact = false; // exact distribution rather than the normal one
};

// ----- Inputs -----

// What the details of the current test are computed from. Views into the
// caller's texts and the grid store; they are read during the call only.
struct DetailsInput {
    TwoSampleInput summary; // mode 0: the six summary boxes X1, S1, N1, X2, S2, N2
    Column first;           // modes 0-2: the first data column (X)
    Column second;          // modes 0-2: the second data column (Y)
    TableCells table;       // modes 3, 4: the cells a, b, c, d
};

// ----- Mode 0: two samples from the summary boxes -----

struct TwoSampleDetails {
    Figure n1, n2;                     // as read from the boxes
    Figure diff;                       // X1 - X2
    TFigures pooled;                   // Student's t with the pooled variance
    TFigures welch;                    // Welch's t, Satterthwaite df
    Figure varF, varDf1, varDf2, varP; // F = S1^2 / S2^2, two-sided
    Figure cohenD, hedgesG;
    Interval cohenDCi;         // noncentral t
    bool rawData = false;      // both columns hold numbers
    RankFigures mannWhitney;   // U of the first column
    NormalityFigures sw1, sw2; // Shapiro-Wilk of each column
};
TwoSampleDetails TwoSampleDetail(const TwoSampleInput& summary, Column first, Column second);

// The F test rejects equal variances at 0.05: the Welch line is the answer.
bool PreferWelch(const TwoSampleDetails& details);

// ----- Mode 1: paired columns (rows where both cells are numbers) -----

struct PairedDetails {
    Figure n;             // pairs
    Figure diff;          // mean of column 1 - column 2, signed
    TFigures paired;      // ci: of the mean difference
    Figure dz;            // mean difference / SD of the differences
    NormalityFigures sw;  // of the differences
    RankFigures wilcoxon; // V: sum of the ranks of positive differences
};
PairedDetails PairedDetail(Column first, Column second);

// ----- Mode 2: correlation of X and Y, regression of Y on X -----

struct CoefficientFigures {
    Figure estimate, se, t, p;
    Interval ci;
};

struct CorrelationDetails {
    Figure n;
    Figure r, rP, r2;
    Interval rCi; // Fisher z
    CoefficientFigures slope, intercept;
    Figure residualSd;
    Figure spearmanRho, spearmanP; // P by the t approximation
};
CorrelationDetails CorrelationDetail(Column x, Column y);

// ----- Modes 3 and 4: the 2x2 table -----

// The cells as counts: empty cells count as 0, like the panel's totals; any
// other cell must be a whole number of 0 or more.
struct Counts {
    double a = 0, b = 0, c = 0, d = 0;
    double N() const { return a + b + c + d; }
};
std::optional<Counts> ReadCounts(const TableCells& cells);

enum class TableMethod { None, ChiSquare, Yates, Fisher };

struct FourFoldDetails {
    Figure n;
    Figure expected[4];         // T(a), T(b), T(c), T(d)
    Figure chi2, chi2P;         // Pearson
    Figure yates, yatesP;       // continuity-corrected (never below zero)
    Figure fisherP, fisherMidP; // two-sided
    Figure risk1, risk2;        // a / (a + b), c / (c + d)
    Figure oddsRatio, relativeRisk, riskDifference, nnt;
    Interval orCi, rrCi, rdCi; // Woolf, Katz, Wald
    // Test-based intervals of the odds ratio, OR^(1 -+ 1.96 / chi): each
    // leaves out 1 exactly when its chi-square's P is below 0.05.
    Interval orChi2Ci, orYatesCi;
    // Fisher's test with the estimate and interval that agree with it.
    Figure fisherCentralP; // twice the smaller one-sided P
    Figure conditionalOr;  // conditional maximum-likelihood estimate
    Interval conditionalOrCi;
    TableMethod method = TableMethod::None;
};
FourFoldDetails FourFoldDetail(const TableCells& cells);

// The P value of the method that fits the table (its recommendation); for
// Fisher's test the central P.
Figure RecommendedP(const FourFoldDetails& details);

// The odds ratio and interval that go with the recommended P: the
// conditional estimate with its exact interval for Fisher's test, the
// table's ad/bc with the interval based on the chi-square used otherwise.
struct OddsRatioFigures {
    Figure estimate;
    Interval ci;
};
OddsRatioFigures RecommendedOddsRatio(const FourFoldDetails& details);

struct PairedTableDetails {
    Figure n;
    Figure mcnemar, mcnemarP;     // (b - c)^2 / (b + c)
    Figure mcnemarCc, mcnemarCcP; // (|b - c| - 1)^2 / (b + c)
    Figure exactP;                // binomial, b of b + c at 1/2
    Figure pDiff;                 // (b - c) / n
    Interval pDiffCi;
    Figure matchedOr; // b / c
    Interval matchedOrCi;
    // From the Clopper-Pearson interval of b / (b + c): leaves out 1 exactly
    // when the exact P is below 0.05.
    Interval matchedOrExactCi;
    Figure kappa;
    Interval kappaCi;
};
PairedTableDetails PairedTableDetail(const TableCells& cells);

// ----- The driver's view -----

// One figure as "key" and value text: the shortest text that reads back to
// the same double, empty when the figure has no value.
using FigureList = std::vector<std::pair<std::string, std::string>>;

std::string ShortestText(const Figure& figure);

FigureList Figures(const TwoSampleDetails& details);
FigureList Figures(const PairedDetails& details);
FigureList Figures(const CorrelationDetails& details);
FigureList Figures(const FourFoldDetails& details);
FigureList Figures(const PairedTableDetails& details);

// The figures of the test from its inputs, in print order.
FigureList DetailFigures(TestMode mode, const DetailsInput& input);

// "chi2", "yates", "fisher" or "" for the driver.
std::string_view MethodKey(TableMethod method);

} // namespace korvanta::stats
