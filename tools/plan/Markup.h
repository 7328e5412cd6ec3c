// Texts and numbers as a page or an SVG file carries them. Every text that
// comes from a file is hostile: it may hold markup, quotes, control
// characters or bytes that are not UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace plan {

// Appends `text` for use inside an element or a quoted attribute, in
// HTML and in XML alike: markup characters and both quotes as entities,
// each byte that does not begin valid UTF-8 and each character that XML
// does not allow (control characters other than tab, line feed and
// carriage return; U+FFFE, U+FFFF) as U+FFFD.
void appendEscaped(std::string& out, std::string_view text);
std::string escaped(std::string_view text);

// `text` whole when it has at most `limit` bytes; otherwise as many of its
// first bytes as fit in `limit` without splitting a character, and "…".
// For texts a page repeats, so that each copy has a bounded size.
std::string shortened(std::string_view text, std::size_t limit);

// Appends a number with at most 10 significant digits, '.' as the decimal
// point whatever the locale, an exponent only from 1e10 up and below 1e-4
// in magnitude (both SVG and JavaScript read it); "0" for a non-finite
// value (callers keep them out).
void appendNumber(std::string& out, double value);
std::string number(double value);

} // namespace plan
