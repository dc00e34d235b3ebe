// Key-by-key access to a UTF-8 ini file on disk, in the manner of profile
// files: every read looks at the file as it is now, every write replaces it.
#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace bitonix {

// Reads an integer as profile files store it: decimal with an optional sign,
// or, for a text longer than two characters beginning with "0x" or "0X",
// hexadecimal. Nothing when the text is no such integer or leaves the 32-bit
// signed range (hexadecimal included: 0x80000000 is not an integer).
std::optional<int> ParseProfileInteger(const QString& text);

// A handle on the path of one ini file; nothing is kept in memory between
// calls. The text is UTF-8 (a leading byte-order mark is skipped and kept).
// Sections and keys the caller never names are kept with their bytes and order.
class TProfileFile {
public:
    explicit TProfileFile(QString path) : FPath(std::move(path)) {}

    const QString& Path() const { return FPath; }

    // The value of `key` in `section`, or `defaultValue` when the file, the
    // section or the key is missing or the file cannot be read. A value wholly
    // enclosed in a pair of single or of double quotes loses them.
    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;

    // ReadString through ParseProfileInteger; `defaultValue` when that fails.
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;

    // Sets one key; see WriteStrings.
    void WriteString(const QString& section, const QString& key, const QString& value);
    // Sets one key to `value` in plain decimal.
    void WriteInteger(const QString& section, const QString& key, int value);

    // Sets the keys of `values`, in order, in `section`, and replaces the file in
    // one atomic step, creating it and its folder when missing.
    // Throws TError "Unable to write to <path>" when the file cannot be written
    // (also when it is marked read-only, or when a name or value holds a line
    // break); the file is then left as it was and no temporary file remains.
    void WriteStrings(const QString& section,
                      const std::vector<std::pair<QString, QString>>& values);

private:
    QString FPath;
};

} // namespace bitonix
