// Korvanta: answers --version and --help, or starts the main window and runs
// until it is closed.
#include "app/commandline.h"
#include "app/desktopinteraction.h"
#include "app/mainwindow.h"
#include "banner/bannerwidget.h"
#include "widgetkit/interaction.h"
#include "widgetkit/language.h"
#include "widgetkit/twips.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Before QApplication: these must work without a display.
    const korvanta::ui::CommandLineOutcome asked = korvanta::ui::InterpretCommandLine(
        std::span<char* const>(argv + 1, static_cast<std::size_t>(argc > 1 ? argc - 1 : 0)));
    if (!asked.startWindow) {
        const std::string& text = asked.standardOutput;
        // A full disk or a closed pipe is a failure, not a silent success.
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) return 1;
        return asked.exitCode;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvanta"));
    korvanta::ui::InstallFontSubstitutes();
    QApplication::setFont(korvanta::ui::SongFont(9));
    const korvanta::ui::InstalledLanguage language(korvanta::ui::StartLanguage());

    korvanta::ui::DesktopInteraction desktop;
    korvanta::ui::MainWindow window(desktop);
    QObject::connect(&window, &korvanta::ui::MainWindow::ExitRequested, &app, [] { QCoreApplication::exit(0); });
    window.show();
    window.Banner()->StartAnimation();
    return QApplication::exec();
}
