// The "详细结果" window (FormDetails): exact P values, 95% confidence
// intervals, effect sizes and the companion tests of the current test, next
// to the main window and refreshed with it. Modeless; closing it only hides
// it, so the owner can show it again with its last figures.
#pragma once

#include "resultsview/detailstext.h"
#include "stats/detailed.h"

#include <QWidget>

#include <array>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTableWidget;
class QVBoxLayout;

namespace korvanta::ui {

class PowerPanel;

class DetailsWindow : public QWidget {
    Q_OBJECT
public:
    // A top-level window owned by parent (the main window).
    explicit DetailsWindow(QWidget* parent = nullptr);

    // Recomputes and shows the figures of the test from its inputs; the
    // input is read during the call only.
    void ShowFigures(stats::TestMode mode, const stats::DetailsInput& input);

    // The test shown; none before the first figures.
    std::optional<stats::TestMode> Mode() const { return mode_; }
    const details::Report& Report() const { return report_; }
    // The section "样本量与检验效能", refreshed with the figures.
    PowerPanel* Power() const { return power_; }
    // The figures and, after them, the sample size and power section.
    details::Report ReportWithPower() const;
    // What the copy button puts on the clipboard: the sentence, an empty
    // line, then the plain-text table with the power section.
    QString ClipboardText() const;
    // The HTML flavour beside it: the results as a three-line table with the
    // sentence below.
    QString ClipboardHtml() const;
    // The names given to the two groups (empty where the default stands).
    details::GroupNames GroupNames() const;
    // An import's column headings become the groups' names; an empty
    // heading leaves its name as it is.
    void SetImportedNames(const QString& first, const QString& second);
    // Places a panel (the plot) after the figures, above the buttons; the
    // window grows by its height as far as the screen allows.
    void AddPanel(QWidget* panel);

public slots:
    void CopyToClipboard();

signals:
    // A group's name was edited: the owner shows the figures again.
    void GroupNamesChanged();
    // "复制三线表": the owner, who has the data, copies the journal table.
    void JournalTableRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void WidenToSections();

    std::optional<stats::TestMode> mode_;
    details::Report report_;
    QLabel* title_ = nullptr;        // DetailsTitle
    QTableWidget* table_ = nullptr;  // DetailsTable
    QLabel* sentence_ = nullptr;     // DetailsSentence
    PowerPanel* power_ = nullptr;    // PowerSection
    QPushButton* copy_ = nullptr;    // CopyDetails
    QPushButton* journal_ = nullptr; // CopyJournalTable
    QScrollArea* scroll_ = nullptr;  // the sections, above the buttons
    QVBoxLayout* sections_ = nullptr;
    std::array<QLineEdit*, 2> groupNames_{}; // GroupName1, GroupName2
};

} // namespace korvanta::ui
