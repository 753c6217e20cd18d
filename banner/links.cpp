#include "banner/links.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace korvanta::banner {

namespace {

const QString kHelpPage = QStringLiteral("index.html");

} // namespace

QUrl OnlineHelpUrl(const QString& applicationDir, const QString& sourceHelpDir)
{
    const QDir program(applicationDir);
    const QString candidates[] = {
        program.filePath(QStringLiteral("help/") + kHelpPage),
        program.filePath(QStringLiteral("../share/korvanta/help/") + kHelpPage),
    };
    for (const QString& candidate : candidates) {
        const QFileInfo info(candidate);
        if (info.isFile())
            return QUrl::fromLocalFile(info.canonicalFilePath());
    }
    return QUrl::fromLocalFile(QDir(sourceHelpDir).filePath(kHelpPage));
}

QUrl OnlineHelpUrl()
{
    return OnlineHelpUrl(QCoreApplication::applicationDirPath(),
                         QString::fromUtf8(KORVANTA_SOURCE_HELP_DIR));
}

} // namespace korvanta::banner
