// The language-file key of each field of the interface string table.
#pragma once

#include "settings/LangStrings.h"

#include <span>

namespace bitonix {

inline constexpr int LangKeyCount = 73;

// One entry of the table: the key in section [Strings] of a language file and
// the field it fills (key `hintDpi`, field `SHintDpi`).
struct TLangKey {
    const char* Key;
    QString TLangStrings::*Field;
};

// All 73 keys, in the order the fields of TLangStrings are declared.
std::span<const TLangKey> LangKeys();

} // namespace bitonix
