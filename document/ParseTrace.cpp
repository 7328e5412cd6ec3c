#include "document/ParseTrace.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#include <tinyxml.h>

namespace document {

DocumentText::DocumentText(std::string_view bytes) : m_data(new char[bytes.size() + kPadding])
{
    std::memcpy(m_data.get(), bytes.data(), bytes.size());
    prepare(bytes.size());
}

DocumentText::DocumentText(std::unique_ptr<char[]> buffer, std::size_t size) : m_data(std::move(buffer))
{
    prepare(size);
}

// As TinyXML's LoadFile does before parsing: the text ends at the first
// NUL byte, and CR LF and lone CR become LF.
void DocumentText::prepare(std::size_t bytes)
{
    char* text = m_data.get();
    std::memset(text + bytes, 0, kPadding);
    std::size_t length = std::strlen(text);
    char* cr = static_cast<char*>(std::memchr(text, '\r', length));
    if (cr) {
        const char* read = cr;
        char* write = cr;
        while (*read) {
            if (*read == '\r') {
                *write++ = '\n';
                if (*++read == '\n')
                    ++read;
            } else {
                *write++ = *read++;
            }
        }
        length = static_cast<std::size_t>(write - text);
    }
    std::memset(text + length, 0, kPadding);
    m_size = length;
}

namespace {

inline unsigned char byte(char c)
{
    return static_cast<unsigned char>(c);
}

// Whether the first `count` bytes in memory order of two words XORed
// together differ (count from 1 to 7).
inline bool differentIn(std::uint64_t difference, std::size_t count)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return (difference >> (64 - 8 * count)) != 0;
#else
    return (difference & ((std::uint64_t(1) << (8 * count)) - 1)) != 0;
#endif
}

// The byte classes TinyXML tests with the C library's functions, so that
// they are the same in the host's locale: IsWhiteSpace, IsAlpha and
// IsAlphaNum (every byte from 127 up counting as a letter), the name
// characters of ReadName, and ToLower for ASCII.
struct ByteClasses {
    bool space[256];
    bool nameStart[256];
    bool name[256];
    unsigned char lower[128];

    ByteClasses()
    {
        for (int b = 0; b < 256; ++b) {
            space[b] = std::isspace(b) || b == '\n' || b == '\r';
            bool alpha = b < 127 ? std::isalpha(b) != 0 : true;
            bool alnum = b < 127 ? std::isalnum(b) != 0 : true;
            nameStart[b] = alpha || b == '_';
            name[b] = alnum || b == '_' || b == '-' || b == '.' || b == ':';
        }
        for (int b = 0; b < 128; ++b)
            lower[b] = static_cast<unsigned char>(std::tolower(b));
    }
};

// The first bytes of the value TinyXML gives a declaration's "encoding",
// enough to tell how it switches its encoding.
class EncodingValue {
public:
    void clear() { m_size = 0; }
    void add(char c)
    {
        if (m_size < sizeof m_bytes)
            m_bytes[m_size++] = c;
    }
    // A character reference: in UTF-8 its encoding (nothing from U+200000
    // on, as TinyXML's ConvertUTF32ToUTF8 writes), otherwise its low byte.
    void addCharacter(unsigned long ucs, bool utf8)
    {
        if (!utf8) {
            add(static_cast<char>(ucs));
            return;
        }
        int length = ucs < 0x80 ? 1 : ucs < 0x800 ? 2 : ucs < 0x10000 ? 3 : ucs < 0x200000 ? 4 : 0;
        static const unsigned char kFirstByteMark[5] = {0x00, 0x00, 0xC0, 0xE0, 0xF0};
        char out[4];
        for (int i = length - 1; i > 0; --i) {
            out[i] = static_cast<char>((ucs | 0x80) & 0xBF);
            ucs >>= 6;
        }
        if (length > 0)
            out[0] = static_cast<char>(ucs | kFirstByteMark[length]);
        for (int i = 0; i < length; ++i)
            add(out[i]);
    }
    // The value is read as a C string.
    bool namesUtf8() const
    {
        std::size_t length = std::find(m_bytes, m_bytes + m_size, '\0') - m_bytes;
        return document::namesUtf8(std::string_view(m_bytes, length));
    }

private:
    char m_bytes[8];
    std::size_t m_size = 0;
};

enum class Node { Declaration, Comment, CData, Unknown, Element };

class Tracer {
public:
    Tracer(const DocumentText& text, std::vector<std::size_t>* droppedAt, Outline* outline)
        : m_begin(text.data()), m_end(text.data() + text.size()), m_droppedAt(droppedAt), m_outline(outline)
    {
        setEncoding(false);
    }

