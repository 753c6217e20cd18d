// Tests of the real window run offscreen, with the program's fonts.
#include "widgetkit/twips.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Offscreen, with the screen a test may configure ("offscreen:configfile=...").
    if (!qgetenv("QT_QPA_PLATFORM").startsWith("offscreen")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    korvanta::ui::InstallFontSubstitutes();
    QApplication::setFont(korvanta::ui::SongFont(9));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
