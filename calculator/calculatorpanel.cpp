#include "calculator/calculatorpanel.h"

#include "widgetkit/twips.h"

#include <QFrame>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <qdrawutil.h>

#include <array>

namespace korvanta::calculator {

namespace {

using ui::Bgr;
using ui::Px;
using ui::TwipsRect;

constexpr int kButtonWidth = 460;
constexpr int kButtonHeight = 315;

// Columns and rows of the button grid, in twips inside the frame.
constexpr std::array<int, 4> kColumn = {120, 660, 1200, 1740};
constexpr std::array<int, 5> kRow = {780, 1200, 1560, 1920, 2280};

const QColor kClearFace = Bgr(0x000000FF);    // red
const QColor kOperatorFace = Bgr(0x00C0C000); // teal

struct DigitButton {
    const char* caption;
    int column;
    int row;
};

// Command2(0..10) in index order: the keypad reads 7 8 9 / 4 5 6 / 1 2 3 / 0 .
constexpr std::array<DigitButton, 11> kDigits = {{
    {"7", 0, 1},
    {"8", 1, 1},
    {"9", 2, 1},
    {"4", 0, 2},
    {"5", 1, 2},
    {"6", 2, 2},
    {"1", 0, 3},
    {"2", 1, 3},
    {"3", 2, 3},
    {"0", 0, 4},
    {".", 1, 4},
}};

// A button drawn as the designed one: a raised edge around a face of exactly
// its palette's button colour. The style's own button would shade that
// colour into a lighter gradient (red showed as pink, teal as pale cyan).
class FaceButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QBrush face(palette().color(QPalette::Button));
        qDrawWinButton(&painter, rect(), palette(), isDown(), &face);
        // The caption moves with the face when it is pressed in.
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.setFont(font());
        painter.drawText(isDown() ? rect().translated(1, 1) : rect(), Qt::AlignCenter, text());
    }
};

void PaintFace(QPushButton* button, const QColor& face)
{
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::ButtonText, Qt::black);
    button->setPalette(palette);
}

} // namespace

CalculatorPanel::CalculatorPanel(QWidget* parent) : QGroupBox(tr("计算器"), parent)
{
    setObjectName(QStringLiteral("Frame4"));
    setFont(ui::SongFont(9));
    // The main window places the frame; its size is the designed one.
    resize(Px(2355), Px(2715));

    display_ = new QLineEdit(QStringLiteral("0"), this);
    display_->setObjectName(QStringLiteral("Text5"));
    display_->setGeometry(TwipsRect(120, 300, 2100, 345));
    display_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    display_->setReadOnly(true);
    display_->setMaxLength(int(CalculatorEngine::kMaxDisplayLength));

    auto* picture = new QFrame(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    picture->setGeometry(TwipsRect(120, 780, 1000, 315));

    for (std::size_t i = 0; i < kDigits.size(); ++i) {
        const DigitButton& d = kDigits[i];
        AddButton(QStringLiteral("Command2(%1)").arg(i), QString::fromLatin1(d.caption), kColumn[std::size_t(d.column)],
                  kRow[std::size_t(d.row)]);
    }

    PaintFace(AddButton(QStringLiteral("Command22"), QStringLiteral("CE"), kColumn[2], kRow[0], true), kClearFace);
    PaintFace(AddButton(QStringLiteral("Command21"), QStringLiteral("C"), kColumn[3], kRow[0], true), kClearFace);
    PaintFace(AddButton(QStringLiteral("Command5"), QStringLiteral("÷"), kColumn[3], kRow[1], true), kOperatorFace);
    PaintFace(AddButton(QStringLiteral("Command6"), QStringLiteral("×"), kColumn[3], kRow[2], true), kOperatorFace);
    PaintFace(AddButton(QStringLiteral("Command7"), QStringLiteral("+"), kColumn[3], kRow[3], true), kOperatorFace);
    PaintFace(AddButton(QStringLiteral("Command8"), QStringLiteral("-"), kColumn[3], kRow[4], true), kOperatorFace);
    AddButton(QStringLiteral("Command4"), QStringLiteral("="), kColumn[2], kRow[4]);
}

QString CalculatorPanel::DisplayText() const { return display_->text(); }

QPushButton* CalculatorPanel::AddButton(const QString& name, const QString& caption, int left, int top, bool ownFace)
{
    auto* button = ownFace ? new FaceButton(caption, this) : new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(TwipsRect(left, top, kButtonWidth, kButtonHeight));
    // Without the focus a button cannot be pressed from the keyboard either.
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    const std::string utf8 = caption.toStdString();
    connect(button, &QPushButton::clicked, this, [this, utf8] { Press(utf8); });
    return button;
}

void CalculatorPanel::Press(std::string_view caption)
{
    engine_.PressButton(caption);
    display_->setText(ShownText(engine_.Display()));
}

QString CalculatorPanel::ShownText(const std::string& display)
{
    // The engine's words for a result it cannot give, in the interface's language.
    static constexpr const char* messages[] = {
        QT_TRANSLATE_NOOP("korvanta::calculator::CalculatorPanel", "除数不能为零"),
        QT_TRANSLATE_NOOP("korvanta::calculator::CalculatorPanel", "结果超出范围"),
    };
    static_assert(std::string_view(messages[0]) == CalculatorEngine::kDivisionByZero &&
                  std::string_view(messages[1]) == CalculatorEngine::kOutOfRange);
    for (const char* message : messages)
        if (display == message) return tr(message);
    return QString::fromStdString(display);
}

} // namespace korvanta::calculator
