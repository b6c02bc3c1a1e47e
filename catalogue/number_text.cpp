// Locale-independent conversion of prize list text to numbers.
#include "number_text.h"

#include "runtime_error.h"

#include <charconv>
#include <algorithm>
#include <cmath>
#include <string>

namespace catalogue {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Length of the longest prefix that is a number in the accepted syntax
// (without sign), or 0 when there is none.
std::size_t numberLength(std::string_view s)
{
    std::size_t i = 0;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        std::size_t expDigits = 0;
        while (j < s.size() && isDigit(s[j])) {
            ++j;
            ++expDigits;
        }
        if (expDigits == 0)
            return 0;
        i = j;
    }
    return i;
}

// Rough power of ten of a well-formed unsigned number: positive for a number
// of at least 1, zero or below for a smaller one. Saturates instead of overflowing.
long decimalMagnitude(std::string_view s)
{
    long magnitude = 0;
    std::size_t i = 0;
    bool seenNonZero = false;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        seenNonZero = seenNonZero || s[i] != '0';
        if (seenNonZero)
            ++magnitude;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && isDigit(s[i]) && !seenNonZero; ++i) {
            if (s[i] != '0')
                seenNonZero = true;
            else
                --magnitude;
        }
        while (i < s.size() && isDigit(s[i]))
            ++i;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        const bool negativeExponent = i < s.size() && s[i] == '-';
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        long exponent = 0;
        for (; i < s.size(); ++i)
            exponent = std::min(exponent * 10 + (s[i] - '0'), 1'000'000L);
        magnitude += negativeExponent ? -exponent : exponent;
    }
    return magnitude;
}
} // namespace

std::optional<double> parseNumber(std::string_view text)
{
    std::string_view s = trimBlanks(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || numberLength(s) != s.size())
        return std::nullopt;

    double value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // from_chars reports both ends of the range this way.
        if (decimalMagnitude(s) > 0)
            throw RuntimeError(ErrorCode::Overflow);
        return negative ? -0.0 : 0.0;
    }
    if (ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return negative ? -value : value;
}

std::int32_t roundToLong(double value)
{
    if (std::isnan(value))
        throw RuntimeError(ErrorCode::TypeMismatch);
    const double rounded = std::nearbyint(value); // default rounding mode: half to even
    if (rounded < -2147483648.0 || rounded > 2147483647.0)
        throw RuntimeError(ErrorCode::Overflow);
    return static_cast<std::int32_t>(rounded);
}

} // namespace catalogue
