// Pieces of PDF syntax: fixed-width numbers must never grow past their field.
#include "pdf/PdfSyntax.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace bitonix {
namespace {

TEST(Syntax, NumbersArePlainOrPaddedToTheirField) {
    EXPECT_EQ(PdfDecimal(0), "0");
    EXPECT_EQ(PdfDecimal(-42), "-42");
    EXPECT_EQ(PdfDecimal(9999999999), "9999999999");
    EXPECT_EQ(PdfPadded(9, 10), "0000000009");
    EXPECT_EQ(PdfPadded(9999999999, 10), "9999999999");
    // An offset past 10 digits would make a 21-byte xref entry: refused, not written.
    EXPECT_THROW(PdfPadded(10000000000, 10), std::length_error);
    EXPECT_THROW(PdfPadded(-1, 2), std::length_error);
}

TEST(Syntax, DateHasFourteenDigits) {
    std::tm time{};
    time.tm_year = 1999 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 31;
    time.tm_hour = 23;
    time.tm_min = 59;
    time.tm_sec = 0;
    EXPECT_EQ(PdfDateDigits(time), "19991231235900");
}

} // namespace
} // namespace bitonix
