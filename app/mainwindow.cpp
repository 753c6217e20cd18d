#include "app/mainwindow.h"

#include "app/accessiblenames.h"
#include "app/detailswindow.h"
#include "app/gridpanel.h"
#include "app/icons.h"
#include "app/plotpanel.h"
#include "app/powerpanel.h"
#include "app/resultpanels.h"
#include "app/screenfit.h"
#include "app/tablepanel.h"
#include "app/testselector.h"
#include "app/toolbar.h"
#include "app/ttablewindow.h"
#include "app/widgets.h"
#include "banner/bannerwidget.h"
#include "banner/links.h"
#include "calculator/calculatorpanel.h"
#include "stats/ttable.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include <array>

namespace korvanta::ui {

namespace {
constexpr int kClientWidthTwips = 8235;
constexpr int kClientHeightTwips = 6435;
} // namespace

MainWindow::MainWindow(UserInteraction& interaction, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      interaction_(interaction)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Korvanta V4.05"));
    setWindowIcon(programIcon());

    // The form is drawn at its designed size; on a screen too small for it
    // (a laptop at 200%) the window scrolls it.
    auto* client = new QWidget;
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(px(kClientWidthTwips), px(kClientHeightTwips));
    auto* formArea = new FormScrollArea(client, this);
    setCentralWidget(formArea);

    toolbar_ = new Toolbar(client);
    banner_ = new banner::BannerWidget(toolbar_);
    banner_->setGeometry(twipsRect(5220, 270, 2730, 390));

    selector_ = new TestSelector(client);

    auto* titleFrame = new QFrame(client);
    titleFrame->setObjectName(QStringLiteral("Frame3"));
    titleFrame->setGeometry(twipsRect(2460, 780, 5715, 495));
    titleFrame->setFrameShape(QFrame::StyledPanel);
    titleFrame->setFrameShadow(QFrame::Sunken);
    LabelStyle hintStyle;
    hintStyle.colour = redColour();
    hintStyle.autoSize = false;
    hintStyle.widthTwips = 4590;
    hint_ = makeLabel(titleFrame, QStringLiteral("Label1"), testHint(TestMode::TwoSample), 60, 240 - 60, hintStyle);
    hint_->resize(px(4590), hint_->height());
    // The detailed results open from a small button at the end of the title line.
    auto* detailsButton = new QPushButton(QStringLiteral("详细结果"), titleFrame);
    detailsButton->setObjectName(QStringLiteral("CommandDetails"));
    detailsButton->setGeometry(twipsRect(4680, 90, 960, 330));
    detailsButton->setToolTip(QStringLiteral("精确P值、可信区间与效应量（Ctrl+D）"));
    detailsButton->setFocusPolicy(Qt::NoFocus);
    connect(detailsButton, &QPushButton::clicked, this, &MainWindow::showDetails);

    calculator_ = new calculator::CalculatorPanel(client);
    calculator_->setGeometry(twipsRect(60, 3660, 2355, 2715));

    grid_ = new GridPanel(store_, client);
    table_ = new TablePanel(client);
    twoSample_ = new TwoSamplePanel(client);
    pairedT_ = new PairedTPanel(client);
    correlation_ = new CorrelationPanel(client);
    fourFold_ = new FourFoldPanel(client);
    pairedChi_ = new PairedChiSquarePanel(client);

    // Controls the user never sees: the t-table text, the file-name holder
    // and a spare label of the chi-square panels.
    auto* tableText = new QPlainTextEdit(client);
    tableText->setObjectName(QStringLiteral("Text14"));
    tableText->setPlainText(QString::fromUtf8(stats::TTableText().data(), static_cast<qsizetype>(stats::TTableText().size())));
    tableText->setLineWrapMode(QPlainTextEdit::NoWrap);
    tableText->setReadOnly(true);
    tableText->hide();
    fileName_ = makeLabel(client, QStringLiteral("Label9"), QStringLiteral("Label9"), 3540, 3000);
    fileName_->hide();
    makeLabel(client, controlName("Label20", 0), {}, 8340, 900)->hide();

    buildMenus();

    connect(selector_, &TestSelector::testClicked, this, &MainWindow::selectTest);
    connect(selector_, &TestSelector::tutorialClicked, this, &MainWindow::openOnlineHelp);
    connect(toolbar_->item(0), &ToolbarItem::activated, this, &MainWindow::importWorkbook);
    connect(toolbar_->item(1), &ToolbarItem::activated, this, &MainWindow::exportWorkbook);
    connect(toolbar_->item(2), &ToolbarItem::activated, this, &MainWindow::openOnlineHelp);
    connect(banner_, &banner::BannerWidget::clicked, this, &MainWindow::openHomePage);
    connect(grid_, &GridPanel::columnsChanged, this, &MainWindow::onColumnsChanged);
    connect(table_, &TablePanel::tableChanged, this, &MainWindow::onTableChanged);
    connect(twoSample_, &TwoSamplePanel::recomputed, this, &MainWindow::refreshDetails);
    connect(grid_, &GridPanel::pasteRequested, this, &MainWindow::pasteIntoGrid);
    connect(grid_, &GridPanel::copyRequested, this, &MainWindow::copyGrid);
    connect(table_, &TablePanel::pasteRequested, this, &MainWindow::pasteIntoTable);
    details_ = new DetailsWindow(this);
    plot_ = new PlotPanel(interaction_, details_);
    details_->addPanel(plot_);
    connect(details_, &DetailsWindow::groupNamesChanged, this, &MainWindow::refreshDetails);
    connect(details_->powerPanel(), &PowerPanel::recomputed, plot_, [this] { plot_->showPowerCurve(details_->powerPanel()->curve()); });

    // Files dropped anywhere on the window are imported; the text boxes
    // would otherwise take a dropped file's name as text.
    setAcceptDrops(true);
    for (QLineEdit* box : findChildren<QLineEdit*>()) {
        box->setAcceptDrops(false);
        // The boxes of the details window keep their own undo.
        if (box->window() != this)
            continue;
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this, &MainWindow::noteEdit);
    }
    // Leaving a text box ends its edit: it becomes one step of the history.
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
        if (qobject_cast<QLineEdit*>(old) && isAncestorOf(old))
            commitEdits();
    });
    // So does moving the grid: the next edit is on another row.
    connect(grid_->scrollBar(), &QScrollBar::actionTriggered, this, [this] { commitEdits(); });
    connect(grid_->scrollBar(), &QScrollBar::valueChanged, this, [this] { commitEdits(); });
    connect(table_, &TablePanel::tableChanged, this, &MainWindow::noteEdit);

    // Load: the designed state is mode 0 with the grid and the two-sample
    // panel; the banner shows its welcome line and the grid rows 1 to 9.
    showPanelsFor(TestMode::TwoSample);
    banner_->printWelcome();
    grid_->resetGrid();
    history_.start(store_.items(grid::Column::First), store_.items(grid::Column::Second), inputFields(), editPlace());
    updateEditActions();
    NameControls(this);
    FitFormWindow(formArea);
    CentreOnScreen(this);
}

