// Korvanta's main window (Form1).
//
// Architecture in brief. The statistics (stats/), the data grid's store and
// navigation (grid/), the calculator's engine (calculator/) and the workbook
// reader and writers (excel/) are plain C++ libraries without Qt; they are
// tested on their own. This window is a thin layer over them, split by
// panel:
//   Toolbar (Frame1, with the banner Picture3)   app/toolbar.h, banner/
//   TestSelector (Frame2: Command1, Command19)   app/testselector.h
//   Label1 in Frame3: the current test and its entry hint
//   CalculatorPanel (Frame4)                     calculator/calculatorpanel.h
//   GridPanel (Picture2) over the GridStore      app/gridpanel.h
//   TablePanel (Picture8): the 2x2 table         app/tablepanel.h
//   five result panels (Picture4, 6, 7, 9, 11)   app/resultpanels.h
//   the t-table window (Form2)                   app/ttablewindow.h
//   the details window with its plot            app/detailswindow.h, app/plotpanel.h
// The main window's jobs live in files of their own: import, export and
// dropped files (app/workbookexchange.cpp), paste and copy
// (app/pasteactions.cpp) and the report (app/reportactions.cpp).
// Every change of an input cell reruns the current test at once, from all of
// its inputs; nothing is cached but the converted value of each stored cell
// text. The desktop (dialogs, message boxes, the browser) is reached through
// UserInteraction, so the driver and the tests can answer it from a script.
// Controls carry the names of the design as objectNames ("Text11(0)", "VS1").
#pragma once

#include "app/interaction.h"
#include "app/language.h"
#include "app/testcaptions.h"
#include "app/ttablewindow.h"
#include "grid/edithistory.h"
#include "grid/gridstore.h"
#include "stats/detailed.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QAction;
class QMenu;

namespace korvanta::banner {
class BannerWidget;
}
namespace korvanta::calculator {
class CalculatorPanel;
}

namespace korvanta::ui {

class GridPanel;
class TablePanel;
class Toolbar;
class TestSelector;
class TwoSamplePanel;
class PairedTPanel;
class CorrelationPanel;
class FourFoldPanel;
class PairedChiSquarePanel;
class DetailsWindow;
class PlotPanel;
class ImportDialog;
struct ReportContent;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(UserInteraction& interaction, QWidget* parent = nullptr);
    ~MainWindow() override;

    TestMode CurrentTest() const { return mode_; }
    const grid::GridStore& Store() const { return store_; }
    banner::BannerWidget* Banner() const { return banner_; }
    // The t-table window while it is open.
    TTableWindow* TTable() const { return tTable_; }
    QAction* FindAction(const QString& caption) const;
    // Replaces the grid's two columns as an import does: the window back at
    // row 1, the first rows shown and stored as if typed, the current test
    // recomputed once.
    void LoadColumns(std::vector<std::string> first, std::vector<std::string> second);
    // The detailed figures of the current test, as key=value pairs.
    stats::FigureList DetailFigures() const;
    DetailsWindow* Details() const { return details_; }
    PlotPanel* Plot() const { return plot_; }
    // Imports the file at path as the import does after its dialog: the
    // name is checked, a workbook with several sheets asks which one.
    void ImportFile(const QString& path);

public slots:
    void SelectTest(korvanta::ui::TestMode mode);
    void ImportWorkbook();
    void ExportWorkbook();
    void ShowTTable();
    void ShowDetails();
    void ExportReport();
    void PrintReport();
    void PasteIntoGrid(korvanta::grid::Column column, int visibleRow);
    void PasteIntoTable(int index);
    void CopyGrid();
    void OpenHomePage();
    void OpenOnlineHelp();
    // Asks first when changed data were neither imported nor exported.
    void ExitProgram();
    // The edit menu: one step of the data (a cell's edit, a paste, an
    // import, a reset) back or forward, with the test and the rows it
    // belongs to (app/editactions.cpp).
    void Undo();
    void Redo();

signals:
    // "退出" or the window's close box, answered: the program ends.
    void ExitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Ctrl+Z and Ctrl+Y in a text box are the window's undo and redo; an
    // edit in a grid cell ends when the user moves on.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A workbook or text file dropped anywhere on the window is imported.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The two columns an accepted import preview gives, and how many of
    // their cells were formulas saved without a result.
    struct ImportedColumns {
        std::vector<std::string> first, second;
        std::size_t uncalculated = 0;
    };
    // Nothing when the sheet has more data rows than the grid holds (said
    // in a message).
    std::optional<ImportedColumns> TakeColumns(const ImportDialog& preview);

