// Conversions between texts and numbers for the prompts and the parameter
// file, and the one number-to-text formatter of labels and default texts.
//
// Plain C++ (no Qt) and independent of the C locale: the decimal point is
// always ".". Every function is safe for any byte string (NUL bytes, bytes
// that are not UTF-8, digit strings of any length, huge exponents).
#pragma once

#include <cstdint>
#include <string>

#include "astro/Numeric.h"

namespace window {

// Error positions are 1-based. Every character before an error is ASCII (a
// number is made of nothing else), so the byte position of the offending
// character in the UTF-8 text is also its character position.
//
// Where the text ends too early (an empty text, a lone sign, "$", "x", "0x",
// "1e", "1e+", "."), the error position is one past the last character, the
// place where a digit was expected; so an empty text errs at 1, "+" at 2,
// "   " at 4, "0x" at 3 and "1e" at 3.

// The whole text must be an integer: leading blanks (' '), an optional "+" or
// "-", then decimal digits or hexadecimal digits after "$", "x", "X", "0x" or
// "0X"; nothing may follow. The value must lie in the signed 32-bit range
// (hexadecimal numbers too: "$80000000" errs, "-$80000000" gives
// -2147483648); the error position is then that of the digit with which the
// value leaves the range. errorPos = 0 means success. On an error value holds
// a partial result that callers must not use.
void TextToInteger(const std::string& text, std::int32_t& value, std::int32_t& errorPos);

// The whole text must be a real number: leading blanks, an optional sign,
// digits with an optional "." and further digits (either part may be empty,
// not both: ".5" and "5." are valid, "." is not), an optional exponent "E" or
// "e" with an optional sign and at least one digit; nothing may follow. The
// value is the text correctly rounded to extended precision. A number whose
// magnitude is too large for extended precision (about 1.19e4932) is refused
// with the error position of its first character after the blanks; one too
// small to be represented becomes 0 (with its sign).
void TextToReal(const std::string& text, astro::Real& value, std::int32_t& errorPos);

// Number to text by the format code w.d: w = the integer part of the code
// (truncated), d = its first decimal ((code - w) * 10, rounded).
//  - d > 0: fixed-point with d decimals (the exact binary value rounded to
//    nearest, ties to even), right-aligned in a field of w + d + 2 characters;
//  - d <= 0: the value rounded to the nearest integer (ties to even),
//    saturated into the signed 32-bit range, right-aligned in w characters.
// A field is never cut: a longer number is returned whole. A result that
// rounds to zero has no minus sign ("0.00", never "-0.00"). Not-a-number
// prints "NaN" and the infinities "Inf" and "-Inf" in the same field. Field
// widths above 4096 characters (a code no caller uses) are treated as 4096.
void FormatNumber(std::string& s, astro::Real value, astro::Real formatCode);

// FormatNumber as a function result.
std::string FormattedNumber(astro::Real value, astro::Real formatCode);

// The text without its first character when that is a blank (labels take one
// of the leading blanks of a right-aligned field away).
std::string WithoutOneLeadingBlank(std::string s);

} // namespace window
