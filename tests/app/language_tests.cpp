// The interface language: which one a start takes, the shipped English
// translation being complete, and the English window showing no Chinese in
// any of its windows, dialogs and messages in every test.
#include "app/importdialog.h"
#include "app/librarytexts.h"
#include "app/mainwindow.h"
#include "app/ttablewindow.h"
#include "banner/bannerwidget.h"
#include "banner/links.h"
#include "recorder.h"
#include "resultsview/detailswindow.h"
#include "resultsview/plotpanel.h"
#include "widgetkit/interaction.h"
#include "widgetkit/language.h"
#include "widgetkit/twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <algorithm>
#include <set>

namespace korvanta::ui {
namespace {

// The language chosen from the menu is saved in Qt's test folder, never in
// the settings of the user who runs the tests.
class TestSettingsFolder : public ::testing::Environment {
public:
    void SetUp() override { QStandardPaths::setTestModeEnabled(true); }
};
[[maybe_unused]] const ::testing::Environment* const kTestSettings =
    ::testing::AddGlobalTestEnvironment(new TestSettingsFolder);

bool HasCjk(const QString& text)
{
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        // CJK ideographs, CJK punctuation, full-width forms.
        if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF00 && c <= 0xFFEF)) return true;
    }
    return false;
}

// ------------------------------------------------------------ the start language

TEST(StartLanguage, EnvironmentThenSavedChoiceThenChinese)
{
    struct Case {
        const char* environment;
        std::optional<Language> saved;
        Language expected;
    };
    const Case cases[] = {
        {"", std::nullopt, Language::Chinese},
        {"en", std::nullopt, Language::English},
        {" EN ", std::nullopt, Language::English},
        {"zh", std::nullopt, Language::Chinese},
        {"", Language::English, Language::English},
        {"", Language::Chinese, Language::Chinese},
        {"zh", Language::English, Language::Chinese},
        {"en", Language::Chinese, Language::English},
        // A value naming no language of ours leaves the saved choice.
        {"fr", Language::English, Language::English},
        {"en_US.UTF-8", std::nullopt, Language::Chinese},
        {"english", std::nullopt, Language::Chinese},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        QSettings settings(folder.filePath(QStringLiteral("korvanta.ini")), QSettings::IniFormat);
        if (c.saved) SaveLanguage(*c.saved, settings);
        EXPECT_EQ(StartLanguage(QString::fromLatin1(c.environment), settings), c.expected)
            << "KORVANTA_LANG=" << c.environment
            << " saved=" << (c.saved ? LanguageCode(*c.saved).toStdString() : "none");
    }
}

TEST(StartLanguage, SystemLocaleNeverChoosesEnglish)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir folder;
    QSettings settings(folder.filePath(QStringLiteral("korvanta.ini")), QSettings::IniFormat);
    EXPECT_EQ(StartLanguage(QString(), settings), Language::Chinese);
    QLocale::setDefault(before);
}

TEST(StartLanguage, SavedChoiceReadsBack)
{
    QTemporaryDir folder;
    QSettings settings(folder.filePath(QStringLiteral("korvanta.ini")), QSettings::IniFormat);
    EXPECT_FALSE(SavedLanguage(settings).has_value());
    for (const Language language : {Language::English, Language::Chinese}) {
        SaveLanguage(language, settings);
        EXPECT_EQ(SavedLanguage(settings), language);
    }
}

// ------------------------------------------------------------ the translation file

// %1, %2 … in a text, as a sorted set.
std::multiset<QString> Placeholders(const QString& text)
{
    std::multiset<QString> found;
    static const QRegularExpression pattern(QStringLiteral("%\\d+"));
    for (auto it = pattern.globalMatch(text); it.hasNext();) found.insert(it.next().captured());
    return found;
}