    ParseTrace run();

private:
    void setEncoding(bool utf8);
    Node identify(const char* p) const;
    const char* skipSpace(const char* p) const;
    const char* skipSpaceRun(const char* p) const;
    bool startsWithAnyCase(const char* p, const char* lowerPrefix) const;
    const char* entity(const char* p, EncodingValue* value) const;
    const char* text(const char* p) const;
    const char* quoted(const char* p, char quote, EncodingValue* value) const;
    const char* attribute(const char* p, std::string_view* name, EncodingValue* value) const;
    const char* declaration(const char* p, EncodingValue* encoding, const char** lastStamp) const;
    const char* comment(const char* p) const;
    const char* cdata(const char* p) const;
    const char* unknown(const char* p) const;
    const char* element(const char* p);
    bool endTagNames(const char* p, std::string_view name) const;
    const char* otherNode(Node node, const char* p) const;

    const char* m_begin;
    const char* m_end; // the text's final NUL
    ByteClasses m_classes;
    bool m_utf8 = false;
    // Bytes that end a run of characters stepped over one byte at a time,
    // in quoted values and in text: NUL, '&' and, in UTF-8, a lead byte of
    // more than one byte (in text, where white space is always one byte,
    // not a white space byte), and in text also '<'.
    bool m_textStop[256];
    bool m_valueStop[256];
    // Bytes at which SkipWhiteSpace has nothing to skip: not NUL, not white
    // space and, in UTF-8, not the first byte of a mark it skips.
    bool m_noSpace[256];

    // The open elements' names, for their end tags, and the current
    // element's attribute names, for TinyXML's check against repeats.
    std::string_view m_open[kMaxNesting];
    int m_depth = 0;
    std::string_view m_attributes[kMaxAttributes];

    ParseTrace::Bound m_broken = ParseTrace::Bound::None;
    const char* m_brokenAt = nullptr;

    // Dropped references, counted wherever the reading meets them.
    mutable std::size_t m_dropped = 0;
    std::vector<std::size_t>* m_droppedAt;

