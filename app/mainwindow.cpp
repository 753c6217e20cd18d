#include "app/mainwindow.h"

#include "app/cellbatch.h"
#include "app/gridpanel.h"
#include "app/icons.h"
#include "app/resultpanels.h"
#include "app/tablepanel.h"
#include "app/testselector.h"
#include "app/toolbar.h"
#include "app/ttablewindow.h"
#include "banner/bannerwidget.h"
#include "banner/links.h"
#include "calculator/calculatorpanel.h"
#include "resultsview/detailswindow.h"
#include "resultsview/plotpanel.h"
#include "resultsview/powerpanel.h"
#include "stats/ttable.h"
#include "widgetkit/accessiblenames.h"
#include "widgetkit/language.h"
#include "widgetkit/screenfit.h"
#include "widgetkit/widgets.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
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

// Ctrl+Z, and the platform's own undo chord.
bool IsUndoKey(const QKeyEvent& key)
{
    return key.matches(QKeySequence::Undo) || key.keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Z);
}

// Ctrl+Y and Ctrl+Shift+Z, and the platform's own redo chord.
bool IsRedoKey(const QKeyEvent& key)
{
    return key.matches(QKeySequence::Redo) || key.keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y) ||
           key.keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z);
}

bool IsGridMoveKey(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

// The chord of an enabled menu item.
bool IsMenuShortcut(const QMenuBar& menus, const QKeyEvent& key)
{
    const QKeySequence pressed(key.keyCombination());
    for (const QAction* action : menus.findChildren<QAction*>())
        if (action->isEnabled() && action->shortcuts().contains(pressed)) return true;
    return false;
}

} // namespace

