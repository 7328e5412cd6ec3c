// The report of one file as dictcheck writes it: its text for people and
// its JSON for programs. Texts from the file are in both as they are: the
// text is shown escaped where it is written, the JSON escapes its own.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "tools/report/FileReport.h"

namespace dictcheck {

// What an import of the file comes to: everything it holds stored as
// written, something left out or altered (a loss of which the plug-in
// warns the user), or nothing imported. Notes (an absent field, a declared
// encoding, a section named otherwise) are no loss.
enum class Verdict { Complete, Incomplete, NotImported };
Verdict verdictOf(const FileReport& report);

// Whether a kind of warning is a note: no loss, the import stored what the
// file holds.
bool isNote(const std::string& kind);

// The verdict line: "PATH: complete, N records", "PATH: incomplete: ..."
// with the losses most important first, or "PATH: not imported: ...".
std::string verdictLine(const FileReport& report);

// The verdict line, then the warnings with their places, then the tables.
std::string reportText(const FileReport& report);

// {"path": ..., "loaded": ..., "error": ..., "model": ..., "design": ...,
// "unread": ..., "warnings": ...}
nlohmann::ordered_json reportJson(const FileReport& report);

} // namespace dictcheck