    // The outline, when one is recorded, and whether the element being
    // traced belongs in it (the root and the element after it do).
    Outline* m_outline;
    bool m_outlined = false;
};

void Tracer::setEncoding(bool utf8)
{
    m_utf8 = utf8;
    for (int b = 0; b < 256; ++b) {
        bool stop = b == 0 || b == '&' || (utf8 && TiXmlBase::utf8ByteTable[b] > 1);
        m_valueStop[b] = stop;
        m_textStop[b] = b == '<' || (stop && !m_classes.space[b]);
        m_noSpace[b] = b != 0 && !m_classes.space[b] && !(utf8 && b == 0xEF);
    }
}

// TiXmlBase::SkipWhiteSpace, which in UTF-8 also skips the byte order mark
// and the marks U+FFFE and U+FFFF, from a place in the text. Null at the
// end of the text, where every caller in TinyXML treats its result as the
// end. Most calls find no space at all.
inline const char* Tracer::skipSpace(const char* p) const
{
    return m_noSpace[byte(*p)] ? p : skipSpaceRun(p);
}

const char* Tracer::skipSpaceRun(const char* p) const
{
    for (;;) {
        while (m_classes.space[byte(*p)])
            ++p;
        if (!m_utf8 || byte(*p) != 0xEF)
            break;
        if (byte(p[1]) == 0xBB && byte(p[2]) == 0xBF)
            p += 3;
        else if (byte(p[1]) == 0xBF && (byte(p[2]) == 0xBE || byte(p[2]) == 0xBF))
            p += 3;
        else
            break;
    }
    return *p ? p : nullptr;
}

// StringEqual with ignoreCase, for an ASCII prefix written in lower case.
bool Tracer::startsWithAnyCase(const char* p, const char* lowerPrefix) const
{
    for (; *lowerPrefix; ++p, ++lowerPrefix)
        if (byte(*p) >= 128 || m_classes.lower[byte(*p)] != *lowerPrefix)
            return false;
    return true;
}

// TiXmlNode::Identify, at a '<'.
inline Node Tracer::identify(const char* p) const
{
    if (p[1] == '?' && startsWithAnyCase(p, "<?xml"))
        return Node::Declaration;
    if (p[1] == '!') {
        if (std::strncmp(p, "<!--", 4) == 0)
            return Node::Comment;
        if (std::strncmp(p, "<![CDATA[", 9) == 0)
            return Node::CData;
        return Node::Unknown;
    }
    return m_classes.nameStart[byte(p[1])] ? Node::Element : Node::Unknown;
}

// TiXmlBase::GetEntity at a '&': past the reference, or null where TinyXML
// gives up. A numeric reference runs to the next ';' however far it is and
// is checked from there back to its "#" or "x", so it can hide markup.
const char* Tracer::entity(const char* p, EncodingValue* value) const
{
    if (p[1] == '#' && p[2]) {
        bool hex = p[2] == 'x';
        if (hex && !p[3])
            return nullptr;
        const char* from = p + (hex ? 3 : 2);
        const char* semicolon = static_cast<const char*>(std::memchr(from, ';', m_end - from));
        if (!semicolon)
            return nullptr;
        unsigned long ucs = 0;
        unsigned mult = 1;
        for (const char* q = semicolon - 1; *q != (hex ? 'x' : '#'); --q) {
            unsigned digit;
            if (*q >= '0' && *q <= '9')
                digit = static_cast<unsigned>(*q - '0');
            else if (hex && *q >= 'a' && *q <= 'f')
                digit = static_cast<unsigned>(*q - 'a' + 10);
            else if (hex && *q >= 'A' && *q <= 'F')
                digit = static_cast<unsigned>(*q - 'A' + 10);
            else
                return nullptr;
            ucs += mult * digit;
            mult *= hex ? 16 : 10;
        }
        if (value)
            value->addCharacter(ucs, m_utf8);
        return semicolon + 1;
    }
    static const struct {
        const char* text;
        std::size_t length;
        char character;
    } kNamed[] = {{"&amp;", 5, '&'}, {"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&quot;", 6, '"'}, {"&apos;", 6, '\''}};
    for (const auto& named : kNamed)
        if (std::strncmp(named.text, p, named.length) == 0) {
            if (value)
                value->add(named.character);
            return p + named.length;
        }
    // An undefined reference or a bare '&': the '&' is dropped.
    ++m_dropped;
    if (m_droppedAt)
        m_droppedAt->push_back(static_cast<std::size_t>(p - m_begin));
    return p + 1;
}

// TiXmlText::Parse outside CDATA, white space condensed: the text runs to
// the first '<' that its characters and references leave in sight. That
// '<', or null where TinyXML fails (no '<', or nothing after it).
const char* Tracer::text(const char* p) const
{
    p = skipSpace(p);
    while (p) {
        while (!m_textStop[byte(*p)])
            ++p;
        if (*p == '<')
            return p[1] ? p : nullptr;
        if (!*p)
            return nullptr;
        // A UTF-8 lead byte is stepped over with the bytes it announces,
        // which may take a '<' or the text's end with them.
        p = *p == '&' ? entity(p, nullptr) : p + TiXmlBase::utf8ByteTable[byte(*p)];
    }
    return nullptr;
}

// ReadText keeping white space, up to the closing quote: past it, or null
// where TinyXML fails (no closing quote, or nothing after it).
const char* Tracer::quoted(const char* p, char quote, EncodingValue* value) const
{
    for (;;) {
        while (*p != quote && !m_valueStop[byte(*p)]) {
            if (value)
                value->add(*p);
            ++p;
        }
        if (*p == quote)
            break;
        if (!*p)
            return nullptr;
        if (*p == '&') {
            p = entity(p, value);
            if (!p)
                return nullptr;
        } else {
            int length = TiXmlBase::utf8ByteTable[byte(*p)];
            for (int i = 0; value && i < length; ++i)
                value->add(p[i]);
            p += length;
        }
    }
    ++p;
    return *p ? p : nullptr;
}

// TiXmlAttribute::Parse: past the value, or null where TinyXML fails.
const char* Tracer::attribute(const char* p, std::string_view* name, EncodingValue* value) const
{
    p = skipSpace(p);
    if (!p || !m_classes.nameStart[byte(*p)])
        return nullptr;
    const char* begin = p;
    while (m_classes.name[byte(*p)])
        ++p;
    *name = std::string_view(begin, static_cast<std::size_t>(p - begin));
    p = skipSpace(p);
    if (!p || *p != '=')
        return nullptr;
    p = skipSpace(p + 1);
    if (!p)
        return nullptr;
    if (value)
        value->clear();
    if (*p == '\'' || *p == '"')
        return quoted(p + 1, *p, value);
    // An unquoted value runs to white space, '/' or '>'; a quote in it is
    // an error. Every caller fails when the value ends the text.
    for (; *p && !m_classes.space[byte(*p)] && *p != '/' && *p != '>'; ++p) {
        if (*p == '\'' || *p == '"')
            return nullptr;
        if (value)
            value->add(*p);
    }
    return *p ? p : nullptr;
}

// TiXmlDeclaration::Parse from "<?xml": past its '>', or null where TinyXML
// gives up. Only "version", "encoding" and "standalone" are read as
// attributes, with their quoted values, so a '>' inside their quotes does
// not end it; anything else is stepped over to white space or '>'.
// `lastStamp` is where TinyXML last noted its place in it.
const char* Tracer::declaration(const char* p, EncodingValue* encoding, const char** lastStamp) const
{
    *lastStamp = p;
    p += 5;
    while (*p) {
        if (*p == '>')
            return p + 1;
        p = skipSpace(p);
        if (!p)
            break;
        bool isEncoding = false;
        if (startsWithAnyCase(p, "version") || (isEncoding = startsWithAnyCase(p, "encoding")) ||
            startsWithAnyCase(p, "standalone")) {
            *lastStamp = p;
            std::string_view name;
            EncodingValue ignored;
            p = attribute(p, &name, isEncoding ? encoding : &ignored);
            if (!p)
                break;
        } else {
            while (*p && *p != '>' && !m_classes.space[byte(*p)])
                ++p;
        }
    }
    return nullptr;
}

// TiXmlComment::Parse: past "-->", or at the end of the text without one.
const char* Tracer::comment(const char* p) const
{
    std::string_view rest(p + 4, static_cast<std::size_t>(m_end - p - 4));
    std::size_t at = rest.find("-->");
    return at == std::string_view::npos ? m_end : rest.data() + at + 3;
}

// CDATA: past "]]>", or null without one or with nothing after it.
const char* Tracer::cdata(const char* p) const
{
    std::string_view rest(p + 9, static_cast<std::size_t>(m_end - p - 9));
    std::size_t at = rest.find("]]>");
    if (at == std::string_view::npos)
        return nullptr;
    const char* after = rest.data() + at + 3;
    return *after ? after : nullptr;
}

// TiXmlUnknown::Parse (DOCTYPE, processing instructions, "<" not followed
// by a name): past the first '>', or at the end of the text.
const char* Tracer::unknown(const char* p) const
{
    const char* close = static_cast<const char*>(std::memchr(p + 1, '>', m_end - p - 1));
    return close ? close + 1 : m_end;
}

const char* Tracer::otherNode(Node node, const char* p) const
{
    switch (node) {
    case Node::Declaration: {
        EncodingValue encoding;
        const char* stamp;
        return declaration(p, &encoding, &stamp);
    }
    case Node::Comment:
        return comment(p);
    case Node::CData:
        return cdata(p);
    case Node::Unknown:
    case Node::Element:
        break;
    }
    return unknown(p);
}

// Whether the text at p starts with the name, which lies earlier in the
// same text. Eight bytes at a time: both lie before the text's end, which
// the padding follows, so every load stays inside the buffer.
inline bool Tracer::endTagNames(const char* p, std::string_view name) const
{
    std::size_t size = name.size();
    if (static_cast<std::size_t>(m_end - p) < size)
        return false;
    const char* n = name.data();
    for (; size >= 8; size -= 8, p += 8, n += 8)
        if (std::memcmp(p, n, 8) != 0)
            return false;
    if (size == 0)
        return true;
    std::uint64_t a, b;
    std::memcpy(&a, p, 8);
    std::memcpy(&b, n, 8);
    return differentIn(a ^ b, size) == false;
}

// TiXmlElement::Parse with its ReadValue, at the '<' of an element that
// Identify made, with the recursion into child elements turned into a loop
// over the open elements. Past the element's end, or null where TinyXML
// fails or a bound is broken (`m_broken` then says which). Kept whole: it
// is the loop every load runs over every tag, and it follows TinyXML's own
// parse step by step, which pieces split apart would hide and slow.
const char* Tracer::element(const char* p)
{
    const int outer = m_depth;
    for (;;) {
        // A start tag at p. TinyXML has created the element, whatever follows.
        if (m_depth == kMaxNesting) {
            m_broken = ParseTrace::Bound::Nesting;
            m_brokenAt = p;
            return nullptr;
        }
        const char* tag = p;
        p = skipSpace(p + 1);
        if (!p || !m_classes.nameStart[byte(*p)])
            return nullptr;
        const char* name = p;
        while (m_classes.name[byte(*p)])
            ++p;
        m_open[m_depth++] = std::string_view(name, static_cast<std::size_t>(p - name));
        if (m_outlined && (m_depth == kRowDepth || (m_depth < kRowDepth && m_outline->everyElement))) {
            OutlineElement e;
            e.begin = static_cast<std::size_t>(tag - m_begin);
            e.nameAt = static_cast<std::uint32_t>(name - tag);
            e.nameLength = static_cast<std::uint32_t>(p - name);
            e.utf8 = m_utf8;
            m_outline->elements.push_back(e);
        }
        int attributes = 0;
        bool closed = false;
        for (;;) {
            p = skipSpace(p);
            if (!p)
                return nullptr;
            if (*p == '/') {
                if (p[1] != '>')
                    return nullptr;
                p += 2;
                closed = true;
                break;
            }
            if (*p == '>') {
                ++p;
                break;
            }
            std::string_view attributeName;
            p = attribute(p, &attributeName, nullptr);
            if (!p)
                return nullptr;
            for (int i = 0; i < attributes; ++i)
                if (m_attributes[i] == attributeName)
                    return nullptr; // TinyXML refuses a repeated attribute
            if (attributes == kMaxAttributes) {
                m_broken = ParseTrace::Bound::Attributes;
                m_brokenAt = tag;
                return nullptr;
            }
            m_attributes[attributes++] = attributeName;
        }
        // The element's content, up to its end tag or a child element;
        // then, once an element ends, its parent's content goes on.
        bool descend = false;
        while (!descend) {
            if (closed) {
                // A row holds no element of the outline: the last one is its own.
                if (m_outlined && m_depth == kRowDepth)
                    m_outline->elements.back().end = static_cast<std::size_t>(p - m_begin);
                --m_depth;
                if (m_depth == outer)
                    return p;
            }
            closed = false;
            p = skipSpace(p);
            if (!p)
                return nullptr;
            if (*p != '<') {
                p = text(p);
                if (!p)
                    return nullptr;
                continue;
            }
            if (p[1] == '/') {
                std::string_view open = m_open[m_depth - 1];
                if (!endTagNames(p + 2, open))
                    return nullptr;
                p = skipSpace(p + 2 + open.size());
                if (!p || *p != '>')
                    return nullptr;
                ++p;
                closed = true;
                continue;
            }
            Node node = identify(p);
            if (node == Node::Element) {
                descend = true;
                continue;
            }
            p = otherNode(node, p);
            if (!p)
                return nullptr;
        }
    }
}

ParseTrace Tracer::run()
{
    ParseTrace trace;
    const char* p = m_begin;
    if (!*p) {
        trace.fails = true;
        return trace;
    }
    // The encoding stays unknown (read as single bytes) until a byte order
    // mark or the first top-level declaration decides it.
    bool decided = false;
    if (std::strncmp(p, "\xEF\xBB\xBF", 3) == 0) {
        setEncoding(true);
        decided = true;
        trace.charactersFrom = 0;
        trace.encoding = ParseTrace::Encoding::Utf8;
    }
    bool anyNode = false;
    int topElements = 0;
    bool droppedLast = false; // the last top-level node was an element left out of the outline
    for (p = skipSpace(p); p; p = p ? skipSpace(p) : nullptr) {
        if (*p != '<') {
            trace.unreadFrom = static_cast<std::size_t>(p - m_begin);
            break;
        }
        anyNode = true;
        Node node = identify(p);
        droppedLast = droppedLast && node == Node::Element;
        if (node == Node::Element) {
            const char* start = p;
            ++topElements;
            m_outlined = m_outline && topElements <= 2;
            p = element(p);
            // Elements left out one after another are one span: nothing
            // but white space lies between them.
            if (m_outline && !m_outlined && p) {
                auto& dropped = m_outline->dropped;
                if (droppedLast)
                    dropped.back().second = static_cast<std::size_t>(p - m_begin);
                else
                    dropped.emplace_back(start - m_begin, p - m_begin);
                droppedLast = true;
                continue;
            }
            if (m_broken != ParseTrace::Bound::None) {
                trace.broken = m_broken;
                trace.brokenAt = static_cast<std::size_t>(m_brokenAt - m_begin);
                return trace;
            }
            trace.fails = trace.fails || !p;
        } else if (node == Node::Declaration && !decided) {
            EncodingValue encoding;
            const char* stamp;
            p = declaration(p, &encoding, &stamp);
            decided = true;
            trace.encoding = ParseTrace::Encoding::Other;
            if (encoding.namesUtf8()) {
                setEncoding(true);
                trace.charactersFrom = static_cast<std::size_t>(stamp - m_begin);
                trace.encoding = ParseTrace::Encoding::Utf8;
            }
        } else {
            p = otherNode(node, p);
        }
    }
    trace.fails = trace.fails || !anyNode;
    trace.referencesDropped = m_dropped;
    return trace;
}

} // namespace

