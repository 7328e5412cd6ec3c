// What TinyXML really builds from a text, measured on the tree it parsed,
// to check the parse trace against: the guard must never see less nesting
// or fewer attributes than TinyXML creates, nor refuse what it would parse
// within the bounds.
#pragma once

#include <cstddef>
#include <string>

#include "document/ParseTrace.h"

namespace oracle {

struct ParseOutcome {
    bool error = false;     // TinyXML reported an error
    int deepest = 0;        // element levels in the tree, the root being 1
    int mostAttributes = 0; // on one element
    // The first element in document order that is deeper than
    // document::kMaxNesting or has more than document::kMaxAttributes
    // attributes, with its place as TinyXML noted it (tab size 4).
    bool broken = false;
    bool brokenByNesting = false;
    int row = 0;
    int column = 0;
    // Where TinyXML's top level stopped reading before the end of the
    // text, or npos.
    std::size_t unreadFrom = document::ParseTrace::npos;
};

// Parses the text as the plug-in does, on a thread with a stack large
// enough for any nesting a test or fuzz input holds, and measures the tree
// iteratively before destroying it there.
ParseOutcome parseWithTinyXml(const document::DocumentText& text);

// "" when the trace agrees with what TinyXML did, else what differs.
std::string disagreement(const document::DocumentText& text, const document::ParseTrace& trace,
                         const ParseOutcome& outcome);

} // namespace oracle
