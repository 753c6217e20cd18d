// korvanta-driver [SCRIPT]: runs the main window offscreen and performs the
// script's actions (standard input when no file is named), printing what the
// script asks for. Exit status 2 for an unknown command, control or property.
#include "driver.h"

#include "app/language.h"
#include "widgetkit/twips.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>

int main(int argc, char* argv[])
{
    // Offscreen unless a caller asks for a real platform (screenshots under Xvfb).
    const QByteArray platform = qgetenv("KORVANTA_DRIVER_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
    QApplication app(argc, argv);
    korvanta::ui::InstallFontSubstitutes();
    QApplication::setFont(korvanta::ui::SongFont(9));
    // The language the program would start in: KORVANTA_LANG, the saved choice, Chinese.
    const korvanta::ui::InstalledLanguage language(korvanta::ui::StartLanguage());

    QFile script;
    if (argc > 1) {
        script.setFileName(QString::fromLocal8Bit(argv[1]));
        if (!script.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "korvanta-driver: cannot open %s\n", argv[1]);
            return 2;
        }
    } else if (!script.open(stdin, QIODevice::ReadOnly)) {
        std::fprintf(stderr, "korvanta-driver: cannot read standard input\n");
        return 2;
    }

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    korvanta::driver::Driver driver(out);
    int lineNumber = 0;
    while (!script.atEnd()) {
        const QString line = QString::fromUtf8(script.readLine()).remove(QLatin1Char('\n'));
        ++lineNumber;
        try {
            if (!driver.Run(line)) break;
        } catch (const korvanta::driver::ScriptError& error) {
            out.flush();
            std::fprintf(stderr, "korvanta-driver: line %d: %s\n", lineNumber, error.what());
            return 2;
        }
    }
    out.flush();
    return 0;
}
