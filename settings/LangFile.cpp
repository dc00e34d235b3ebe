// Reading language files and looking texts up with the English fallback.
#include "settings/LangFile.h"

#include "settings/Cp1250.h"

#include <QFile>

namespace bitonix {

namespace {

const QString SectionStrings = QStringLiteral("Strings");

} // namespace

QString GetLangFile(const QString& programDir, const QString& code) {
    return programDir + QStringLiteral("/lang/") + code + QStringLiteral(".ini");
}

TIniDocument LoadLangFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return TIniDocument::Parse(file.readAll(), DecodeCp1250);
}

QString S(const TIniDocument& english, const TIniDocument& current, const QString& key,
          const QString& defaultValue) {
    const QString englishText = english.Value(SectionStrings, key).value_or(defaultValue);
    return current.Value(SectionStrings, key).value_or(englishText);
}

} // namespace bitonix