MainWindow::~MainWindow()
{
    // The panels go before the window stops receiving signals.
    disconnect(focusWatch_);
    pausingHistory_ = true;
    delete tTable_.data();
}

void MainWindow::buildMenus()
{
    struct Item {
        const char* caption;
        QKeySequence shortcut;
        void (MainWindow::*slot)();
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(F)"));
    const Item fileItems[] = {
        {"从Excel导入数据", QKeySequence(Qt::CTRL | Qt::Key_G), &MainWindow::importWorkbook},
        {"导出数据到Excel", QKeySequence(Qt::CTRL | Qt::Key_L), &MainWindow::exportWorkbook},
        {nullptr, {}, nullptr},
        {"t界值表", QKeySequence(Qt::CTRL | Qt::Key_T), &MainWindow::showTTable},
        {nullptr, {}, nullptr},
        {"退出", QKeySequence(Qt::CTRL | Qt::Key_E), &MainWindow::exitProgram},
    };
    for (const Item& item : fileItems) {
        if (!item.caption) {
            file->addSeparator();
            continue;
        }
        QAction* action = file->addAction(QString::fromUtf8(item.caption), this, item.slot);
        action->setShortcut(item.shortcut);
    }
    QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(E)"));
    undoAction_ = edit->addAction(QStringLiteral("撤销"), this, &MainWindow::undo);
    undoAction_->setObjectName(QStringLiteral("editUndo"));
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction_ = edit->addAction(QStringLiteral("重做"), this, &MainWindow::redo);
    redoAction_->setObjectName(QStringLiteral("editRedo"));
    redoAction_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    QMenu* results = menuBar()->addMenu(QStringLiteral("结果(R)"));
    results->addAction(QStringLiteral("详细结果…"), this, &MainWindow::showDetails)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    results->addAction(QStringLiteral("导出报告…"), this, &MainWindow::exportReport)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    results->addAction(QStringLiteral("打印…"), this, &MainWindow::printReport)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(H)"));
    help->addAction(QStringLiteral("访问作者主页"), this, &MainWindow::openHomePage)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    QAction* helpPage = help->addAction(QStringLiteral("在线帮助"), this, &MainWindow::openOnlineHelp);
    // F1 opens the help from any of the program's windows.
    helpPage->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_K), QKeySequence(Qt::Key_F1)});
    helpPage->setShortcutContext(Qt::ApplicationShortcut);
}

