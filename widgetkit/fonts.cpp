#include "widgetkit/twips.h"

#include <QFont>
#include <QStringList>

namespace korvanta::ui {

void InstallFontSubstitutes()
{
    // "宋体" is a Windows face. Elsewhere the same request falls back to a
    // Song (Ming) serif face of a CJK font, then to any CJK face, so Chinese
    // text never shows as boxes.
    QFont::insertSubstitutions(kSongFamily, {
                                                QStringLiteral("SimSun"),
                                                QStringLiteral("NSimSun"),
                                                QStringLiteral("Noto Serif CJK SC"),
                                                QStringLiteral("Source Han Serif SC"),
                                                QStringLiteral("AR PL UMing CN"),
                                                QStringLiteral("AR PL SungtiL GB"),
                                                QStringLiteral("Noto Sans CJK SC"),
                                                QStringLiteral("WenQuanYi Zen Hei"),
                                                QStringLiteral("Droid Sans Fallback"),
                                            });
}

} // namespace korvanta::ui
