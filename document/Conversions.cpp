#include "document/Conversions.h"

#include <climits>
#include <cmath>

#include "platform/Platform.h"

namespace document {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// End of the decimal number that starts at `p` (after white space and an
// optional sign), or `p` itself when there is none.
const char* decimalEnd(const char* p)
{
    const char* q = p;
    bool digits = false;
    while (isDigit(*q)) {
        ++q;
        digits = true;
    }
    if (*q == '.') {
        ++q;
        while (isDigit(*q)) {
            ++q;
            digits = true;
        }
    }
    if (!digits)
        return p;
    if (*q == 'e' || *q == 'E') {
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

} // namespace

int toInt(const char* text)
{
    if (!text)
        return 0;
    const char* p = text;
    while (isSpace(*p))
        ++p;
    const char* number = p;
    if (*p == '+' || *p == '-')
        ++p;
    const char* end = decimalEnd(p);
    if (end == p)
        return 0;
    // A lone "0" before an 'x' is where strtod would read hexadecimal; the
    // decimal reading stops at the 0.
    if (end == p + 1 && *p == '0')
        return 0;
    double value = platform::parseDouble(number, nullptr);
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value); // truncates toward zero
}

double toReal(const char* text)
{
    if (!text)
        return 0.0;
    return platform::parseDouble(text, nullptr);
}

} // namespace document