QAction* MainWindow::findAction(const QString& caption) const
{
    for (QAction* menu : menuBar()->actions()) {
        if (menu->text() == caption)
            return menu;
        if (!menu->menu())
            continue;
        for (QAction* action : menu->menu()->actions())
            if (action->text() == caption)
                return action;
    }
    return nullptr;
}

void MainWindow::selectTest(TestMode mode)
{
    commitEdits();
    switch (askBeforeSwitch(mode)) {
    case SwitchAnswer::Cancel:
        return;
    case SwitchAnswer::Keep:
        if (mode != mode_)
            asOneStep([this, mode] { switchKeepingData(mode); });
        return;
    case SwitchAnswer::Clear:
        break;
    }
    // The reset is one step: undo brings the data and their test back.
    asOneStep([this, mode] { resetForTest(mode); });
}

void MainWindow::resetForTest(TestMode mode)
{
    showTest(mode);
    clearInputsAndResults();
    focusFirstInput();
    refreshDetails();
}

void MainWindow::clearInputsAndResults()
{
    // Every store, input cell and result is emptied. The cells' own change
    // handling still cleans and stores what they are given, but nothing is
    // recomputed: every result label is emptied right after.
    grid_->setAnnouncing(false);
    table_->setAnnouncing(false);
    grid_->resetGrid();
    twoSample_->clearBoxes();
    table_->clearAll();
    grid_->setAnnouncing(true);
    table_->setAnnouncing(true);
    twoSample_->clearResults();
    pairedT_->clearResults();
    correlation_->clearResults();
    fourFold_->clearResults();
    pairedChi_->clearResults();
}

void MainWindow::showTest(TestMode mode)
{
    // The toolbar's import and export serve the tests on raw data; the
    // menu items stay available in every mode.
    toolbar_->setExchangeEnabled(!usesTable(mode));
    selector_->showCurrent(mode);
    mode_ = mode;
    hint_->setText(testHint(mode));
    showPanelsFor(mode);
    if (usesTable(mode))
        table_->setPairedLayout(mode == TestMode::PairedChiSquare);
}

void MainWindow::focusFirstInput()
{
    if (usesTable(mode_))
        table_->cell(0)->setFocus(Qt::OtherFocusReason);
    else
        grid_->cell(grid::Column::First, 0)->setFocus(Qt::OtherFocusReason);
}

void MainWindow::showPanelsFor(TestMode mode)
{
    table_->setVisible(usesTable(mode));
    twoSample_->setVisible(mode == TestMode::TwoSample);
    pairedT_->setVisible(mode == TestMode::PairedT);
    correlation_->setVisible(mode == TestMode::Correlation);
    fourFold_->setVisible(mode == TestMode::FourFold);
    pairedChi_->setVisible(mode == TestMode::PairedChiSquare);
    table_->raise();
}

