// korvanta-driver [SCRIPT]: runs the main window offscreen and performs the
// script's actions (standard input when no file is named), printing what the
// script asks for. Exit status 2 for an unknown command, control or property.
#include "driver.h"

#include "widgetkit/language.h"
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

    // A named script is read whole; standard input line by line through C
    // stdio, which waits for each line on a pipe too (Qt's file over a
    // Windows pipe reports its end while the writer is still writing).
    // The script's name as Qt reads the command line: on Windows argv is in
    // the system's code page, which cannot hold every name (统计数据).
    const QStringList arguments = QCoreApplication::arguments();
    const bool scriptNamed = arguments.size() > 1;
    QByteArray named;
    qsizetype namedAt = 0;
    if (scriptNamed) {
        QFile script(arguments[1]);
        if (!script.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "korvanta-driver: cannot open %s\n", arguments[1].toUtf8().constData());
            return 2;
        }
        named = script.readAll();
    }
    const auto nextLine = [&](QByteArray& line) {
        line.clear();
        if (scriptNamed) {
            if (namedAt >= named.size()) return false;
            qsizetype end = named.indexOf('\n', namedAt);
            if (end < 0) end = named.size();
            line = named.mid(namedAt, end - namedAt);
            namedAt = end + 1;
            return true;
        }
        char chunk[4096];
        bool read = false;
        while (!line.endsWith('\n') && std::fgets(chunk, sizeof chunk, stdin)) {
            read = true;
            line += chunk;
        }
        if (line.endsWith('\n')) line.chop(1);
        return read;
    };

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    korvanta::driver::Driver driver(out);
    int lineNumber = 0;
    for (QByteArray raw; nextLine(raw);) {
        const QString line = QString::fromUtf8(raw);
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