    // Says that `count` pasted or imported numbers such as "2,500" were kept
    // as written, their comma being read both ways in their column.
    void NoteKeptCommaNumbers(int count);
    void BuildMenus();
    // 帮助 → "语言 / Language": the choice is saved for the next start.
    void BuildLanguageMenu(QMenu* help);
    void ChooseLanguage(Language chosen, Language running);
    void OnColumnsChanged(bool first, bool second);
    void OnTableChanged();
    void ShowPanelsFor(TestMode mode);
    // Toolbar, buttons, Label1, panels and the 2x2 layout of the test.
    void ShowTest(TestMode mode);
    void FocusFirstInput();
    // app/editactions.cpp: the history and the questions before data are lost.
    enum class SwitchAnswer { Keep, Clear, Cancel };
    SwitchAnswer AskBeforeSwitch(TestMode mode);
    void SwitchKeepingData(TestMode mode);
    void ResetForTest(TestMode mode);
    // Every store, input cell and result label emptied, nothing recomputed.
    void ClearInputsAndResults();
    bool ConfirmExit();
    void EndProgram();
    bool HasData() const;
    std::vector<std::string> InputFields() const;
    grid::EditPlace EditPlace() const;
    // Records what changed since the last recorded state as one step.
    void CommitEdits();
    // Runs change as one step of its own: an edit before it is recorded
    // first, and nothing is recorded halfway through.
    void AsOneStep(const std::function<void()>& change);
    void NoteEdit();
    void RestoreEditState(grid::EditState state);
    void UpdateEditActions();
    // Writes the export file; true when it was written.
    bool ExportData();
    // Follows the main panel: called after every recomputation.
    void RefreshDetails();
    // Runs f with the current test's inputs as the detailed statistics read them.
    template <typename F>
    auto WithDetailsInput(F&& f) const;
    // The same for the files of the window's other jobs.
    void WithDetails(const std::function<void(TestMode mode, const stats::DetailsInput& input)>& f) const;
    QString ProgramDirectory() const;
    // What the report holds, read from the window (app/reportactions.cpp).
    ReportContent CurrentReport() const;

    UserInteraction& interaction_;
    grid::GridStore store_;
    TestMode mode_ = TestMode::TwoSample;
    grid::EditHistory history_;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    // While the window shows a state of the history, or resets itself, its
    // own changes are not edits.
    bool pausingHistory_ = false;
    // A box was edited since the last recorded state.
    bool pendingEdit_ = false;
    bool exitConfirmed_ = false;
    QMetaObject::Connection focusWatch_;

    Toolbar* toolbar_ = nullptr;
    banner::BannerWidget* banner_ = nullptr;
    TestSelector* selector_ = nullptr;
    QLabel* hint_ = nullptr;     // Label1
    QLabel* fileName_ = nullptr; // Label9, never visible
    calculator::CalculatorPanel* calculator_ = nullptr;
    GridPanel* grid_ = nullptr;
    TablePanel* table_ = nullptr;
    TwoSamplePanel* twoSample_ = nullptr;
    PairedTPanel* pairedT_ = nullptr;
    CorrelationPanel* correlation_ = nullptr;
    FourFoldPanel* fourFold_ = nullptr;
    PairedChiSquarePanel* pairedChi_ = nullptr;
    QPointer<TTableWindow> tTable_;
    DetailsWindow* details_ = nullptr;
    PlotPanel* plot_ = nullptr;
};

} // namespace korvanta::ui
