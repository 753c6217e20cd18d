// Window geometry is designed in twips (1/1440 inch). At 96 dpi a pixel is 15
// twips; Qt's device-independent pixels then scale the layout on high-DPI
// screens, so the same numbers serve every screen.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

namespace korvanta::ui {

constexpr int kTwipsPerPixel = 15;

constexpr int Px(int twips)
{
    // Round to the nearest pixel; negative places (a frame at Top -60) too.
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

inline QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

// Colours are written as the designer wrote them: 0x00BBGGRR.
inline QColor Bgr(unsigned value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

// The family every control asks for. Machines without it fall back to an
// installed Song (serif) CJK face through the substitutes set at start-up.
inline const QString kSongFamily = QStringLiteral("宋体");

// Points at 96 dpi: 9 pt = 12 px. Pixel sizes keep text and the twips layout
// in step on every screen.
inline QFont SongFont(double points, bool bold = false, bool italic = false)
{
    QFont font(kSongFamily);
    font.setPixelSize(int(points * 96.0 / 72.0 + 0.5));
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// Registers the substitutes of "宋体"; call once before the first window.
void InstallFontSubstitutes();

} // namespace korvanta::ui
