// The known name a name most likely misspells, for telling the user which
// table an unread table entry was probably meant to be.
#pragma once

#include <string>
#include <vector>

namespace document {

// The known name closest to `name`, when it is close enough to be a likely
// misspelling (the same letters in another case, or at most two edits:
// insertions, deletions, substitutions and swaps of neighbours), else "".
std::string nearestName(const std::string& name, const std::vector<std::string>& known);

} // namespace document
