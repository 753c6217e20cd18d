// Picture8: the 2x2 table of counts a, b, c, d (Text11) with its margins
// (Label18), shared by the four-fold and the paired chi-square tests. A
// change of a cell is cleaned, the totals are updated and the change is
// announced; the window runs the current chi-square test. Ctrl+V is handed
// to the window, which reads the clipboard.
#pragma once

#include "app/cellbatch.h"
#include "stats/chisquare.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <array>

namespace korvanta::ui {

class TablePanel : public QFrame, public BatchedAnnouncer {
    Q_OBJECT
public:
    explicit TablePanel(QWidget* parent);

    // Cell a holds at most six characters; b, c and d have no limit.
    static constexpr int kCellALength = 6;

    QLineEdit* Cell(int index) const { return cells_[static_cast<std::size_t>(index)]; }
    // Whether cell index can hold text once cleaned as typed.
    static bool Holds(int index, const QString& text);
    // The four cell texts as the tests read them.
    struct Texts {
        std::array<std::string, 4> cells;
        stats::TableCells View() const { return {cells[0], cells[1], cells[2], cells[3]}; }
    };
    Texts CellTexts() const;

    // The caption of head label k (Label17(k)) as shown.
    QString HeadCaption(int k) const { return heads_[static_cast<std::size_t>(k)]->text(); }
    // Captions of the head labels and the title for the four-fold (false)
    // or the paired (true) layout.
    void SetPairedLayout(bool paired);
    // Empties the cells (their change handling runs for those that held
    // text) and then every total.
    void ClearAll();
    // Gives a, b, c, d new texts, each cleaned as if typed; the test runs
    // once, after the last.
    void SetCells(const std::array<QString, 4>& texts);

signals:
    void TableChanged();
    // Ctrl+V (or the context menu's paste) in cell index.
    void PasteRequested(int index);
    // A change would have left cell index with text it cannot hold; the
    // cell was given back what it held before.
    void CellRefused(int index, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnCellChanged(int index);
    void Announce();
    void SendGathered() override;
    void ShowContextMenu(int index, const QPoint& at);
    void ShowTotals();

    std::array<QLineEdit*, 4> cells_{};
    // What each cell held after its last accepted change.
    std::array<QString, 4> accepted_{};
    std::array<QLabel*, 5> totals_{};
    std::array<QLabel*, 7> heads_{};
    QLabel* title_ = nullptr;
    bool cleaning_ = false;
    bool changed_ = false; // gathered by an open CellBatch
};

} // namespace korvanta::ui
