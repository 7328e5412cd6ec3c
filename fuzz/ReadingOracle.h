// Reading a file one row at a time against reading TinyXML's document of
// the whole file: what each way builds and what an import shows of it.
#pragma once

#include <string>

namespace oracle {

// How reading `path` row by row differs from reading its whole document:
// the trees (every element's name, line, attributes and texts, each row
// read on its own), and the imports as the plug-in runs them and with a
// report's observer (outcome, store, the plug-in's message, the report).
// "" when they agree.
std::string readingDifference(const std::string& path);

} // namespace oracle
