#include "banner/links.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvanta::banner {
namespace {

const QString kSourceHelp = QStringLiteral(KORVANTA_HELP_SOURCE_DIR);

void WriteFile(const QString& path)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<html></html>");
}

TEST(Links, HomePageIsTheProjectAddress)
{
    EXPECT_STREQ(kHomePageUrl, "https://korvanta.org/");
    const QUrl url = HomePageUrl();
    EXPECT_TRUE(url.isValid());
    EXPECT_EQ(url.scheme(), "https");
    EXPECT_EQ(url.host(), "korvanta.org");
}

TEST(Links, HelpPageIsSearchedBesideProgramThenInstalledThenSource)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString beside = bin + QStringLiteral("/help/index.html");
    const QString installed = root.filePath(QStringLiteral("share/korvanta/help/index.html"));
    const QString source = root.filePath(QStringLiteral("src/resources/help"));
    ASSERT_TRUE(QDir().mkpath(bin));

    // Nothing installed: the source tree's copy.
    EXPECT_EQ(OnlineHelpUrl(bin, source), QUrl::fromLocalFile(source + QStringLiteral("/index.html")));

    WriteFile(installed);
    EXPECT_EQ(OnlineHelpUrl(bin, source).toLocalFile(), QFileInfo(installed).canonicalFilePath());

    WriteFile(beside);
    EXPECT_EQ(OnlineHelpUrl(bin, source).toLocalFile(), QFileInfo(beside).canonicalFilePath());
}

TEST(Links, RunningProgramFindsTheCopyBesideIt)
{
    const QUrl url = OnlineHelpUrl();
    ASSERT_TRUE(url.isLocalFile());
    EXPECT_TRUE(QFileInfo::exists(url.toLocalFile()));
    EXPECT_EQ(
        url.toLocalFile(),
        QFileInfo(QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html")).canonicalFilePath());
}

QString ReadHelpPage()
{
    QFile file(kSourceHelp + QStringLiteral("/index.html"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(file.readAll());
    return utf8.hasError() ? QString() : text;
}

TEST(HelpPage, IsUtf8WithOneSectionPerTest)
{
    const QString page = ReadHelpPage();
    ASSERT_FALSE(page.isEmpty()) << "missing or not UTF-8";
    EXPECT_TRUE(page.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    for (const char* title : {"两样本均数t检验", "配对资料t检验", "直线相关与回归", "计数资料卡方检验",
                              "配对资料卡方检验", "t界值表", "计算器", "Excel"}) {
        EXPECT_TRUE(page.contains(QRegularExpression(QStringLiteral("<h2[^>]*>[^<]*") + QString::fromUtf8(title))))
            << title;
    }
}

TEST(HelpPage, StatesTheThresholdsTheProgramUses)
{
    const QString page = ReadHelpPage();
    for (const char* text : {"3.84", "6.63", "12.71", "63.66", "636.6", "1.960", "2.576", "3.291",
                             "当n &lt; 40或理论数(T)&lt; 1时，不适合使用本法。", "b</i> + <i>c</i> &lt; 40"}) {
        EXPECT_TRUE(page.contains(QString::fromUtf8(text))) << text;
    }
}

TEST(HelpPage, NeedsNothingFromOutside)
{
    const QString page = ReadHelpPage();
    ASSERT_FALSE(page.isEmpty());
    // Every link stays inside the page; no script, style sheet or image is loaded.
    const QRegularExpression reference(QStringLiteral("(href|src)\\s*=\\s*\"([^\"]*)\""));
    for (auto match = reference.globalMatch(page); match.hasNext();) {
        const QString target = match.next().captured(2);
        EXPECT_TRUE(target.startsWith(QLatin1Char('#'))) << target.toStdString();
    }
    for (const char* loader : {"<script", "<link", "<img", "<iframe", "@import", "url("})
        EXPECT_FALSE(page.contains(QLatin1String(loader), Qt::CaseInsensitive)) << loader;
}

} // namespace
} // namespace korvanta::banner