MainWindow::MainWindow(UserInteraction& interaction, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      interaction_(interaction)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Korvanta V4.05"));
    setWindowIcon(ProgramIcon());

    // The form is drawn at its designed size; on a screen too small for it
    // (a laptop at 200%) the window scrolls it.
    auto* client = new QWidget;
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(Px(kClientWidthTwips), Px(kClientHeightTwips));
    auto* formArea = new FormScrollArea(client, this);
    setCentralWidget(formArea);

    toolbar_ = new Toolbar(client);
    banner_ = new banner::BannerWidget(toolbar_);
    banner_->setGeometry(TwipsRect(5220, 270, 2730, 390));

    selector_ = new TestSelector(client);

    auto* titleFrame = new QFrame(client);
    titleFrame->setObjectName(QStringLiteral("Frame3"));
    titleFrame->setGeometry(TwipsRect(2460, 780, 5715, 495));
    titleFrame->setFrameShape(QFrame::StyledPanel);
    titleFrame->setFrameShadow(QFrame::Sunken);
    LabelStyle hintStyle;
    hintStyle.colour = RedColour();
    hintStyle.autoSize = false;
    hintStyle.widthTwips = 4590;
    hint_ = MakeLabel(titleFrame, QStringLiteral("Label1"), TestHint(TestMode::TwoSample), 60, 240, hintStyle);
    hint_->resize(Px(4590), hint_->height());
    // The detailed results open from a small button at the end of the title line.
    auto* detailsButton = new QPushButton(tr("详细结果"), titleFrame);
    detailsButton->setObjectName(QStringLiteral("CommandDetails"));
    detailsButton->setGeometry(TwipsRect(4680, 90, 960, 330));
    detailsButton->setToolTip(tr("精确P值、可信区间与效应量（Ctrl+D）"));
    detailsButton->setFocusPolicy(Qt::NoFocus);
    connect(detailsButton, &QPushButton::clicked, this, &MainWindow::ShowDetails);

    calculator_ = new calculator::CalculatorPanel(client);
    calculator_->setGeometry(TwipsRect(60, 3660, 2355, 2715));

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
    tableText->setPlainText(
        QString::fromUtf8(stats::TTableText().data(), static_cast<qsizetype>(stats::TTableText().size())));
    tableText->setLineWrapMode(QPlainTextEdit::NoWrap);
    tableText->setReadOnly(true);
    tableText->hide();
    fileName_ = MakeLabel(client, QStringLiteral("Label9"), QStringLiteral("Label9"), 3540, 3000);
    fileName_->hide();
    MakeLabel(client, ControlName("Label20", 0), {}, 8340, 900)->hide();

    session_ = new EditSession(*this);
    exchange_ = new DataExchange(*this);
    report_ = new ReportActions(*this);
    BuildMenus();

    connect(selector_, &TestSelector::TestClicked, this, &MainWindow::SelectTest);
    connect(selector_, &TestSelector::TutorialClicked, this, &MainWindow::OpenOnlineHelp);
    connect(toolbar_->Item(0), &ToolbarItem::Activated, this, &MainWindow::ImportWorkbook);
    connect(toolbar_->Item(1), &ToolbarItem::Activated, this, &MainWindow::ExportWorkbook);
    connect(toolbar_->Item(2), &ToolbarItem::Activated, this, &MainWindow::OpenOnlineHelp);
    connect(banner_, &banner::BannerWidget::Clicked, this, &MainWindow::OpenHomePage);
    connect(grid_, &GridPanel::ColumnsChanged, this, &MainWindow::OnColumnsChanged);
    connect(table_, &TablePanel::TableChanged, this, &MainWindow::OnTableChanged);
    connect(twoSample_, &TwoSamplePanel::Recomputed, this, &MainWindow::RefreshDetails);
    connect(grid_, &GridPanel::PasteRequested, exchange_, &DataExchange::PasteIntoGrid);
    connect(grid_, &GridPanel::CopyRequested, exchange_, &DataExchange::CopyGrid);
    connect(grid_, &GridPanel::GridFull, this, [this] {
        interaction_.ShowMessage(this, tr("提示"),
                                 tr("数据表已满：本程序最多容纳%1行，不能再添加新行。").arg(grid::kMaxRows));
    });
    connect(table_, &TablePanel::PasteRequested, exchange_, &DataExchange::PasteIntoTable);
    connect(table_, &TablePanel::CellRefused, exchange_, &DataExchange::RefuseTableValue);
    details_ = new DetailsWindow(this);
    plot_ = new PlotPanel(interaction_, details_);
    details_->AddPanel(plot_);
    connect(details_, &DetailsWindow::GroupNamesChanged, this, &MainWindow::RefreshDetails);
    connect(details_, &DetailsWindow::JournalTableRequested, report_, &ReportActions::CopyJournalTable);
    connect(details_->Power(), &PowerPanel::Recomputed, plot_,
            [this] { plot_->ShowPowerCurve(details_->Power()->Curve()); });

    // Files dropped anywhere on the window are imported; the text boxes
    // would otherwise take a dropped file's name as text.
    setAcceptDrops(true);
    for (QLineEdit* box : findChildren<QLineEdit*>()) {
        box->setAcceptDrops(false);
        // The boxes of the details window keep their own undo.
        if (box->window() != this) continue;
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, session_, &EditSession::NoteEdit);
    }
    // Leaving a text box ends its edit: it becomes one step of the history.
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
        if (qobject_cast<QLineEdit*>(old) && isAncestorOf(old)) session_->CommitEdits();
    });
    // So does moving the grid: the next edit is on another row.
    connect(grid_->ScrollBar(), &QScrollBar::actionTriggered, session_, &EditSession::CommitEdits);
    connect(grid_->ScrollBar(), &QScrollBar::valueChanged, session_, &EditSession::CommitEdits);
    connect(table_, &TablePanel::TableChanged, session_, &EditSession::NoteEdit);

    // Load: the designed state is mode 0 with the grid and the two-sample
    // panel; the banner shows its welcome line and the grid rows 1 to 9.
    ShowPanelsFor(TestMode::TwoSample);
    banner_->PrintWelcome();
    grid_->ResetGrid();
    session_->Start();
    NameControls(this);
    FitFormWindow(formArea);
    CentreOnScreen(this);
}

MainWindow::~MainWindow()
{
    // The panels go before the window stops receiving signals.
    disconnect(focusWatch_);
    session_->Stop();
    delete tTable_.data();
}