TEST(EnglishTranslation, EveryMessageIsTranslatedWithItsPlaceholders)
{
    QFile file(QStringLiteral(KORVANTA_TS_FILE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    int messages = 0;
    QString context, source;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("TS")) {
            EXPECT_TRUE(xml.attributes().value(QLatin1String("language")).startsWith(QLatin1String("en")));
        } else if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            ++messages;
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            const QString translation = xml.readElementText();
            const std::string where = context.toStdString() + ": " + source.toStdString();
            EXPECT_TRUE(type.isEmpty()) << type.toStdString() << " — " << where;
            EXPECT_FALSE(translation.trimmed().isEmpty()) << where;
            EXPECT_FALSE(HasCjk(translation)) << translation.toStdString() << " — " << where;
            EXPECT_EQ(Placeholders(translation), Placeholders(source)) << translation.toStdString() << " — " << where;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(messages, 300);
}

// ------------------------------------------------------------ the English window

void MenuTexts(const QMenu* menu, QStringList& texts)
{
    for (const QAction* action : menu->actions()) {
        // The language menu names itself in both languages on purpose.
        if (action->objectName() == QLatin1String("menuLanguage")) continue;
        texts << action->text() << action->toolTip();
        if (action->menu()) MenuTexts(action->menu(), texts);
    }
}

void PlotTexts(QCustomPlot* plot, QStringList& texts)
{
    for (QCPLayoutElement* element : plot->plotLayout()->elements(true)) {
        if (auto* title = qobject_cast<QCPTextElement*>(element)) texts << title->text();
        if (auto* legend = qobject_cast<QCPLegend*>(element))
            for (int i = 0; i < legend->itemCount(); ++i)
                if (auto* item = qobject_cast<QCPPlottableLegendItem*>(legend->item(i)))
                    texts << item->plottable()->name();
    }
    for (const QCPAxisRect* rect : plot->axisRects())
        for (const QCPAxis* axis : rect->axes()) {
            texts << axis->label();
            if (auto names = axis->ticker().dynamicCast<QCPAxisTickerText>()) texts << names->ticks().values();
        }
    for (int i = 0; i < plot->plottableCount(); ++i) texts << plot->plottable(i)->name();
    for (int i = 0; i < plot->itemCount(); ++i)
        if (auto* label = qobject_cast<QCPItemText*>(plot->item(i))) texts << label->text();
}

// Every text a window shows of its visible controls, as a user or a screen
// reader meets it.
QStringList VisibleTexts(QWidget* top)
{
    QStringList texts{top->windowTitle(), top->toolTip(), top->accessibleName()};
    for (QWidget* widget : top->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(top)) continue;
        texts << widget->toolTip() << widget->accessibleName() << widget->windowTitle();
        if (const auto* label = qobject_cast<const QLabel*>(widget)) texts << label->text();
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) texts << button->text();
        if (const auto* group = qobject_cast<const QGroupBox*>(widget)) texts << group->title();
        if (const auto* box = qobject_cast<const QLineEdit*>(widget)) texts << box->text() << box->placeholderText();
        if (const auto* text = qobject_cast<const QPlainTextEdit*>(widget)) texts << text->toPlainText();
        if (const auto* picker = qobject_cast<const QComboBox*>(widget))
            for (int i = 0; i < picker->count(); ++i) texts << picker->itemText(i);
        if (const auto* table = qobject_cast<const QTableWidget*>(widget)) {
            for (int c = 0; c < table->columnCount(); ++c)
                if (const QTableWidgetItem* head = table->horizontalHeaderItem(c)) texts << head->text();
            for (int r = 0; r < table->rowCount(); ++r)
                for (int c = 0; c < table->columnCount(); ++c)
                    if (const QTableWidgetItem* item = table->item(r, c)) texts << item->text() << item->toolTip();
        }
        if (auto* plot = qobject_cast<QCustomPlot*>(widget)) PlotTexts(plot, texts);
        if (const auto* menus = qobject_cast<const QMenuBar*>(widget))
            for (const QAction* menu : menus->actions()) {
                texts << menu->text();
                if (menu->menu()) MenuTexts(menu->menu(), texts);
            }
    }
    return texts;
}

void ExpectNoChinese(const QStringList& texts, const std::string& where)
{
    for (const QString& text : texts) EXPECT_FALSE(HasCjk(text)) << where << ": " << text.toStdString();
}

