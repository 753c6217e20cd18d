// The interface language. Chinese is the language the texts are written in
// and the default whatever the system's locale; English comes from the
// translation built into the program (resources/i18n). The choice is read
// once at start: KORVANTA_LANG=en|zh, else the choice saved from the 帮助
// menu, else Chinese.
#pragma once

#include <QString>
#include <QTranslator>

#include <optional>

class QSettings;

namespace korvanta::ui {

enum class Language { Chinese, English };

// "en" or "zh" (any case, surrounding blanks ignored); nothing for any other text.
std::optional<Language> ParseLanguage(const QString& code);
QString LanguageCode(Language language);

// The language to start in: the KORVANTA_LANG value when it names one, else
// the choice saved in settings, else Chinese.
Language StartLanguage(const QString& environmentValue, const QSettings& settings);
// The same from the process environment and the program's own settings.
Language StartLanguage();

// The choice the next start takes (unless KORVANTA_LANG says otherwise).
void SaveLanguage(Language language, QSettings& settings);
void SaveLanguage(Language language);
// The saved choice, or nothing when none was made.
std::optional<Language> SavedLanguage(const QSettings& settings);
std::optional<Language> SavedLanguage();

// The language the installed translation speaks: each translation names its
// own language code in place of "zh".
Language InterfaceLanguage();

// Installs the translation of a language into the application for as long
// as it lives. Chinese needs none.
class InstalledLanguage {
public:
    explicit InstalledLanguage(Language language);
    ~InstalledLanguage();
    InstalledLanguage(const InstalledLanguage&) = delete;
    InstalledLanguage& operator=(const InstalledLanguage&) = delete;

    Language Installed() const { return language_; }
    // False when the language needs a translation that could not be loaded
    // (the window then shows Chinese).
    bool Loaded() const { return language_ == Language::Chinese || installed_; }

private:
    Language language_;
    QTranslator translator_;
    bool installed_ = false;
};

} // namespace korvanta::ui
