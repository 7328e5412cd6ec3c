// Loading a dictionary file safely. The XML parser recurses once per
// nesting level when it builds and destroys a document, and compares each
// new attribute with all earlier ones of its element, so a small hostile
// file could overflow the host thread's stack or freeze it. The file is
// therefore scanned before it is parsed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class TiXmlDocument;

namespace document {

constexpr int kMaxNesting = 256;    // element levels, the root being 1
constexpr int kMaxAttributes = 256; // attributes of one element

// False when the text nests elements deeper, or gives an element more
// attributes, than the bounds above. Unclosed start tags count as open
// levels.
bool withinDocumentBounds(std::string_view text);

// A place in a text as TinyXML reports it with its default tab size of 4:
// rows and columns from 1, a tab advancing to the next multiple of 4, a
// UTF-8 character taking one column in a UTF-8 document.
struct TextPosition {
    int row;
    int column;
};
TextPosition positionOf(std::string_view text, std::size_t offset);

// Why a file could not be loaded, and where.
struct LoadError {
    enum class Kind {
        None,
        CannotRead,        // `systemError` holds the reason (errno)
        Empty,             // no bytes, or nothing but white space
        WideEncoding,      // UTF-16 or UTF-32, which the parser cannot read
        NotWellFormed,     // at `row` and `column`, as TinyXML says in `detail`
        TooDeep,           // the tag at `row` and `column` nests too deep
        TooManyAttributes, // the tag at `row` and `column` has too many
    };
    Kind kind = Kind::None;
    int systemError = 0;
    int row = 0; // 0 where there is no place to point at
    int column = 0;
    std::string detail;
};

// Whether the parsed document keeps every node's row and column. Nothing
// in an import reads them; keeping them costs a tenth of the parse.
enum class Positions { Untracked, Tracked };

// Reads the file once, prepares it as TinyXML's LoadFile does (CR LF and
// lone CR become LF; the text ends at the first NUL byte), checks the
// bounds and parses it with the default encoding detection. False when the
// file cannot be read, is empty, exceeds the bounds or is not well-formed;
// `error`, when given, then says why and where (found again with tracked
// positions when they were not kept).
bool loadDocument(const char* path, TiXmlDocument& document, LoadError* error = nullptr,
                  Positions positions = Positions::Tracked);

// The encoding the document's declaration names, or "" without one.
std::string declaredEncoding(const TiXmlDocument& document);

} // namespace document
