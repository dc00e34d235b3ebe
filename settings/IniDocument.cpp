// Line-preserving ini text: parsing, lookup and single-key changes.
#include "settings/IniDocument.h"

namespace bitonix {

namespace {

// What one trimmed line of an ini text is.
struct TLineKind {
    enum class TKind { lkOther, lkSection, lkPair } Kind = TKind::lkOther;
    QString Name;  // section name, or key
    QString Value; // value of a pair
};

TLineKind Classify(const QString& text) {
    const QString line = text.trimmed();
    TLineKind kind;
    if (line.isEmpty() || line.startsWith(u';')) {
        return kind;
    }
    if (line.size() >= 2 && line.startsWith(u'[') && line.endsWith(u']')) {
        kind.Kind = TLineKind::TKind::lkSection;
        kind.Name = line.mid(1, line.size() - 2).trimmed();
        return kind;
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals >= 0) {
        kind.Kind = TLineKind::TKind::lkPair;
        kind.Name = line.left(equals).trimmed();
        kind.Value = line.mid(equals + 1).trimmed();
    }
    return kind;
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

TIniDocument TIniDocument::Parse(const QByteArray& bytes, TDecoder decode) {
    TIniDocument document;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        TLine line;
        if (newline < 0) {
            line.Raw = bytes.mid(start);
            start = bytes.size();
        } else {
            line.Raw = bytes.mid(start, newline - start);
            line.Break = "\n";
            if (line.Raw.endsWith('\r')) {
                line.Raw.chop(1);
                line.Break = "\r\n";
            }
            start = newline + 1;
        }
        line.Text = decode(line.Raw);
        document.FLines.push_back(std::move(line));
    }
    if (!document.FLines.empty() && !document.FLines.front().Break.isEmpty()) {
        document.FBreak = document.FLines.front().Break;
    }
    return document;
}

qsizetype TIniDocument::FindSection(const QString& section) const {
    for (qsizetype i = 0; i < static_cast<qsizetype>(FLines.size()); ++i) {
        const TLineKind kind = Classify(FLines[static_cast<size_t>(i)].Text);
        if (kind.Kind == TLineKind::TKind::lkSection && SameName(kind.Name, section)) {
            return i;
        }
    }
    return -1;
}

qsizetype TIniDocument::SectionEnd(qsizetype header) const {
    qsizetype i = header + 1;
    while (i < static_cast<qsizetype>(FLines.size()) &&
           Classify(FLines[static_cast<size_t>(i)].Text).Kind != TLineKind::TKind::lkSection) {
        ++i;
    }
    return i;
}

std::optional<QString> TIniDocument::Value(const QString& section, const QString& key) const {
    const qsizetype header = FindSection(section);
    if (header < 0) {
        return std::nullopt;
    }
    const qsizetype end = SectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const TLineKind kind = Classify(FLines[static_cast<size_t>(i)].Text);
        if (kind.Kind == TLineKind::TKind::lkPair && SameName(kind.Name, key)) {
            return kind.Value;
        }
    }
    return std::nullopt;
}

void TIniDocument::InsertLine(qsizetype index, const QString& text) {
    // The line before the new one needs a break of its own.
    if (index > 0 && FLines[static_cast<size_t>(index - 1)].Break.isEmpty()) {
        FLines[static_cast<size_t>(index - 1)].Break = FBreak;
    }
    TLine line{text.toUtf8(), FBreak, text};
    FLines.insert(FLines.begin() + index, std::move(line));
}

void TIniDocument::SetValue(const QString& section, const QString& key, const QString& value) {
    const qsizetype header = FindSection(section);
    if (header < 0) {
        qsizetype end = static_cast<qsizetype>(FLines.size());
        if (end > 0 && !FLines.back().Text.trimmed().isEmpty()) {
            InsertLine(end++, QString());
        }
        InsertLine(end++, u'[' + section + u']');
        InsertLine(end, key + u'=' + value);
        return;
    }
    const qsizetype end = SectionEnd(header);
    qsizetype lastNonBlank = header;
    for (qsizetype i = header + 1; i < end; ++i) {
        TLine& line = FLines[static_cast<size_t>(i)];
        const TLineKind kind = Classify(line.Text);
        if (kind.Kind == TLineKind::TKind::lkPair && SameName(kind.Name, key)) {
            line.Text = kind.Name + u'=' + value;
            line.Raw = line.Text.toUtf8();
            return;
        }
        if (!line.Text.trimmed().isEmpty()) {
            lastNonBlank = i;
        }
    }
    InsertLine(lastNonBlank + 1, key + u'=' + value);
}

QByteArray TIniDocument::ToBytes() const {
    QByteArray bytes;
    for (const TLine& line : FLines) {
        bytes += line.Raw;
        bytes += line.Break;
    }
    return bytes;
}

} // namespace bitonix
