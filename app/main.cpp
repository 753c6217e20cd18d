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
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <string>
#include <vector>

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
    // A file named on the command line comes in as a dropped one would, once
    // the window is up. The names are Qt's: on Windows they are read as
    // Unicode, which argv is not.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    std::vector<std::string> names;
    for (const QString& argument : arguments) names.push_back(argument.toStdString());
    if (const auto file = korvanta::ui::FileArgument(names)) {
        const QString path = QFileInfo(arguments[static_cast<qsizetype>(*file)]).absoluteFilePath();
        QTimer::singleShot(0, &window, [&window, path] { window.ImportFile(path); });
    }
    return QApplication::exec();
}
