// The page's style sheet and script, from page.css and page.js, built in
// so that the page needs no other file.
#pragma once

namespace htmlreport {

extern const char* const kPageStyle;
extern const char* const kPageScript;

} // namespace htmlreport
