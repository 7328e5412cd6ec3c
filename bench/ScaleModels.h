// Dictionary files that grow in one respect at a time, for the scaling
// benchmark: each kind writes its file for a growth count, the rest of the
// file staying as it is, so that a command's cost can be followed as that
// one thing doubles. Also the edited copies dictdiff compares them with.
#pragma once

#include <string>
#include <vector>

namespace scalemodels {

struct Kind {
    const char* name;
    const char* grows;  // what grows with the count, for readers
    int power;          // the file grows as count^power (the rest stays)
    long long probe;    // a count whose file is some tens of kilobytes, for sizing
    std::string (*write)(long long count);
};

// Every kind, in the order the benchmark runs them.
const std::vector<Kind>& kinds();
// The kind of that name, or null.
const Kind* findKind(const std::string& name);

// The growth count whose file comes nearest to `bytes` (at least 1).
long long countForSize(const Kind& kind, double bytes);

// The smallest file every command reads: one storey, one node.
std::string floorModel();

// A copy of a file with numbers and texts changed: node coordinates,
// value-list entries, member types and a few texts (the "edit points").
// Few changes 8 points spread evenly through the file; Many every third.
// A number gains 500 (the text after it stays); a text gains a prefix.
enum class Edits { Few, Many };
std::string edited(const std::string& xml, Edits edits);
// The number of edit points in a file.
long long editPoints(const std::string& xml);

} // namespace scalemodels
