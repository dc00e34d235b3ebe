// Language files: where they lie, how they are read, and the lookup of one
// text with its fallbacks.
#pragma once

#include "settings/IniDocument.h"

#include <QString>

namespace bitonix {

// Path of the language file of `code`: <programDir>/lang/<code>.ini.
// `programDir` is the folder of the executable (the windowed program passes
// GetProgramDir()). The code is used as given.
QString GetLangFile(const QString& programDir, const QString& code);

// The whole language file at `path`, decoded as Windows-1250 whatever its first
// bytes are (a UTF-8 byte-order mark becomes part of the first line, so a
// section header there is lost). A missing or unreadable file gives an empty
// document; this never fails.
TIniDocument LoadLangFile(const QString& path);

// One text of the table: the value of `key` in [Strings] of `current`, else of
// `english`, else `defaultValue`. A key present with an empty value gives the
// empty text and ends the fallback there.
QString S(const TIniDocument& english, const TIniDocument& current, const QString& key,
          const QString& defaultValue);

} // namespace bitonix
