// Korvanta's main window (Form1).
//
// Architecture in brief. The statistics (stats/), the data grid's store and
// navigation (grid/), the calculator's engine (calculator/), the workbook
// reader and writers (excel/) and the texts a clinician hands in (results/)
// are plain C++ libraries without Qt; they are tested on their own. The
// results' views (the details window, its power section and plot, the
// report) are a widget library below this window (resultsview/). This
// window is a thin layer over them, split by panel:
//   Toolbar (Frame1, with the banner Picture3)   app/toolbar.h, banner/
//   TestSelector (Frame2: Command1, Command19)   app/testselector.h
//   Label1 in Frame3: the current test and its entry hint
//   CalculatorPanel (Frame4)                     calculator/calculatorpanel.h
//   GridPanel (Picture2) over the GridStore      app/gridpanel.h
//   TablePanel (Picture8): the 2x2 table         app/tablepanel.h
//   five result panels (Picture4, 6, 7, 9, 11)   app/resultpanels.h
//   the t-table window (Form2)                   app/ttablewindow.h
//   the details window with its plot            resultsview/detailswindow.h
// and by job, each a part the window owns: the edit history and the
// questions before data are lost (app/editsession.h), import, export, paste
// and drop (app/dataexchange.h), and the report and the journal table
// (app/reportactions.h).
// Every change of an input cell reruns the current test at once, from all of
// its inputs; nothing is cached but the converted value of each stored cell
// text. The desktop (dialogs, message boxes, the browser) is reached through
// UserInteraction, so the driver and the tests can answer it from a script.
// Controls carry the names of the design as objectNames ("Text11(0)", "VS1").
#pragma once

#include "app/currentinputs.h"
#include "app/dataexchange.h"
#include "app/editsession.h"
#include "app/reportactions.h"
#include "app/testcaptions.h"
#include "app/ttablewindow.h"
#include "grid/gridstore.h"
#include "stats/detailed.h"
#include "widgetkit/interaction.h"
#include "widgetkit/language.h"

#include <QMainWindow>
#include <QPointer>

#include <string>
#include <vector>

class QLabel;
class QAction;
class QKeyEvent;
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
    // Replaces the grid's two columns as an import does (DataExchange).
    void LoadColumns(std::vector<std::string> first, std::vector<std::string> second)
    {
        exchange_->LoadColumns(std::move(first), std::move(second));
    }
    // The detailed figures of the current test, as key=value pairs.
    stats::FigureList DetailFigures() const;
    DetailsWindow* Details() const { return details_; }
    PlotPanel* Plot() const { return plot_; }
    // Imports the file at path as the import does after its dialog.
    void ImportFile(const QString& path) { exchange_->ImportFile(path); }
    // The current test's inputs, as its detailed statistics read them.
    CurrentInputs Inputs() const { return {mode_, store_, *twoSample_, *table_}; }

public slots:
    void SelectTest(korvanta::ui::TestMode mode);
    void ImportWorkbook() { exchange_->ImportWorkbook(); }
    void ExportWorkbook() { exchange_->ExportWorkbook(); }
    void ShowTTable();
    void ShowDetails();
    void ExportReport() { report_->ExportReport(); }
    void PrintReport() { report_->PrintReport(); }
    // 结果 → "复制三线表" and "复制结果描述" (ReportActions).
    void CopyJournalTable() { report_->CopyJournalTable(); }
    void CopyResultsText() { report_->CopyResultsText(); }
    void PasteIntoGrid(korvanta::grid::Column column, int visibleRow) { exchange_->PasteIntoGrid(column, visibleRow); }
    void PasteIntoTable(int index) { exchange_->PasteIntoTable(index); }
    void OpenHomePage();
    void OpenOnlineHelp();
    // Asks first when changed data were neither imported nor exported.
    void ExitProgram();
    // The edit menu (EditSession).
    void Undo() { session_->Undo(); }
    void Redo() { session_->Redo(); }

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
    // The window's parts reach its panels and its state.
    friend class EditSession;
    friend class DataExchange;
    friend class ReportActions;

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
    // The test switched to with the data kept, run on them.
    void SwitchKeepingData(TestMode mode);
    // The test switched to with every input emptied.
    void ResetForTest(TestMode mode);
    // Every store, input cell and result label emptied, nothing recomputed.
    void ClearInputsAndResults();
    void EndProgram();
    // Follows the main panel: called after every recomputation.
    void RefreshDetails();

    UserInteraction& interaction_;
    grid::GridStore store_;
    TestMode mode_ = TestMode::TwoSample;
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
    EditSession* session_ = nullptr;
    DataExchange* exchange_ = nullptr;
    ReportActions* report_ = nullptr;
};

} // namespace korvanta::ui
