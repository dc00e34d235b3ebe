// Decoding of 8-bit text in the Windows-1250 code page (the language files).
#pragma once

#include <QByteArrayView>
#include <QString>

namespace bitonix {

// Decodes `bytes` as Windows-1250 text, byte by byte, whatever they begin with.
// Notes:
//  1. A byte-order mark is not recognised: EF BB BF comes out as three letters.
//  2. The five bytes the code page leaves undefined (81 83 88 90 98) become
//     U+FFFD, so a damaged file shows where it is damaged.
QString DecodeCp1250(QByteArrayView bytes);

} // namespace bitonix
