#include "document/Conversions.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

namespace document {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Function objects, so that numberEnd is compiled with its test inline.
constexpr struct {
    bool operator()(char c) const { return c >= '0' && c <= '9'; }
} isDigit{};

constexpr struct {
    bool operator()(char c) const { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
} isHexDigit{};

// End of the number of digits (as `isDigitOf` says) with an optional
// fraction and an optional exponent introduced by `exponentMark`, starting
// at `p`; `p` itself when there are no digits.
template <class IsDigit>
const char* numberEnd(const char* p, IsDigit isDigitOf, char exponentMark)
{
    const char* q = p;
    bool digits = false;
    while (isDigitOf(*q)) {
        ++q;
        digits = true;
    }
    if (*q == '.') {
        ++q;
        while (isDigitOf(*q)) {
            ++q;
            digits = true;
        }
    }
    if (!digits)
        return p;
    if ((*q | 0x20) == exponentMark) {
        const char* e = q + 1;
        if (*e == '+' || *e == '-')
            ++e;
        if (isDigit(*e)) {
            while (isDigit(*e))
                ++e;
            q = e;
        }
    }
    return q;
}

// Whether a number too large or too small for a double is too large: its
// first significant digit stands left of the point, once the exponent is
// applied. `digitBits` is 1 for decimal digits and 4 for hexadecimal ones,
// whose exponent counts bits.
bool overflows(const char* p, const char* end, char exponentMark, long long digitBits)
{
    long long order = 0;
    const char* q = p;
    while (q < end && *q == '0')
        ++q;
    bool integral = false;
    while (q < end && *q != '.' && (*q | 0x20) != exponentMark) {
        order += digitBits;
        integral = true;
        ++q;
    }
    if (q < end && *q == '.') {
        ++q;
        while (!integral && q < end && *q == '0') {
            order -= digitBits;
            ++q;
        }
        while (q < end && (*q | 0x20) != exponentMark)
            ++q;
    }
    long long exponent = 0;
    if (q < end) {
        ++q;
        bool negative = *q == '-';
        if (*q == '+' || *q == '-')
            ++q;
        for (; q < end && exponent < 1000000000; ++q)
            exponent = exponent * 10 + (*q - '0');
        if (negative)
            exponent = -exponent;
    }
    return order + exponent > 0;
}

// Converts [p, end), a number without its sign, as from_chars does, but
// with strtod's results where from_chars reports a number out of range:
// infinity for too large, 0 for too small.
double convert(const char* p, const char* end, std::chars_format format, char exponentMark, long long digitBits)
{
    double value = 0.0;
    auto result = std::from_chars(p, end, value, format);
    if (result.ec == std::errc::result_out_of_range)
        return overflows(p, result.ptr, exponentMark, digitBits) ? std::numeric_limits<double>::infinity() : 0.0;
    return result.ec == std::errc() ? value : 0.0;
}

// Past leading white space and an optional sign.
const char* skipSpaceAndSign(const char* p, bool& negative)
{
    while (isSpace(*p))
        ++p;
    negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    return p;
}

// Whole when only white space follows the number.
NumberFit fitOfRest(const char* end)
{
    while (isSpace(*end))
        ++end;
    return *end ? NumberFit::Partial : NumberFit::Whole;
}

} // namespace

int toInt(const char* text, NumberFit* fit)
{
    NumberFit unused;
    NumberFit& how = fit ? *fit : unused;
    how = NumberFit::NoNumber;
    if (!text)
        return 0;
    bool negative;
    const char* p = skipSpaceAndSign(text, negative);
    const char* end = numberEnd(p, isDigit, 'e');
    if (end == p)
        return 0;
    how = fitOfRest(end);
    double value = convert(p, end, std::chars_format::general, 'e', 1);
    if (negative)
        value = -value;
    if (value > static_cast<double>(INT_MAX) || value < static_cast<double>(INT_MIN))
        how = NumberFit::Saturated;
    else if (how == NumberFit::Whole && value != std::trunc(value))
        how = NumberFit::Truncated;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value); // truncates toward zero
}

double toReal(const char* text, NumberFit* fit)
{
    NumberFit unused;
    NumberFit& how = fit ? *fit : unused;
    how = NumberFit::NoNumber;
    if (!text)
        return 0.0;
    bool negative;
    const char* p = skipSpaceAndSign(text, negative);
    double value = 0.0;
    const char* end = p;
    if (p[0] == '0' && (p[1] | 0x20) == 'x') {
        // Hexadecimal; "0x" without hexadecimal digits reads as 0.
        end = numberEnd(p + 2, isHexDigit, 'p');
        if (end != p + 2)
            value = convert(p + 2, end, std::chars_format::hex, 'p', 4);
        else
            end = p + 1; // the "0"
    } else if (isDigit(*p) || *p == '.') {
        end = numberEnd(p, isDigit, 'e');
        if (end != p)
            value = convert(p, end, std::chars_format::general, 'e', 1);
    } else if ((*p | 0x20) == 'i' || (*p | 0x20) == 'n') {
        // Infinity and NaN forms, as from_chars and strtod both read them.
        end = std::from_chars(p, p + std::strlen(p), value, std::chars_format::general).ptr;
    }
    if (end != p) {
        how = fitOfRest(end);
        // A finite number too large for a double reads as infinity.
        if (std::isinf(value) && isDigit(*p == '.' ? p[1] : *p))
            how = NumberFit::Saturated;
    }
    return negative ? -value : value;
}

} // namespace document