// Where a visible plain-text label's words actually fall, in its parent's
// coordinates: a longer English caption runs past its box to the right.
QRect InkRect(const QLabel* label)
{
    const int width = label->fontMetrics().horizontalAdvance(label->text());
    const QRect box = label->geometry();
    const Qt::Alignment align = label->alignment();
    if (align & Qt::AlignHCenter) return {box.center().x() - width / 2, box.y(), width, box.height()};
    if (align & Qt::AlignRight) return {box.right() - width + 1, box.y(), width, box.height()};
    return {box.x(), box.y(), std::max(box.width(), width), box.height()};
}

// No caption of the main window's panels runs into another control beside
// it (the value boxes and result labels were placed for the Chinese words).
void ExpectNoCaptionOverlaps(QWidget* top, const std::string& where)
{
    for (QLabel* label : top->findChildren<QLabel*>()) {
        // Unnamed labels are the pieces of a drawn symbol (t and its
        // subscript), which overlap by design.
        if (label->objectName().isEmpty() || !label->isVisibleTo(top) || label->text().isEmpty() ||
            Qt::mightBeRichText(label->text()) || label->wordWrap())
            continue;
        const QRect ink = InkRect(label);
        for (QObject* child : label->parentWidget()->children()) {
            auto* other = qobject_cast<QWidget*>(child);
            if (other == nullptr || other == label || other->objectName().isEmpty() || !other->isVisibleTo(top))
                continue;
            auto* otherLabel = qobject_cast<QLabel*>(other);
            if (otherLabel == nullptr && qobject_cast<QLineEdit*>(other) == nullptr) continue;
            if (otherLabel != nullptr && otherLabel->text().isEmpty()) continue;
            const QRect otherInk = otherLabel != nullptr ? InkRect(otherLabel) : other->geometry();
            EXPECT_FALSE(ink.intersects(otherInk))
                << where << ": \"" << label->text().toStdString() << "\" (" << label->objectName().toStdString()
                << ") runs into " << other->objectName().toStdString();
        }
    }
}

class EnglishWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(english.Loaded());
        window.show();
    }
    void TearDown() override
    {
        if (TTableWindow* table = window.TTable()) table->close();
        window.Details()->close();
    }
    QLineEdit* Box(const char* name) { return window.findChild<QLineEdit*>(QString::fromLatin1(name)); }
    void Click(const char* name)
    {
        auto* button = window.findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }

    InstalledLanguage english{Language::English};
    Recorder desktop;
    MainWindow window{desktop};
};

TEST_F(EnglishWindow, EveryTestShowsOnlyEnglishThatFits)
{
    struct Mode {
        TestMode mode;
        std::vector<std::string> first, second;
        std::array<const char*, 4> table;
    };
    // Data that bring out each test's words: a perfect correlation, a
    // four-fold table too small for the test, a paired table with few
    // discordant pairs.
    const Mode modes[] = {
        {TestMode::TwoSample, {"12.1", "13.4", "11.8", "15.2", "14.0"}, {"10.2", "11.9", "9.8", "10.5", "12.2"}, {}},
        {TestMode::PairedT, {"120", "132", "118", "141"}, {"110", "128", "119", "130"}, {}},
        {TestMode::Correlation, {"1", "2", "3", "4", "5"}, {"2", "4", "6", "8", "10"}, {}},
        {TestMode::FourFold, {}, {}, {"12", "3", "5", "9"}},
        {TestMode::PairedChiSquare, {}, {}, {"20", "6", "2", "15"}},
    };
    for (const Mode& m : modes) {
        const std::string where = TestCaption(m.mode).toStdString();
        window.SelectTest(m.mode);
        if (stats::UsesTable(m.mode)) {
            for (int i = 0; i < 4; ++i)
                Box(QStringLiteral("Text11(%1)").arg(i).toLatin1().constData())
                    ->setText(QString::fromLatin1(m.table[static_cast<std::size_t>(i)]));
        } else {
            window.LoadColumns(m.first, m.second);
        }
        ExpectNoChinese(VisibleTexts(&window), where + ", main window");
        ExpectNoCaptionOverlaps(&window, where);
        for (int line = 1; line <= banner::BannerWidget::kLineCount; ++line)
            EXPECT_FALSE(HasCjk(banner::BannerWidget::LineText(line))) << line;

        window.ShowDetails();
        DetailsWindow* details = window.Details();
        ExpectNoChinese(VisibleTexts(details), where + ", details with the data plot");
        Click("PlotShowPower");
        ExpectNoChinese(VisibleTexts(details), where + ", details with the power curve");
        Click("PlotShowData");
        details->CopyToClipboard();
        ExpectNoChinese({QApplication::clipboard()->text(), QApplication::clipboard()->mimeData()->html()},
                        where + ", copied results");
        for (const auto copy : {&MainWindow::CopyJournalTable, &MainWindow::CopyResultsText}) {
            (window.*copy)();
            ExpectNoChinese({QApplication::clipboard()->text(), QApplication::clipboard()->mimeData()->html()},
                            where + ", journal table and results text");
        }
        // The English captions fit the window's default size.
        QApplication::sendPostedEvents();
        const auto* sections = details->findChild<QScrollArea*>();
        ASSERT_NE(sections, nullptr);
        EXPECT_FALSE(sections->horizontalScrollBar()->isVisible()) << where;

        QTemporaryDir folder;
        desktop.nextChoice = FileChoice{folder.filePath(QStringLiteral("report.pdf")), 1};
        window.ExportReport();
        QFile page(folder.filePath(QStringLiteral("report.html")));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << where;
        ExpectNoChinese({QString::fromUtf8(page.readAll())}, where + ", report");
        details->close();
    }
    window.ShowTTable();
    ASSERT_NE(window.TTable(), nullptr);
    ExpectNoChinese(VisibleTexts(window.TTable()), "t table");
    ExpectNoChinese(desktop.texts, "messages and dialogs");
}

