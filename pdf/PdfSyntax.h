// Small pieces of PDF syntax as 8-bit text, written the same way under every locale.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace bitonix {

// Plain decimal: no padding, a minus sign where negative.
std::string PdfDecimal(std::int64_t value);

// A non-negative value zero-padded to exactly `width` digits (xref offsets, dates).
// Throws std::length_error when the value is negative or needs more digits: a longer
// field would break fixed-size records such as the 20-byte xref entries.
std::string PdfPadded(std::int64_t value, int width);

// The body of a literal string "(...)": backslash and both parentheses are escaped,
// every other byte is kept, so plain ASCII titles come out unchanged.
std::string PdfLiteralText(std::string_view text);

// A name without its leading slash: delimiters, '#', blanks, control and non-ASCII
// bytes are written as #xx, so plain names such as img_1 come out unchanged.
std::string PdfNameText(std::string_view text);

// The 14 digits yyyymmddhhmmss of a broken-down local time, without separators or zone.
std::string PdfDateDigits(const std::tm& time);

} // namespace bitonix
