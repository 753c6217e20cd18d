#include "buttonsequences.h"

#include "calculator/calculatorpanel.h"
#include "widgetkit/twips.h"

#include <QFrame>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace korvanta::calculator {
namespace {

using testing::ButtonSequence;
using testing::Captions;
using testing::Sequences;
using ui::Bgr;
using ui::TwipsRect;

QPushButton* ButtonWithCaption(const CalculatorPanel& panel, const QString& caption)
{
    for (QPushButton* button : panel.findChildren<QPushButton*>())
        if (button->text() == caption) return button;
    return nullptr;
}

struct ButtonLayout {
    const char* name;
    const char* caption;
    int left;
    int top;
    unsigned face; // 0x00BBGGRR, or 0 for the standard face
};

// The designed keypad, in twips inside the frame.
const ButtonLayout kButtons[] = {
    {"Command22", "CE", 1200, 780, 0x000000FF}, {"Command21", "C", 1740, 780, 0x000000FF},
    {"Command2(0)", "7", 120, 1200, 0},         {"Command2(1)", "8", 660, 1200, 0},
    {"Command2(2)", "9", 1200, 1200, 0},        {"Command5", "÷", 1740, 1200, 0x00C0C000},
    {"Command2(3)", "4", 120, 1560, 0},         {"Command2(4)", "5", 660, 1560, 0},
    {"Command2(5)", "6", 1200, 1560, 0},        {"Command6", "×", 1740, 1560, 0x00C0C000},
    {"Command2(6)", "1", 120, 1920, 0},         {"Command2(7)", "2", 660, 1920, 0},
    {"Command2(8)", "3", 1200, 1920, 0},        {"Command7", "+", 1740, 1920, 0x00C0C000},
    {"Command2(9)", "0", 120, 2280, 0},         {"Command2(10)", ".", 660, 2280, 0},
    {"Command4", "=", 1200, 2280, 0},           {"Command8", "-", 1740, 2280, 0x00C0C000},
};

TEST(CalculatorPanel, FrameAndDisplayAreAsDesigned)
{
    const CalculatorPanel panel;
    EXPECT_EQ(panel.objectName(), "Frame4");
    EXPECT_EQ(panel.title(), "计算器");

    const auto* display = panel.findChild<QLineEdit*>("Text5");
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->text(), "0");
    EXPECT_TRUE(display->isReadOnly());
    EXPECT_EQ(display->maxLength(), 20);
    EXPECT_TRUE(display->alignment() & Qt::AlignRight);
    EXPECT_EQ(display->geometry(), TwipsRect(120, 300, 2100, 345));

    const auto* picture = panel.findChild<QFrame*>("Picture1");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->geometry(), TwipsRect(120, 780, 1000, 315));
}

TEST(CalculatorPanel, ButtonsPlacedAndColouredAsDesigned)
{
    const CalculatorPanel panel;
    // Eleven digit and point buttons, four operators, "=", "C" and "CE".
    EXPECT_EQ(std::size_t(panel.findChildren<QPushButton*>().size()), std::size(kButtons));
    const QColor standardFace = QPushButton().palette().color(QPalette::Button);
    for (const ButtonLayout& expected : kButtons) {
        SCOPED_TRACE(expected.name);
        auto* button = panel.findChild<QPushButton*>(expected.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromUtf8(expected.caption));
        EXPECT_EQ(button->geometry(), TwipsRect(expected.left, expected.top, 460, 315));
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
        const QColor face = button->palette().color(QPalette::Button);
        EXPECT_EQ(face, expected.face ? Bgr(expected.face) : standardFace);
        if (expected.face) {
            // As drawn: the centre of the face (the caption, which covers
            // the centre of "+" and "×", taken off for the picture) and,
            // with the caption, the face beside it.
            const QImage drawn = button->grab().toImage();
            button->setText(QString());
            const QImage bare = button->grab().toImage();
            button->setText(QString::fromUtf8(expected.caption));
            const QPoint centre(bare.width() / 2, bare.height() / 2);
            EXPECT_EQ(bare.pixelColor(centre).rgb(), Bgr(expected.face).rgb());
            EXPECT_EQ(drawn.pixelColor(4, bare.height() / 2).rgb(), Bgr(expected.face).rgb());
        }
    }
}

class PanelSequenceTest : public ::testing::TestWithParam<ButtonSequence> {};

TEST_P(PanelSequenceTest, ClickingTheButtonsShowsTheEngineDisplay)
{
    const ButtonSequence& sequence = GetParam();
    CalculatorPanel panel;
    panel.show();
    for (const std::string& caption : Captions(sequence.buttons)) {
        QPushButton* button = ButtonWithCaption(panel, QString::fromStdString(caption));
        ASSERT_NE(button, nullptr) << caption;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    EXPECT_EQ(panel.DisplayText().toStdString(), sequence.display) << sequence.buttons;
    EXPECT_EQ(panel.findChild<QLineEdit*>("Text5")->text(), panel.DisplayText());
    EXPECT_EQ(panel.Engine().Display(), sequence.display);
}

INSTANTIATE_TEST_SUITE_P(Calculator, PanelSequenceTest, ::testing::ValuesIn(Sequences()),
                         [](const ::testing::TestParamInfo<ButtonSequence>& paramInfo) {
                             return std::string(paramInfo.param.name);
                         });

TEST(CalculatorPanel, KeyboardDoesNotReachTheCalculator)
{
    CalculatorPanel panel;
    panel.show();
    auto* display = panel.findChild<QLineEdit*>("Text5");
    QTest::mouseClick(panel.findChild<QPushButton*>("Command2(4)"), Qt::LeftButton); // "5"
    ASSERT_EQ(panel.DisplayText(), "5");

    // A clicked button does not keep the focus, so Space or Enter cannot
    // press it again, and typing into the read-only display changes nothing.
    for (QPushButton* button : panel.findChildren<QPushButton*>())
        EXPECT_FALSE(button->hasFocus()) << button->objectName().toStdString();
    QTest::keyClicks(&panel, "123+=");
    QTest::keyClick(&panel, Qt::Key_Space);
    display->setFocus();
    QTest::keyClicks(display, "78");
    QTest::keyClick(display, Qt::Key_Backspace);
    QTest::keyClick(display, Qt::Key_Return);
    EXPECT_EQ(panel.DisplayText(), "5");
    EXPECT_EQ(panel.Engine().Display(), "5");
}

TEST(CalculatorPanel, LongEntryStopsAtTwentyCharacters)
{
    CalculatorPanel panel;
    panel.show();
    QPushButton* seven = panel.findChild<QPushButton*>("Command2(0)");
    for (int i = 0; i < 25; ++i) QTest::mouseClick(seven, Qt::LeftButton);
    EXPECT_EQ(panel.DisplayText(), QString(20, QLatin1Char('7')));
}

} // namespace
} // namespace korvanta::calculator
