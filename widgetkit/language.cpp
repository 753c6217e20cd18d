#include "widgetkit/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

namespace korvanta::ui {

namespace {

// Where the choice is kept, whichever program (korvanta or the driver) reads it.
constexpr char kOrganisation[] = "Korvanta";
constexpr char kApplication[] = "Korvanta";
constexpr char kLanguageKey[] = "interface/language";

QSettings ProgramSettings()
{
    // A folder named by KORVANTA_SETTINGS_DIR keeps them in an INI file of its
    // own instead: each driver script starts from its own settings, which on
    // Windows would otherwise be the one registry key every run shares.
    const QString folder = qEnvironmentVariable("KORVANTA_SETTINGS_DIR");
    if (!folder.isEmpty())
        return QSettings(QDir(folder).filePath(QStringLiteral("korvanta.ini")), QSettings::IniFormat);
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kOrganisation),
                     QString::fromLatin1(kApplication));
}

} // namespace

std::optional<Language> ParseLanguage(const QString& code)
{
    const QString word = code.trimmed().toLower();
    if (word == QLatin1String("en")) return Language::English;
    if (word == QLatin1String("zh")) return Language::Chinese;
    return std::nullopt;
}

QString LanguageCode(Language language)
{
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("zh");
}

std::optional<Language> SavedLanguage(const QSettings& settings)
{
    return ParseLanguage(settings.value(QString::fromLatin1(kLanguageKey)).toString());
}

std::optional<Language> SavedLanguage()
{
    const QSettings settings = ProgramSettings();
    return SavedLanguage(settings);
}

Language StartLanguage(const QString& environmentValue, const QSettings& settings)
{
    if (const std::optional<Language> forced = ParseLanguage(environmentValue)) return *forced;
    return SavedLanguage(settings).value_or(Language::Chinese);
}

Language StartLanguage()
{
    const QSettings settings = ProgramSettings();
    return StartLanguage(qEnvironmentVariable("KORVANTA_LANG"), settings);
}

void SaveLanguage(Language language, QSettings& settings)
{
    settings.setValue(QString::fromLatin1(kLanguageKey), LanguageCode(language));
    settings.sync();
}

void SaveLanguage(Language language)
{
    QSettings settings = ProgramSettings();
    SaveLanguage(language, settings);
}

InstalledLanguage::InstalledLanguage(Language language) : language_(language)
{
    if (language_ == Language::Chinese) return;
    // Built into the program from resources/i18n/korvanta_en.ts.
    if (translator_.load(QStringLiteral(":/i18n/korvanta_en.qm")))
        installed_ = QCoreApplication::installTranslator(&translator_);
}

InstalledLanguage::~InstalledLanguage()
{
    if (installed_) QCoreApplication::removeTranslator(&translator_);
}

Language InterfaceLanguage()
{
    //: The code of the language of this translation: "en" in the English one.
    const QString code = QCoreApplication::translate("korvanta::ui::Language", "zh");
    return ParseLanguage(code).value_or(Language::Chinese);
}

} // namespace korvanta::ui