void MainWindow::onColumnsChanged(bool first, bool second)
{
    switch (mode_) {
    case TestMode::PairedT:
        pairedT_->show(stats::PairedTTest(store_.pairMoments()));
        break;
    case TestMode::TwoSample:
        // Only the changed column's boxes are written.
        if (first)
            twoSample_->writeSummary(0, stats::SummariseColumn(store_.moments(grid::Column::First)));
        if (second)
            twoSample_->writeSummary(1, stats::SummariseColumn(store_.moments(grid::Column::Second)));
        break;
    case TestMode::Correlation:
        correlation_->show(stats::CorrelationRegression(store_.pairMoments()));
        break;
    case TestMode::FourFold:
    case TestMode::PairedChiSquare:
        // The grid's columns are not read by the table tests.
        return;
    }
    refreshDetails();
}

void MainWindow::onTableChanged()
{
    const TablePanel::Texts texts = table_->texts();
    if (mode_ == TestMode::FourFold)
        fourFold_->show(stats::FourFoldChiSquare(texts.view()));
    else if (mode_ == TestMode::PairedChiSquare)
        pairedChi_->show(stats::PairedChiSquare(texts.view()));
    else
        return;
    refreshDetails();
}

template <typename F>
auto MainWindow::withDetailsInput(F&& f) const
{
    // The input holds views: the texts live until f returns.
    std::array<std::string, 6> boxes;
    const TablePanel::Texts table = table_->texts();
    stats::DetailsInput input;
    input.summary = twoSample_->input(boxes);
    input.first = store_.values(grid::Column::First);
    input.second = store_.values(grid::Column::Second);
    input.table = table.view();
    return f(testModeIndex(mode_), input);
}

void MainWindow::withDetails(const std::function<void(int mode, const stats::DetailsInput& input)>& f) const
{
    withDetailsInput(f);
}

void MainWindow::refreshDetails()
{
    // The detailed statistics cost milliseconds on a large store: they are
    // computed only while their window is open.
    if (!details_ || !details_->isVisible())
        return;
    withDetailsInput([this](int mode, const stats::DetailsInput& input) {
        details_->showFigures(mode, input);
        plot_->showPlot(mode, input, details_->groupNames());
    });
}

stats::FigureList MainWindow::detailFigures() const
{
    return withDetailsInput([this](int mode, const stats::DetailsInput& input) {
        stats::FigureList figures = stats::DetailFigures(mode, input);
        // The power section keeps what the user typed into it; it is
        // brought up to date with the data before it is read.
        PowerPanel* power = details_->powerPanel();
        power->showData(mode, input);
        const stats::FigureList powerFigures = power->figures();
        figures.insert(figures.end(), powerFigures.begin(), powerFigures.end());
        return figures;
    });
}

void MainWindow::showDetails()
{
    details_->show();
    details_->raise();
    details_->activateWindow();
    refreshDetails();
}

void MainWindow::showTTable()
{
    // One t-table window: created and centred when it is loaded, shown
    // again while it is open, unloaded when the user closes it.
    if (!tTable_)
        tTable_ = new TTableWindow();
    tTable_->show();
    tTable_->raise();
    tTable_->activateWindow();
}

void MainWindow::openHomePage()
{
    interaction_.openUrl(banner::HomePageUrl());
}

void MainWindow::openOnlineHelp()
{
    interaction_.openUrl(banner::OnlineHelpUrl());
}

void MainWindow::exitProgram()
{
    if (confirmExit())
        endProgram();
}

void MainWindow::endProgram()
{
    exitConfirmed_ = true;
    if (tTable_)
        tTable_->close();
    details_->close();
    emit exitRequested();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!exitConfirmed_ && !confirmExit()) {
        event->ignore();
        return;
    }
    event->accept();
    endProgram();
}

QString MainWindow::programDirectory() const
{
    return QCoreApplication::applicationDirPath();
}

} // namespace korvanta::ui
