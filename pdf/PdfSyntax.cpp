// Small pieces of PDF syntax as 8-bit text, written the same way under every locale.
#include "pdf/PdfSyntax.h"

#include <array>
#include <charconv>
#include <stdexcept>

namespace bitonix {

std::string PdfDecimal(std::int64_t value) {
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return std::string(digits.data(), result.ptr);
}

std::string PdfPadded(std::int64_t value, int width) {
    const std::string digits = PdfDecimal(value);
    if (value < 0 || digits.size() > static_cast<std::size_t>(width)) {
        throw std::length_error("Value " + digits + " does not fit " + PdfDecimal(width) +
                                " digits");
    }
    return std::string(static_cast<std::size_t>(width) - digits.size(), '0') + digits;
}

std::string PdfLiteralText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\\' || c == '(' || c == ')') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

std::string PdfNameText(std::string_view text) {
    static constexpr std::string_view delimiters = "()<>[]{}/%#";
    static constexpr std::string_view hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && delimiters.find(c) == std::string_view::npos) {
            out += c;
        } else {
            out += '#';
            out += hex[byte >> 4U];
            out += hex[byte & 0x0FU];
        }
    }
    return out;
}

std::string PdfDateDigits(const std::tm& time) {
    return PdfPadded(time.tm_year + 1900, 4) + PdfPadded(time.tm_mon + 1, 2) +
           PdfPadded(time.tm_mday, 2) + PdfPadded(time.tm_hour, 2) + PdfPadded(time.tm_min, 2) +
           PdfPadded(time.tm_sec, 2);
}

} // namespace bitonix
