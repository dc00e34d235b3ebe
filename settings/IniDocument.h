// An ini text held line by line: looks values up and changes single keys
// while every other line keeps its bytes.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace bitonix {

// The shape of an ini text, shared by the settings file and the language files:
// each line is trimmed of blanks; an empty line or one starting with ";" is
// ignored; "[" name "]" starts a section; any other line inside a section that
// holds "=" is a key=value pair split at the first "=", with blanks around key
// and value removed. Section and key names compare case-insensitively; the
// first section of a name and the first key within it win.
class TIniDocument {
public:
    // Turns one line's bytes (without its line break) into text.
    using TDecoder = QString (*)(QByteArrayView);

    TIniDocument() = default;

    // Splits `bytes` into lines at LF (a CR before it belongs to the break) and
    // decodes each with `decode`. Never fails: any bytes make some document.
    static TIniDocument Parse(const QByteArray& bytes, TDecoder decode);

    // The trimmed value of `key` in `section`, or nothing when the document has
    // no such section or no such key in it. A key with an empty value gives "".
    std::optional<QString> Value(const QString& section, const QString& key) const;

    // Sets `key` in `section` to `value`:
    //  1. an existing key line is rewritten as the key (as the file spells it),
    //     "=" and the value;
    //  2. a new key goes right after the last non-blank line of its section;
    //  3. a new section goes at the end of the text, after one blank line when
    //     the text does not already end with one.
    // New lines use the text's first line break (LF when it has none). The
    // caller keeps line breaks out of `section`, `key` and `value`.
    void SetValue(const QString& section, const QString& key, const QString& value);

    // The whole text: unchanged lines with their original bytes, changed and new
    // lines as UTF-8.
    QByteArray ToBytes() const;

private:
    struct TLine {
        QByteArray Raw;   // bytes without the line break
        QByteArray Break; // "\n", "\r\n", or empty on a last line without one
        QString Text;     // Raw decoded
    };

    // Index of the first header line of `section`, or -1.
    qsizetype FindSection(const QString& section) const;
    // Index one past the last line of the section whose header is at `header`.
    qsizetype SectionEnd(qsizetype header) const;
    void InsertLine(qsizetype index, const QString& text);

    std::vector<TLine> FLines;
    QByteArray FBreak = "\n";
};

} // namespace bitonix
