// Text-to-number conversions of field texts. Both read the longest
// leading number after white space and give 0 when there is none. They
// depend on no locale and give the same results on every platform.
#pragma once

namespace document {

// Decimal number as strtod reads it in the "C" locale (sign, fraction,
// exponent; no hexadecimal, infinity or NaN forms), truncated toward zero
// and saturated to the int32 range.
int toInt(const char* text);

// As strtod reads it in the "C" locale: '.' is the decimal point whatever
// locale the host has set; hexadecimal, infinity and NaN forms included.
double toReal(const char* text);

} // namespace document
