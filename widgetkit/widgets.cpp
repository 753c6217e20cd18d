#include "widgetkit/widgets.h"

#include <QFontMetrics>
#include <QList>

#include <QPalette>
#include <algorithm>

namespace korvanta::ui {

QString ControlName(const char* kind, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(kind)).arg(index);
}

QColor HighlightColour() { return QColor(0x00, 0x00, 0x80); }
QColor CaptionTextColour() { return QColor(0x00, 0x00, 0x00); }
QColor ButtonFaceColour() { return QColor(0xF0, 0xF0, 0xF0); }

namespace {

void SetTextColour(QWidget* widget, const QColor& colour)
{
    if (!colour.isValid()) return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

void FitLabel(QLabel* label)
{
    // Auto-sized labels keep at least the designed 90 twips (6 px) width.
    const QSize hint = label->sizeHint();
    label->resize(std::max(hint.width(), Px(90)), std::max(hint.height(), label->height()));
}

} // namespace

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                  const LabelStyle& style)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAutoFillBackground(false);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(style.alignment);
    SetTextColour(label, style.colour);
    if (style.bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    const int height = QFontMetrics(label->font()).height();
    label->move(Px(left), Px(top));
    if (style.autoSize) {
        label->setProperty("autoSize", true);
        label->resize(Px(90), height);
        FitLabel(label);
    } else {
        label->resize(Px(style.widthTwips), height);
    }
    return label;
}

void SetCaption(QLabel* label, const QString& caption)
{
    if (label->text() == caption) return;
    label->setText(caption);
    if (label->property("autoSize").toBool()) FitLabel(label);
}

void StylePanel(QFrame* panel, const QString& name, const QRect& placeTwips)
{
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setLineWidth(2);
    panel->setGeometry(placeTwips);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    panel->setPalette(palette);
}

QFrame* MakeRule(QWidget* parent, int x1, int y1, int x2, int y2, const QColor& colour, int thickness)
{
    auto* rule = new QFrame(parent);
    rule->setAutoFillBackground(true);
    QPalette palette = rule->palette();
    palette.setColor(QPalette::Window, colour);
    rule->setPalette(palette);
    if (y1 == y2)
        rule->setGeometry(Px(x1), Px(y1), std::max(1, Px(x2) - Px(x1)), thickness);
    else
        rule->setGeometry(Px(x1), Px(y1), thickness, std::max(1, Px(y2) - Px(y1)));
    rule->setAttribute(Qt::WA_TransparentForMouseEvents);
    return rule;
}

QLineEdit* MakeTextBox(QWidget* parent, const QString& name, const QRect& placeTwips, bool centred,
                       const QColor& textColour)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(placeTwips);
    box->setFrame(false);
    if (centred) box->setAlignment(Qt::AlignCenter);
    SetTextColour(box, textColour);
    box->setTextMargins(0, 0, 0, 0);
    return box;
}

QWidget* MakeSymbolBox(QWidget* parent, int index, int left, int top, const SymbolSpec& symbol)
{
    auto* box = new QWidget(parent);
    box->setObjectName(ControlName("Picture5", index));
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Read aloud as it is written: "t(0.05)", "tr(0.01)", "χ²(0.05)".
    const QStringList subscript = symbol.subscript.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString spoken = symbol.letter == QStringLiteral("x") ? QStringLiteral("χ") : symbol.letter;
    const QString power = symbol.superscript == QStringLiteral("2") ? QStringLiteral("²") : symbol.superscript;
    box->setAccessibleName(subscript.size() == 2
                               ? spoken + subscript[0] + power + QStringLiteral("(%1)").arg(subscript[1])
                               : spoken + power + QStringLiteral("(%1)").arg(subscript.join(QString())));
    const QColor colour = symbol.red ? RedColour() : CaptionTextColour();
    QList<QLabel*> pieces;

    auto* letter = new QLabel(symbol.letter, box);
    letter->setFont(SongFont(15, false, true));
    letter->adjustSize();
    letter->move(0, Px(-60) + 2);
    pieces << letter;
    int right = letter->width();

    if (!symbol.superscript.isEmpty()) {
        auto* sup = new QLabel(symbol.superscript, box);
        sup->setFont(SongFont(7.5));
        sup->adjustSize();
        sup->move(Px(210), 0);
        pieces << sup;
        right = std::max(right, sup->x() + sup->width());
    }
    if (!symbol.subscript.isEmpty()) {
        auto* sub = new QLabel(symbol.subscript, box);
        sub->setFont(SongFont(7.5));
        sub->adjustSize();
        sub->move(Px(180), Px(315) - sub->height());
        pieces << sub;
        right = std::max(right, sub->x() + sub->width());
    }

    auto* equals = new QLabel(QStringLiteral("="), box);
    equals->adjustSize();
    equals->move(right + 2, (Px(315) - equals->height()) / 2);
    pieces << equals;

    for (QLabel* piece : pieces) {
        piece->setAttribute(Qt::WA_TranslucentBackground);
        SetTextColour(piece, colour);
    }
    box->setGeometry(Px(left), Px(top), equals->x() + equals->width() + 2, Px(315));
    return box;
}

} // namespace korvanta::ui
