// The report of one file as dictcheck writes it: its text for people and
// its JSON for programs. Texts from the file are in both as they are: the
// text is shown escaped where it is written, the JSON escapes its own.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "tools/dictcheck/FileReport.h"

namespace dictcheck {

// The summary line, the tables and the warnings with their places.
std::string reportText(const FileReport& report);

// {"path": ..., "loaded": ..., "error": ..., "model": ..., "design": ...,
// "unread": ..., "warnings": ...}
nlohmann::ordered_json reportJson(const FileReport& report);

} // namespace dictcheck
