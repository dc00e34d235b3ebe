// Choosing the interface language and filling the string table from its files.
#include "settings/LanguageConfig.h"

#include "settings/LangFile.h"
#include "settings/LangKeys.h"

#include <QLocale>

namespace bitonix {

QString getsyslanguage() {
    return QLocale::languageToString(QLocale::system().language());
}

QString LanguageFromSystemName(const QString& systemLanguage) {
    if (systemLanguage.contains(QStringLiteral("Polish"))) {
        return QStringLiteral("pl");
    }
    if (systemLanguage.contains(QStringLiteral("German"))) {
        return QStringLiteral("de");
    }
    return QStringLiteral("en");
}

TIniConfig loadiniconfig(const QString& programDir, const QString& configFile,
                         const QString& systemLanguage) {
    TIniConfig config;
    config.language = ReadConfigLanguage(configFile);
    if (config.language.isEmpty()) {
        config.language = LanguageFromSystemName(systemLanguage);
    }
    config.WHSize = ReadConfigWHSize(configFile);

    const TIniDocument english = LoadLangFile(GetLangFile(programDir, QStringLiteral("en")));
    const TIniDocument current = LoadLangFile(GetLangFile(programDir, config.language));
    const TLangStrings defaults;
    for (const TLangKey& entry : LangKeys()) {
        config.Strings.*entry.Field =
            S(english, current, QString::fromLatin1(entry.Key), defaults.*entry.Field);
    }
    return config;
}

} // namespace bitonix