TEST_F(EnglishWindow, MessagesQuestionsAndThePreviewShowNoChinese)
{
    // Each action shows a message box, a question or a dialog.
    window.ExportWorkbook();                                                  // nothing to export
    window.ImportFile(QStringLiteral("notes.doc"));                           // not a data file
    window.ImportFile(QStringLiteral(KORVANTA_TEST_DATA "/lo_password.xls")); // a reader's own message
    window.ImportFile(QStringLiteral(KORVANTA_TEST_DATA "/made_excel95.xls"));
    QStringList preview;
    desktop.inspect = [&preview](ImportDialog& dialog) { preview = VisibleTexts(&dialog); };
    window.ImportFile(QStringLiteral(KORVANTA_TEST_DATA "/lo_from_row5.xlsx")); // no Chinese in its cells
    ASSERT_FALSE(preview.isEmpty());
    ExpectNoChinese(preview, "import preview");

    QApplication::clipboard()->setText(QStringLiteral("1\t2\t3\n4\t5\t6"));
    window.PasteIntoGrid(grid::Column::First, 0); // three columns
    window.ImportWorkbook();                      // the open dialog
    window.ExportWorkbook();                      // the save dialog
    window.SelectTest(TestMode::FourFold);        // keep or clear?
    Box("Text11(0)")->setText(QStringLiteral("4"));
    QApplication::clipboard()->setText(QStringLiteral("1 2 3"));
    window.PasteIntoTable(0);                                                        // not a 2x2 block
    window.Plot()->findChild<QAbstractButton*>(QStringLiteral("SavePlot"))->click(); // save the plot
    window.findChild<QAction*>(QStringLiteral("language_zh"))->trigger();            // applies next start
    ExpectNoChinese(desktop.texts, "messages and dialogs");
    EXPECT_GE(desktop.texts.size(), 20);

    window.ExitProgram(); // export before exiting?
    ExpectNoChinese(desktop.texts, "exit question");
}

TEST_F(EnglishWindow, CalculatorErrorsReadInEnglish)
{
    // 1 ÷ 0 =
    for (const char* key : {"Command2(6)", "Command5", "Command2(9)", "Command4"}) Click(key);
    EXPECT_EQ(Box("Text5")->text(), QStringLiteral("Division by zero"));
}