void MainWindow::BuildMenus()
{
    struct Item {
        const char* caption;
        QKeySequence shortcut;
        void (MainWindow::*slot)();
    };
    QMenu* file = menuBar()->addMenu(tr("文件(F)"));
    const Item fileItems[] = {
        {QT_TR_NOOP("从Excel导入数据"), QKeySequence(Qt::CTRL | Qt::Key_G), &MainWindow::ImportWorkbook},
        {QT_TR_NOOP("导出数据到Excel"), QKeySequence(Qt::CTRL | Qt::Key_L), &MainWindow::ExportWorkbook},
        {nullptr, {}, nullptr},
        {QT_TR_NOOP("t界值表"), QKeySequence(Qt::CTRL | Qt::Key_T), &MainWindow::ShowTTable},
        {nullptr, {}, nullptr},
        {QT_TR_NOOP("退出"), QKeySequence(Qt::CTRL | Qt::Key_E), &MainWindow::ExitProgram},
    };
    for (const Item& item : fileItems) {
        if (!item.caption) {
            file->addSeparator();
            continue;
        }
        QAction* action = file->addAction(tr(item.caption), this, item.slot);
        action->setShortcut(item.shortcut);
    }
    QMenu* edit = menuBar()->addMenu(tr("编辑(E)"));
    QAction* undoAction = edit->addAction(tr("撤销"), this, &MainWindow::Undo);
    undoAction->setObjectName(QStringLiteral("editUndo"));
    undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redoAction = edit->addAction(tr("重做"), this, &MainWindow::Redo);
    redoAction->setObjectName(QStringLiteral("editRedo"));
    redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    session_->SetActions(undoAction, redoAction);
    QMenu* results = menuBar()->addMenu(tr("结果(R)"));
    results->addAction(tr("详细结果…"), this, &MainWindow::ShowDetails)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    results->addAction(tr("导出报告…"), this, &MainWindow::ExportReport)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    results->addAction(tr("打印…"), this, &MainWindow::PrintReport)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    results->addSeparator();
    results->addAction(tr("复制三线表"), this, &MainWindow::CopyJournalTable);
    results->addAction(tr("复制结果描述"), this, &MainWindow::CopyResultsText);
    QMenu* help = menuBar()->addMenu(tr("帮助(H)"));
    help->addAction(tr("访问作者主页"), this, &MainWindow::OpenHomePage)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    QAction* helpPage = help->addAction(tr("在线帮助"), this, &MainWindow::OpenOnlineHelp);
    // F1 opens the help from any of the program's windows.
    helpPage->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_K), QKeySequence(Qt::Key_F1)});
    helpPage->setShortcutContext(Qt::ApplicationShortcut);
    BuildLanguageMenu(help);
}

void MainWindow::BuildLanguageMenu(QMenu* help)
{
    // Named in both languages, so that it is found whichever one is shown.
    QMenu* languages = help->addMenu(QStringLiteral("语言 / Language"));
    languages->menuAction()->setObjectName(QStringLiteral("menuLanguage"));
    auto* choices = new QActionGroup(languages);
    const Language running = StartLanguage();
    const std::pair<Language, QString> entries[] = {
        {Language::Chinese, QStringLiteral("中文")},
        {Language::English, QStringLiteral("English")},
    };
    for (const auto& [language, caption] : entries) {
        QAction* choice = languages->addAction(caption);
        choice->setObjectName(QStringLiteral("language_") + LanguageCode(language));
        choice->setCheckable(true);
        choice->setChecked(language == SavedLanguage().value_or(running));
        choices->addAction(choice);
        connect(choice, &QAction::triggered, this,
                [this, language = language, running] { ChooseLanguage(language, running); });
    }
}

void MainWindow::ChooseLanguage(Language chosen, Language running)
{
    SaveLanguage(chosen);
    if (chosen == running) return;
    QString text = tr("界面语言将在下次启动 Korvanta 时更换。");
    if (ParseLanguage(qEnvironmentVariable("KORVANTA_LANG"))) text += tr("（环境变量 KORVANTA_LANG 仍优先于此设置。）");
    interaction_.ShowMessage(this, tr("提示"), text);
}

