#include "window/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <system_error>

namespace window {

namespace {

// The 1-based position of the byte at index i (i may be the size of the
// text: one past the end), saturated for texts of more than 2^31 bytes.
std::int32_t CharPosition(std::size_t i) {
    return static_cast<std::int32_t>(std::min<std::size_t>(i + 1, std::numeric_limits<std::int32_t>::max()));
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of a hexadecimal digit, or -1.
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::size_t SkipBlanks(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    return i;
}

} // namespace

void TextToInteger(const std::string& text, std::int32_t& value, std::int32_t& errorPos) {
    value = 0;
    const std::size_t n = text.size();
    std::size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    // The magnitude is accumulated in 64 bits and checked after every digit
    // against the limit of the sign, so it never exceeds 2^31 * 16.
    const std::int64_t limit = negative ? std::int64_t{2147483648} : std::int64_t{2147483647};
    std::int64_t magnitude = 0;
    const std::size_t firstDigit = i;
    for (; i < n; ++i) {
        const int digit = base == 16 ? HexValue(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0) break;
        magnitude = magnitude * base + digit;
        if (magnitude > limit) {
            errorPos = CharPosition(i);
            return;
        }
        value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    }
    if (i == firstDigit || i < n) {
        // No digit at all (the error lies where the first one was expected),
        // or something follows the digits.
        errorPos = CharPosition(i);
        return;
    }
    errorPos = 0;
}

void TextToReal(const std::string& text, astro::Real& value, std::int32_t& errorPos) {
    value = 0;
    const std::size_t n = text.size();
    std::size_t i = SkipBlanks(text);
    const std::size_t numberStart = i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t mantissaStart = i;

    // The decimal exponent of the leading nonzero digit (its position
    // relative to the point), to tell an overflow from an underflow.
    std::int64_t leadingExponent = 0;
    bool nonzeroSeen = false;
    std::size_t digits = 0;
    for (; i < n && IsDigit(text[i]); ++i, ++digits) {
        if (text[i] != '0') nonzeroSeen = true;
        if (nonzeroSeen && leadingExponent < 1'000'000'000) ++leadingExponent;
    }
    if (i < n && text[i] == '.') {
        ++i;
        for (; i < n && IsDigit(text[i]); ++i, ++digits) {
            if (nonzeroSeen) continue;
            if (text[i] != '0')
                nonzeroSeen = true;
            else if (leadingExponent > -1'000'000'000)
                --leadingExponent;
        }
    }
    if (digits == 0) {
        errorPos = CharPosition(i);
        return;
    }
    std::int64_t exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        const std::size_t exponentStart = i;
        for (; i < n && IsDigit(text[i]); ++i)
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - '0');
        if (i == exponentStart) {
            errorPos = CharPosition(i);
            return;
        }
        if (negativeExponent) exponent = -exponent;
    }
    if (i < n) {
        errorPos = CharPosition(i);
        return;
    }

    // The grammar is checked; the digits (without the sign, which
    // std::from_chars does not take) are converted locale-independently.
    astro::Real magnitude = 0;
    const char* first = text.data() + mantissaStart;
    const char* last = text.data() + n;
    const auto result = std::from_chars(first, last, magnitude, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        if (nonzeroSeen && leadingExponent + exponent > 0) {
            errorPos = CharPosition(numberStart);
            return;
        }
        magnitude = 0; // below the smallest extended magnitude
    } else if (result.ec != std::errc() || result.ptr != last) {
        // Cannot happen for a text that passed the checks above.
        errorPos = CharPosition(mantissaStart);
        return;
    }
    value = negative ? -magnitude : magnitude;
    errorPos = 0;
}

void FormatNumber(std::string& s, astro::Real value, astro::Real formatCode) {
    constexpr std::int64_t MaxField = 4096;
    // w saturates for an absurd code; d comes from the fraction of the
    // code itself, so it stays within -10..10 (0 for a code that is not finite).
    const std::int32_t w = astro::TruncToInt32(formatCode);
    const std::int32_t d = astro::RoundToInt32((formatCode - std::trunc(formatCode)) * 10);

    std::int64_t field = 0;
    if (std::isnan(value)) {
        s = "NaN";
        field = d > 0 ? std::int64_t{w} + d + 2 : w;
    } else if (std::isinf(value)) {
        s = value < 0 ? "-Inf" : "Inf";
        field = d > 0 ? std::int64_t{w} + d + 2 : w;
    } else if (d > 0) {
        // An extended value has at most 4933 integer digits; d is at most 10.
        char buffer[5000];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, d);
        s.assign(buffer, result.ec == std::errc() ? result.ptr : buffer);
        if (s.size() > 1 && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
        field = std::int64_t{w} + d + 2;
    } else {
        s = std::to_string(astro::RoundToInt32(value));
        field = w;
    }
    field = std::min(field, MaxField);
    if (field > static_cast<std::int64_t>(s.size()))
        s.insert(0, static_cast<std::size_t>(field) - s.size(), ' ');
}

std::string FormattedNumber(astro::Real value, astro::Real formatCode) {
    std::string s;
    FormatNumber(s, value, formatCode);
    return s;
}

std::string WithoutOneLeadingBlank(std::string s) {
    if (!s.empty() && s.front() == ' ') s.erase(0, 1);
    return s;
}

} // namespace window
