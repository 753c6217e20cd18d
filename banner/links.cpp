#include "banner/links.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace korvanta::banner {

namespace {

// The help page in the interface language: the English translation names
// its own page beside the Chinese one.
QString HelpPageName()
{
    //: File name of the help page in this language, in resources/help/
    return QCoreApplication::translate("korvanta::banner::Links", "index.html");
}

} // namespace

QUrl OnlineHelpUrl(const QString& applicationDir, const QString& sourceHelpDir)
{
    const QString page = HelpPageName();
    const QDir program(applicationDir);
    const QString candidates[] = {
        program.filePath(QStringLiteral("help/") + page),
        program.filePath(QStringLiteral("../share/korvanta/help/") + page),
    };
    for (const QString& candidate : candidates) {
        const QFileInfo info(candidate);
        if (info.isFile()) return QUrl::fromLocalFile(info.canonicalFilePath());
    }
    return QUrl::fromLocalFile(QDir(sourceHelpDir).filePath(page));
}

QUrl OnlineHelpUrl()
{
    return OnlineHelpUrl(QCoreApplication::applicationDirPath(), QString::fromUtf8(KORVANTA_SOURCE_HELP_DIR));
}

} // namespace korvanta::banner
