// The profile-file module: key-by-key reads and atomic key-by-key writes.
#include "settings/ProfileFile.h"

#include "settings/IniDocument.h"
#include "support/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <charconv>
#include <limits>

namespace bitonix {

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF");

QString DecodeUtf8(QByteArrayView bytes) {
    return QString::fromUtf8(bytes);
}

// The file's bytes, or empty when it is missing or unreadable.
QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

bool HasLineBreak(const QString& text) {
    return text.contains(u'\n') || text.contains(u'\r');
}

[[noreturn]] void ThrowUnableToWrite(const QString& path) {
    throw TError(QStringLiteral("Unable to write to %1").arg(path));
}

} // namespace

std::optional<int> ParseProfileInteger(const QString& text) {
    const QByteArray ascii = text.toLatin1();
    const char* first = ascii.constData();
    const char* const last = first + ascii.size();
    int base = 10;
    bool negative = false;
    if (ascii.size() > 2 && ascii[0] == '0' && (ascii[1] == 'x' || ascii[1] == 'X')) {
        base = 16;
        first += 2;
    } else if (first != last && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first;
    }
    // Past the prefix or the sign only digits may follow (from_chars would take
    // a second "-"); the magnitude is read wide so that -2147483648 fits.
    if (first == last || *first == '+' || *first == '-') {
        return std::nullopt;
    }
    long long magnitude = 0;
    const auto [end, error] = std::from_chars(first, last, magnitude, base);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

QString TProfileFile::ReadString(const QString& section, const QString& key,
                                 const QString& defaultValue) const {
    QByteArray bytes = ReadBytes(FPath);
    if (bytes.startsWith(Utf8Bom)) {
        bytes.remove(0, Utf8Bom.size());
    }
    const std::optional<QString> value = TIniDocument::Parse(bytes, DecodeUtf8).Value(section, key);
    if (!value) {
        return defaultValue;
    }
    const QString& text = *value;
    if (text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') &&
        text.back() == text.front()) {
        return text.mid(1, text.size() - 2);
    }
    return text;
}

int TProfileFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
    return ParseProfileInteger(ReadString(section, key, QString())).value_or(defaultValue);
}

void TProfileFile::WriteString(const QString& section, const QString& key, const QString& value) {
    WriteStrings(section, {{key, value}});
}

void TProfileFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void TProfileFile::WriteStrings(const QString& section,
                                const std::vector<std::pair<QString, QString>>& values) {
    if (HasLineBreak(section)) {
        ThrowUnableToWrite(FPath);
    }
    for (const auto& [key, value] : values) {
        if (HasLineBreak(key) || HasLineBreak(value)) {
            ThrowUnableToWrite(FPath);
        }
    }
    const QFileInfo info(FPath);
    if (info.exists() && (!info.isFile() || !info.isWritable())) {
        ThrowUnableToWrite(FPath);
    }

    QByteArray bytes = ReadBytes(FPath);
    const bool bom = bytes.startsWith(Utf8Bom);
    if (bom) {
        bytes.remove(0, Utf8Bom.size());
    }
    TIniDocument document = TIniDocument::Parse(bytes, DecodeUtf8);
    for (const auto& [key, value] : values) {
        document.SetValue(section, key, value);
    }
    const QByteArray text = (bom ? Utf8Bom : QByteArray()) + document.ToBytes();

    if (!QDir().mkpath(info.absolutePath())) {
        ThrowUnableToWrite(FPath);
    }
    QSaveFile file(FPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        ThrowUnableToWrite(FPath);
    }
}

} // namespace bitonix