namespace {

// The action of that caption among actions and their submenus, depth first.
QAction* FindActionIn(const QList<QAction*>& actions, const QString& caption)
{
    for (QAction* action : actions) {
        if (action->text() == caption) return action;
        if (action->menu())
            if (QAction* found = FindActionIn(action->menu()->actions(), caption)) return found;
    }
    return nullptr;
}

} // namespace

QAction* MainWindow::FindAction(const QString& caption) const { return FindActionIn(menuBar()->actions(), caption); }

void MainWindow::SelectTest(TestMode mode)
{
    session_->CommitEdits();
    switch (session_->AskBeforeSwitch(mode)) {
    case EditSession::SwitchAnswer::Cancel:
        return;
    case EditSession::SwitchAnswer::Keep:
        if (mode != mode_) session_->AsOneStep([this, mode] { SwitchKeepingData(mode); });
        return;
    case EditSession::SwitchAnswer::Clear:
        break;
    }
    // The reset is one step: undo brings the data and their test back.
    session_->AsOneStep([this, mode] { ResetForTest(mode); });
}

void MainWindow::SwitchKeepingData(TestMode mode)
{
    ShowTest(mode);
    FocusFirstInput();
    // The new test runs on the kept data. The two-sample test summarises
    // the columns that hold data and keeps boxes typed by hand otherwise.
    switch (mode) {
    case TestMode::TwoSample:
        OnColumnsChanged(session_->HoldsData(grid::Column::First), session_->HoldsData(grid::Column::Second));
        break;
    case TestMode::PairedT:
    case TestMode::Correlation:
        OnColumnsChanged(true, true);
        break;
    case TestMode::FourFold:
    case TestMode::PairedChiSquare:
        OnTableChanged();
        break;
    }
    RefreshDetails();
}

void MainWindow::ResetForTest(TestMode mode)
{
    ShowTest(mode);
    ClearInputsAndResults();
    FocusFirstInput();
    RefreshDetails();
}

void MainWindow::ClearInputsAndResults()
{
    // Every store, input cell and result is emptied. The cells' own change
    // handling still cleans and stores what they are given, but nothing is
    // recomputed: every result label is emptied right after.
    {
        const CellBatch quietGrid(*grid_, CellBatch::Announce::Never);
        const CellBatch quietTable(*table_, CellBatch::Announce::Never);
        grid_->ResetGrid();
        twoSample_->ClearBoxes();
        table_->ClearAll();
    }
    twoSample_->ClearResults();
    pairedT_->ClearResults();
    correlation_->ClearResults();
    fourFold_->ClearResults();
    pairedChi_->ClearResults();
}

void MainWindow::ShowTest(TestMode mode)
{
    // The toolbar's import and export serve the tests on raw data; the
    // menu items stay available in every mode.
    toolbar_->SetExchangeEnabled(!stats::UsesTable(mode));
    selector_->ShowCurrent(mode);
    mode_ = mode;
    hint_->setText(TestHint(mode));
    ShowPanelsFor(mode);
    if (stats::UsesTable(mode)) table_->SetPairedLayout(mode == TestMode::PairedChiSquare);
}

void MainWindow::FocusFirstInput()
{
    if (stats::UsesTable(mode_))
        table_->Cell(0)->setFocus(Qt::OtherFocusReason);
    else
        grid_->Cell(grid::Column::First, 0)->setFocus(Qt::OtherFocusReason);
}

void MainWindow::ShowPanelsFor(TestMode mode)
{
    table_->setVisible(stats::UsesTable(mode));
    twoSample_->setVisible(mode == TestMode::TwoSample);
    pairedT_->setVisible(mode == TestMode::PairedT);
    correlation_->setVisible(mode == TestMode::Correlation);
    fourFold_->setVisible(mode == TestMode::FourFold);
    pairedChi_->setVisible(mode == TestMode::PairedChiSquare);
    table_->raise();
}

