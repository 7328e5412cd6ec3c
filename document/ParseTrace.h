// TinyXML's reading of a text, followed before it parses it. TinyXML
// recurses once per element level when it builds and destroys a document,
// and compares each new attribute with all earlier ones of its element, so
// a small hostile file could overflow the host thread's stack or freeze
// it. The trace walks the text the way TinyXML 2.6.2's parser does (the
// same constructs, the same byte classes, the same encoding switch after
// the first declaration), step for step but without recursion or
// allocation, and counts elements and attributes exactly where TinyXML
// creates them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace document {

constexpr int kMaxNesting = 256;    // element levels, the root being 1
constexpr int kMaxAttributes = 256; // attributes of one element

// A file's text as TinyXML's LoadFile hands it to its parser: it ends at
// the first NUL byte, and CR LF and lone CR are LF. NUL bytes follow it:
// TinyXML steps over a UTF-8 lead byte by the length the byte announces,
// up to three bytes past the end of a truncated text, and the trace reads
// names eight bytes at a time.
class DocumentText {
public:
    static constexpr std::size_t kPadding = 16;

    DocumentText() = default;
    // A copy of `bytes`, prepared as above.
    explicit DocumentText(std::string_view bytes);
    // Takes a buffer holding `size` bytes and room for kPadding more.
    DocumentText(std::unique_ptr<char[]> buffer, std::size_t size);

    const char* data() const { return m_data ? m_data.get() : ""; }
    // The text's bytes, for a reader that ends a part of it for a while.
    char* writable() { return m_data.get(); }
    std::size_t size() const { return m_size; }
    std::string_view view() const { return {data(), m_size}; }

private:
    void prepare(std::size_t bytes);

    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
};

// What TinyXML does with a text, found without parsing it.
struct ParseTrace {
    enum class Bound { None, Nesting, Attributes };
    static constexpr std::size_t npos = std::string_view::npos;

    // The bound the text breaks first, if any, and the offset of the '<'
    // of the element at which it does. The rest is undefined then.
    Bound broken = Bound::None;
    std::size_t brokenAt = 0;
    // TinyXML reports an error for this text (not well-formed, or empty).
    bool fails = false;
    // Where TinyXML stopped reading, at the top level, at something that
    // is not markup, such as text after the root element; npos when it
    // read to the end or failed.
    std::size_t unreadFrom = npos;
    // From this offset on TinyXML counts columns by UTF-8 character, before
    // it by byte; npos when it never does.
    std::size_t charactersFrom = npos;
    // What the byte order mark or the first declaration says of the
    // encoding: TinyXML reads UTF-8 as such, anything else byte by byte.
    enum class Encoding { Undeclared, Utf8, Other };
    Encoding encoding = Encoding::Undeclared;
    // References that TinyXML drops from texts and attribute values: an
    // undefined entity ("&nbsp;") or a bare '&' loses its '&'.
    std::size_t referencesDropped = 0;
};

// Whether TinyXML reads a text whose declaration names this encoding as
// UTF-8: an empty name, or one that starts with "UTF-8" or "UTF8" in any
// case.
bool namesUtf8(std::string_view encoding);

// The level of a dictionary's table rows: Dictionary, Pairs, section Pair,
// Value, Pairs, table Pair, Value, Pairs, row Pair.
constexpr int kRowDepth = 9;

// An element of the outline of a text: where it starts and, at the rows'
// level, where it ends, and where its name lies.
struct OutlineElement {
    static constexpr std::size_t npos = std::string_view::npos;
    std::size_t begin = 0;   // its '<'
    std::size_t end = npos;  // past its end, for an element at kRowDepth; npos above it
    std::uint32_t nameAt = 0; // from `begin`
    std::uint32_t nameLength = 0;
    int line = 0; // its row as TinyXML counts rows, when the loader keeps positions
    bool utf8 = false; // TinyXML reads it as UTF-8, not byte by byte
    bool isRow() const { return end != npos; }
};

// What a document is read by, one row at a time: the rows with their
// spans and, with `everyElement`, every element above them too, in
// document order, except inside the top-level elements after the second,
// which no reader looks at and which are left out whole (`dropped`).
struct Outline {
    bool everyElement = false; // asked for by the loader
    std::vector<OutlineElement> elements;
    std::vector<std::pair<std::size_t, std::size_t>> dropped;
};

// `droppedAt`, when given, receives the offset of each dropped '&'; the
// outline, when given, is recorded (it is complete only when the text
// parses).
ParseTrace traceParse(const DocumentText& text, std::vector<std::size_t>* droppedAt = nullptr,
                      Outline* outline = nullptr);

// A place in a text as TinyXML reports it with its default tab size of 4:
// rows and columns from 1, a tab advancing to the next multiple of 4, and
// from `charactersFrom` on a UTF-8 character taking one column (a byte
// order mark and two other marks taking none).
struct TextPosition {
    int row;
    int column;
};
TextPosition positionOf(std::string_view text, std::size_t offset, std::size_t charactersFrom);
// The places of many offsets, given in ascending order, in one pass.
std::vector<TextPosition> positionsOf(std::string_view text, const std::vector<std::size_t>& offsets,
                                      std::size_t charactersFrom);

} // namespace document
