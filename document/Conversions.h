// Text-to-number conversions of field texts. Both read the longest
// leading number after white space and give 0 when there is none. They
// depend on no locale and give the same results on every platform.
#pragma once

namespace document {

// How a text fitted the number read from it.
enum class NumberFit {
    Whole,     // the whole text, white space aside, was the number
    Partial,   // a number, then other text that was ignored ("1,5" read as 1)
    NoNumber,  // no number at the start: read as 0 ("abc")
    Truncated, // an integer read from a number with a fraction ("350.9" read as 350)
    Saturated, // beyond the range of the type: its largest or smallest value
};

// Decimal number as strtod reads it in the "C" locale (sign, fraction,
// exponent; no hexadecimal, infinity or NaN forms), truncated toward zero
// and saturated to the int32 range. `fit`, when given, says how the text
// fitted.
int toInt(const char* text, NumberFit* fit = nullptr);

// As strtod reads it in the "C" locale: '.' is the decimal point whatever
// locale the host has set; hexadecimal, infinity and NaN forms included.
double toReal(const char* text, NumberFit* fit = nullptr);

} // namespace document
