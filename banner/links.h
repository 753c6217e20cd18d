// The two addresses the window opens in the user's browser, each kept here
// and nowhere else: the home page (banner click, "访问作者主页") and the help
// page that ships with the program ("在线帮助", the toolbar's "帮助", Command19).
#pragma once

#include <QString>
#include <QUrl>

namespace korvanta::banner {

inline constexpr char kHomePageUrl[] = "https://korvanta.org/";

inline QUrl HomePageUrl() { return QUrl(QString::fromLatin1(kHomePageUrl)); }

// The local help page as a file address, so it opens offline. Looked for
// beside the program (build tree), then in ../share/korvanta/help (installed
// layout); when neither has it, the copy in the source tree.
QUrl OnlineHelpUrl();

// The same search from a given program folder and source copy; OnlineHelpUrl()
// passes the running program's folder and the source tree's help folder.
QUrl OnlineHelpUrl(const QString& applicationDir, const QString& sourceHelpDir);

} // namespace korvanta::banner
