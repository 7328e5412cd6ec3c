// Loading a dictionary file safely: read once, checked against what
// TinyXML would build from it, then parsed.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <tinyxml.h>

#include "document/ParseTrace.h"

namespace document {

// The largest file read: TinyXML counts rows and columns in int, and a
// pipe must not be read without end.
constexpr std::size_t kMaxFileSize = 2147483647;

// Bytes that are not UTF-8 in a text read as UTF-8: one declared so, or
// one without a declaration, which XML reads as UTF-8 (TinyXML then reads
// it byte by byte).
struct EncodingFault {
    long long bytes = 0;     // bytes that are not UTF-8
    bool likelyGbk = false;  // every byte of the text fits GBK
    bool declared = false;   // the text says it is UTF-8 (a declaration or byte order mark)
    TextPosition first{0, 0};
    std::vector<TextPosition> places; // with tracked positions: the first kMaxPlaces, in order
    static constexpr std::size_t kMaxPlaces = 1000;
};

// Why a file could not be loaded, and where.
struct LoadError {
    enum class Kind {
        None,
        NoPath,            // the path is empty
        CannotRead,        // `systemError` holds the reason (errno)
        NotAFile,          // a device, socket or the like; `detail` says which
        TooLarge,          // more than kMaxFileSize bytes
        Empty,             // no bytes, or nothing but white space
        NotXml,            // starts, at `row` and `column`, with `detail` (its first bytes), not with markup
        WideEncoding,      // UTF-16 or UTF-32, which the parser cannot read
        NotWellFormed,     // at `row` and `column`, as TinyXML says in `detail`
        TooDeep,           // the tag at `row` and `column` nests too deep
        TooManyAttributes, // the tag at `row` and `column` has too many
    };
    Kind kind = Kind::None;
    // The most bytes of a text that is not XML kept in `detail`.
    static constexpr std::size_t kShownBytes = 16;
    int systemError = 0;
    int row = 0; // 0 where there is no place to point at
    int column = 0;
    std::string detail;
    // Not well-formed: the text ends inside an element left open, as a
    // file does that was not written to its end.
    bool endsInsideElement = false;
    // Bytes that are not UTF-8, often why the text is not well-formed.
    EncodingFault encoding;
};

// Whether the parsed document keeps every node's row and column. Nothing
// in an import reads them; keeping them costs a tenth of the parse.
enum class Positions { Untracked, Tracked };

// What a loaded document leaves unread or reads otherwise than written:
// where TinyXML stopped reading at the top level before the end of the
// file (0 when it read to the end), the references it dropped from texts,
// and bytes that are not UTF-8 in a text read as UTF-8.
struct LoadedText {
    int unreadRow = 0;
    int unreadColumn = 0;
    std::size_t referencesDropped = 0;
    std::vector<TextPosition> droppedAt; // with tracked positions: the first EncodingFault::kMaxPlaces
    EncodingFault encoding;
};

// Reads the file once (a regular file or a pipe, up to kMaxFileSize),
// prepares it as TinyXML's LoadFile does, checks the bounds and parses it
// with the default encoding detection. False when the file cannot be
// read, is empty, exceeds the bounds or is not well-formed; `error`, when
// given, then says why and where (found again with tracked positions when
// they were not kept).
bool loadDocument(const char* path, TiXmlDocument& document, LoadError* error = nullptr,
                  Positions positions = Positions::Tracked, LoadedText* loaded = nullptr);

// How a loaded file is held while it is read.
enum class Reading {
    RowByRow,      // the outline as a document, each row parsed when it is read
    WholeDocument, // TinyXML's document of the whole file
};

// A loaded file. Read row by row, its tree is TinyXML's document of the
// file with every element at the rows' level standing empty (its name
// alone), and the text is kept: a row's content is parsed from it when the
// row is read (RowTree), into a small document freed once it is read, so
// that the whole file is never one tree. The tree's elements then know
// their lines (lineOf). Read whole, the tree is the whole file's document.
class LoadedDocument {
public:
    LoadedDocument() = default;
    LoadedDocument(const LoadedDocument&) = delete;
    LoadedDocument& operator=(const LoadedDocument&) = delete;

    TiXmlDocument& tree() { return m_tree; }

private:
    friend class RowTree;
    friend struct Loader;

    TiXmlDocument m_tree;
    DocumentText m_text; // kept when the rows are read one at a time
    std::vector<OutlineElement> m_elements;
    int m_rowTabSize = 0;
};

// As above, into `document`, read as `reading` says. Whatever the reading,
// every element, text and failure is the one TinyXML makes of the whole
// file.
bool loadDocument(const char* path, LoadedDocument& document, LoadError* error, Positions positions,
                  LoadedText* loaded, Reading reading);

// A table row, ready to be read: the row's element itself when the tree
// holds its content, otherwise its content parsed from the file's text on
// its own, held until the RowTree goes.
class RowTree {
public:
    RowTree(LoadedDocument* document, TiXmlElement* row);
    TiXmlElement* element() const { return m_element; }

private:
    TiXmlDocument m_tree;
    TiXmlElement* m_element;
};

// The line of an element in its file, as TinyXML counts rows, when its
// document keeps positions: of an element of a row read on its own, the
// row's line plus its row in the row's tree.
int lineOf(const TiXmlElement* element);

// The encoding the document's declaration names, or "" without one.
std::string declaredEncoding(const TiXmlDocument& document);

} // namespace document
