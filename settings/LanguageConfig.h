// The interface language: which one is in force and the string table it fills.
//
// Operations: getsyslanguage, LanguageFromSystemName, loadiniconfig.
#pragma once

#include "settings/LangStrings.h"
#include "settings/SettingsFile.h"
#include "support/ProgramDir.h"

#include <QString>

namespace bitonix {

// English name of the language of the system locale ("Polish", "German",
// "English"...): QLocale::languageToString(QLocale::system().language()).
QString getsyslanguage();

// The language code for an English language name: "pl" when the name contains
// "Polish", else "de" when it contains "German", else "en" (case-sensitive
// substrings, so "Swiss German" gives "de").
QString LanguageFromSystemName(const QString& systemLanguage);

// What loadiniconfig hands to the main window.
struct TIniConfig {
    QString language;     // into the window's `language`
    int WHSize = 8;       // into the window's `FWHSize`
    TLangStrings Strings; // the whole interface string table
};

// Determines the language and fills the string table:
//  1. language := [Config] Language of `configFile`; when that is empty, the
//     code of `systemLanguage` (LanguageFromSystemName). A derived code is only
//     returned, never written: the settings file changes only when the About
//     box stores a choice (WriteConfigLanguage).
//  2. WHSize := ReadConfigWHSize(configFile).
//  3. Every field of the table := S(key, built-in default) over the English file
//     and the file of `language`, both under <programDir>/lang/ (GetLangFile).
// Missing folders, files, sections and keys are not errors; nothing throws.
TIniConfig loadiniconfig(const QString& programDir, const QString& configFile,
                         const QString& systemLanguage = getsyslanguage());

} // namespace bitonix