TEST_F(EnglishWindow, HelpOpensTheEnglishPage)
{
    window.OpenOnlineHelp();
    ASSERT_EQ(desktop.urls.size(), 1);
    const QUrl opened = desktop.urls.front();
    EXPECT_TRUE(opened.isLocalFile());
    EXPECT_TRUE(opened.toLocalFile().endsWith(QStringLiteral("index_en.html"))) << opened.toString().toStdString();
    QFile page(opened.toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(page.readAll()).contains(QStringLiteral("<html lang=\"en\">")));
}

// Every code the libraries answer with, in the installed language; a fault
// at line 3, column 2 past a limit of 256.
QStringList EveryLibraryText()
{
    QStringList texts;
    for (const excel::ReadError error : excel::kAllReadErrors)
        if (error != excel::ReadError::None) texts << ReadErrorText(error);
    for (const excel::WriteError error : excel::kAllWriteErrors)
        if (error != excel::WriteError::None) texts << WriteErrorText(error);
    for (const delimited::TextProblem problem : delimited::kAllTextProblems)
        if (problem != delimited::TextProblem::None) texts << TextFaultText({problem, 3, 2, 256});
    for (const stats::Verdict verdict : stats::kAllVerdicts)
        if (verdict != stats::Verdict::None) texts << VerdictText(verdict);
    return texts;
}

TEST(LibraryMessages, EveryCodeReadsInChineseAndInEnglish)
{
    const QStringList chinese = EveryLibraryText();
    QStringList english;
    {
        const InstalledLanguage installed(Language::English);
        ASSERT_TRUE(installed.Loaded());
        english = EveryLibraryText();
        excel::WriteResult tooLong;
        tooLong.error = excel::WriteError::TextTooLong;
        tooLong.cell = {4, 1};
        tooLong.cellChars = 40000;
        const QString text = WriteResultText(tooLong);
        EXPECT_TRUE(text.contains(QStringLiteral("row 5, column 2"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("40000"))) << text.toStdString();
    }
    ASSERT_EQ(chinese.size(), english.size());
    EXPECT_GE(chinese.size(), 44);
    for (qsizetype k = 0; k < chinese.size(); ++k) {
        // Only the significance bands read alike in both languages.
        const bool band = chinese[k].startsWith(QStringLiteral("P "));
        EXPECT_TRUE(band || HasCjk(chinese[k])) << k << ": " << chinese[k].toStdString();
        EXPECT_FALSE(english[k].isEmpty() || HasCjk(english[k])) << k << ": " << english[k].toStdString();
        EXPECT_EQ(band, english[k] == chinese[k]) << k << ": " << english[k].toStdString();
    }
}

TEST_F(EnglishWindow, BannerLinesFitTheirBox)
{
    // As in Chinese: every English line fits the banner from its position.
    const QFont font = SongFont(11, true);
    const QFontMetrics metrics(font);
    const int boxWidth = Px(2730);
    for (int line = 1; line <= banner::BannerWidget::kLineCount; ++line) {
        const QString text = banner::BannerWidget::LineText(line);
        EXPECT_LE(Px(banner::BannerWidget::LinePositionTwips(line).x()) + metrics.horizontalAdvance(text), boxWidth)
            << text.toStdString();
    }
    EXPECT_LE(Px(banner::BannerWidget::WelcomePositionTwips().x()) +
                  metrics.horizontalAdvance(banner::BannerWidget::LineText(5)),
              boxWidth);
}

// Without the translation the window keeps its Chinese texts exactly.
TEST(ChineseWindow, TranslationRemovedLeavesTheChineseTexts)
{
    Recorder desktop;
    {
        const InstalledLanguage english(Language::English);
        MainWindow englishWindow(desktop);
        EXPECT_EQ(englishWindow.findChild<QAbstractButton*>(QStringLiteral("Command1(0)"))->text(),
                  QStringLiteral("Two-sample t test"));
    }
    const InstalledLanguage chinese(Language::Chinese);
    MainWindow window(desktop);
    EXPECT_EQ(window.findChild<QAbstractButton*>(QStringLiteral("Command1(0)"))->text(),
              QStringLiteral("两样本均数t检验"));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("Label5(2)"))->text(), QStringLiteral("结果判断："));
    EXPECT_NE(window.FindAction(QStringLiteral("从Excel导入数据")), nullptr);
}

} // namespace
} // namespace korvanta::ui