ParseTrace traceParse(const DocumentText& text, std::vector<std::size_t>* droppedAt, Outline* outline)
{
    return Tracer(text, droppedAt, outline).run();
}

std::vector<TextPosition> positionsOf(std::string_view text, const std::vector<std::size_t>& offsets,
                                      std::size_t charactersFrom)
{
    constexpr int kTabSize = 4;
    auto at = [&](std::size_t i) { return i < text.size() ? byte(text[i]) : 0; };
    std::vector<TextPosition> places;
    places.reserve(offsets.size());
    int row = 0, column = 0;
    std::size_t i = 0;
    for (std::size_t offset : offsets) {
        std::size_t end = std::min(offset, text.size());
        while (i < end) {
            unsigned char c = at(i);
            if (c == '\n') {
                ++row;
                column = 0;
                ++i;
            } else if (c == '\t') {
                column = (column / kTabSize + 1) * kTabSize;
                ++i;
            } else if (i < charactersFrom) {
                ++column;
                ++i;
            } else if (c == 0xEF) {
                // TiXmlParsingData::Stamp looks at the two bytes after it,
                // wherever the place it counts to lies.
                if (!at(i + 1) || !at(i + 2)) {
                    ++i;
                } else {
                    bool zeroWidth = (at(i + 1) == 0xBB && at(i + 2) == 0xBF) ||
                                     (at(i + 1) == 0xBF && (at(i + 2) == 0xBE || at(i + 2) == 0xBF));
                    column += zeroWidth ? 0 : 1;
                    i += 3;
                }
            } else {
                i += static_cast<std::size_t>(TiXmlBase::utf8ByteTable[c]);
                ++column;
            }
        }
        places.push_back({row + 1, column + 1});
    }
    return places;
}

TextPosition positionOf(std::string_view text, std::size_t offset, std::size_t charactersFrom)
{
    return positionsOf(text, {offset}, charactersFrom).front();
}

bool namesUtf8(std::string_view encoding)
{
    // Only ASCII letters can match, and every locale folds those alike.
    auto startsWith = [&](std::string_view prefix) {
        if (encoding.size() < prefix.size())
            return false;
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            char c = encoding[i];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            if (c != prefix[i])
                return false;
        }
        return true;
    };
    return encoding.empty() || startsWith("utf-8") || startsWith("utf8");
}

} // namespace document
