// What a run left out of what the file holds, or read otherwise than it
// is written, counted as the run reads. The plug-in tells the user of it
// once the run is over. A table or a field the file does not hold is no
// loss: there was nothing to store.
#pragma once

#include <string>
#include <vector>

namespace document {

struct LossTally {
    // Table entries that no reader reads, with the known table name each
    // most likely misspells ("" when none is close).
    struct UnreadTable {
        std::string section; // "ModelDB" or "DesignDB"
        std::string name;
        std::string nearest;
        long long rows = 0; // the rows it holds, none of them stored
    };

    long long rowsNotStored = 0;       // rows visited but not stored: no key, or a design row left incomplete
    long long elementsNotRead = 0;     // elements before a table's first row or a section's first table entry
    long long entriesIgnored = 0;      // table entries without "Key", "Value" or name, repeated names, sections after the second
    std::vector<UnreadTable> unreadTables;
    long long numbersNotAsWritten = 0; // read as a number other than the one written ("1,5" as 1)
    long long textsHidden = 0;         // field texts behind a comment or other markup, read as no text
    long long keysReplaced = 0;        // rows stored under a key an earlier row of the same table had
    long long designKeysEmpty = 0;     // design rows whose key has no text: stored under 0, not numbered on
    long long valuesNotFinite = 0;     // reals written as infinity or NaN, stored as such
    long long referencesDropped = 0;   // undefined entity references and bare '&', dropped from texts
    bool contentAfterRoot = false;     // text or elements after the root element, never read
    long long bytesNotUtf8 = 0;        // bytes of a file read as UTF-8 that are not UTF-8
    bool likelyGbk = false;            // ... and every such byte fits GBK

    // Whether the run left anything out.
    bool any() const;
};

// The tally's plain counts, each with the kind dictcheck's report and the
// plug-in's verdict name it by, most important first: rows, entries and
// elements left out, then texts and numbers read otherwise than written.
// The user's messages follow this order. What a count alone does not
// tell (unread tables, content after the root, bytes that are not UTF-8)
// is said apart. "entries-ignored" is the report's table-entry-skipped,
// table-duplicate and section-ignored together.
struct CountedLoss {
    long long LossTally::*count;
    const char* kind;
};
inline constexpr CountedLoss kCountedLosses[] = {
    {&LossTally::rowsNotStored, "row-skipped"},
    {&LossTally::keysReplaced, "key-repeated"},
    {&LossTally::entriesIgnored, "entries-ignored"},
    {&LossTally::designKeysEmpty, "design-key-empty"},
    {&LossTally::elementsNotRead, "element-not-read"},
    {&LossTally::textsHidden, "text-hidden"},
    {&LossTally::numbersNotAsWritten, "number-not-whole"},
    {&LossTally::referencesDropped, "reference-dropped"},
    {&LossTally::valuesNotFinite, "non-finite"},
};

inline bool LossTally::any() const
{
    for (const CountedLoss& loss : kCountedLosses)
        if (this->*loss.count)
            return true;
    return !unreadTables.empty() || contentAfterRoot || bytesNotUtf8;
}

} // namespace document
