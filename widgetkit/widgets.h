// Small builders for the controls of the windows: every control is placed in
// twips inside its parent and named "Kind(index)" so the driver and the
// tests find it by the name the design gives it.
#pragma once

#include "widgetkit/twips.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QString>

namespace korvanta::ui {

QString ControlName(const char* kind, int index);

// System colours of the design.
QColor HighlightColour();   // &H8000000D&
QColor CaptionTextColour(); // &H80000006&
QColor ButtonFaceColour();  // &H8000000F&
inline QColor RedColour() { return Bgr(0x000000FF); }

struct LabelStyle {
    QColor colour; // invalid: the palette's text colour
    bool bold = false;
    bool autoSize = true; // grows with its text
    int widthTwips = 0;   // fixed width when not auto-sized
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

// A label with a transparent background at (left, top) twips.
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                  const LabelStyle& style = {});

// A white picture panel with a sunken border.
void StylePanel(QFrame* panel, const QString& name, const QRect& placeTwips);

// The two slots the large panels share: data entry above, results below.
inline QRect InputSlot() { return TwipsRect(2460, 1320, 5715, 3045); }
inline QRect ResultSlot() { return TwipsRect(2460, 4440, 5715, 1935); }

// A line of the given colour and thickness (in pixels) between two points in twips.
QFrame* MakeRule(QWidget* parent, int x1, int y1, int x2, int y2, const QColor& colour, int thickness = 1);

// A single-line text box; centred when asked.
QLineEdit* MakeTextBox(QWidget* parent, const QString& name, const QRect& placeTwips, bool centred,
                       const QColor& textColour = QColor());

// A statistical symbol: an italic letter (15 pt), a small sub- or superscript
// (7.5 pt) and an "=" sign, composed in a borderless box (Picture5).
struct SymbolSpec {
    QString letter;      // "t", "r" or "x"
    QString subscript;   // "0.05", "r 0.01", "  0.05", ...
    QString superscript; // the "2" of chi-square
    bool red = false;
};
QWidget* MakeSymbolBox(QWidget* parent, int index, int left, int top, const SymbolSpec& symbol);

// Sets a label's caption and lets an auto-sized label grow with it.
void SetCaption(QLabel* label, const QString& caption);

} // namespace korvanta::ui