void MainWindow::OnColumnsChanged(bool first, bool second)
{
    switch (mode_) {
    case TestMode::PairedT:
        pairedT_->ShowResult(stats::PairedTTest(store_.PairMoments()));
        break;
    case TestMode::TwoSample:
        // Only the changed column's boxes are written.
        if (first) twoSample_->WriteSummary(0, stats::SummariseColumn(store_.Moments(grid::Column::First)));
        if (second) twoSample_->WriteSummary(1, stats::SummariseColumn(store_.Moments(grid::Column::Second)));
        break;
    case TestMode::Correlation:
        correlation_->ShowResult(stats::CorrelationRegression(store_.PairMoments()));
        break;
    case TestMode::FourFold:
    case TestMode::PairedChiSquare:
        // The grid's columns are not read by the table tests.
        return;
    }
    RefreshDetails();
}

void MainWindow::OnTableChanged()
{
    const TablePanel::Texts texts = table_->CellTexts();
    if (mode_ == TestMode::FourFold)
        fourFold_->ShowResult(stats::FourFoldChiSquare(texts.View()));
    else if (mode_ == TestMode::PairedChiSquare)
        pairedChi_->ShowResult(stats::PairedChiSquare(texts.View()));
    else
        return;
    RefreshDetails();
}

void MainWindow::RefreshDetails()
{
    // The detailed statistics cost milliseconds on a large store: they are
    // computed only while their window is open.
    if (!details_ || !details_->isVisible()) return;
    const CurrentInputs now = Inputs();
    details_->ShowFigures(now.mode, now.input);
    plot_->ShowPlot(now.mode, now.input, details_->GroupNames());
}

stats::FigureList MainWindow::DetailFigures() const
{
    const CurrentInputs now = Inputs();
    stats::FigureList figures = stats::DetailFigures(now.mode, now.input);
    // The power section keeps what the user typed into it; it is brought up
    // to date with the data before it is read.
    PowerPanel* power = details_->Power();
    power->ShowData(now.mode, now.input);
    const stats::FigureList powerFigures = power->Figures();
    figures.insert(figures.end(), powerFigures.begin(), powerFigures.end());
    return figures;
}

void MainWindow::ShowDetails()
{
    details_->show();
    details_->raise();
    details_->activateWindow();
    RefreshDetails();
}

void MainWindow::ShowTTable()
{
    // One t-table window: created and centred when it is loaded, shown
    // again while it is open, unloaded when the user closes it.
    if (!tTable_) tTable_ = new TTableWindow();
    tTable_->show();
    tTable_->raise();
    tTable_->activateWindow();
}

void MainWindow::OpenHomePage() { interaction_.OpenUrl(banner::HomePageUrl()); }

void MainWindow::OpenOnlineHelp() { interaction_.OpenUrl(banner::OnlineHelpUrl()); }

void MainWindow::ExitProgram()
{
    if (session_->ConfirmExit()) EndProgram();
}

void MainWindow::EndProgram()
{
    exitConfirmed_ = true;
    if (tTable_) tTable_->close();
    details_->close();
    emit ExitRequested();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!exitConfirmed_ && !session_->ConfirmExit()) {
        event->ignore();
        return;
    }
    event->accept();
    EndProgram();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (IsUndoKey(key) || IsRedoKey(key)) {
        // Left unclaimed, the chord reaches the window's 撤销 or 重做 rather
        // than the box's own undo, which knows only the box's last text.
        event->ignore();
        return true;
    }
    // The menus' chords (Ctrl+E 退出, Ctrl+K 在线帮助, Ctrl+D ...) work from
    // any box: a desktop's Emacs-style line editing (Ctrl+E end of line,
    // Ctrl+K delete to the end) would otherwise claim them in the cells.
    if (type == QEvent::ShortcutOverride && IsMenuShortcut(*menuBar(), key)) {
        event->ignore();
        return true;
    }
    // Enter and the arrows move on in the grid: the cell's edit is done.
    if (type == QEvent::KeyPress && IsGridMoveKey(key) && grid_->isAncestorOf(qobject_cast<QWidget*>(watched)))
        session_->CommitEdits();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (DroppedDataFile(event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const std::optional<QString> path = DroppedDataFile(event->mimeData());
    if (!path) return;
    event->acceptProposedAction();
    ImportFile(*path);
}

} // namespace korvanta::ui
