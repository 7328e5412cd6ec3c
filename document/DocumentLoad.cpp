#include "document/DocumentLoad.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <tinyxml.h>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

namespace document {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The index of the lowest set bit of a mask that is not 0.
inline int lowestBit(unsigned mask)
{
#if defined(_MSC_VER) && !defined(__clang__)
    unsigned long index;
    _BitScanForward(&index, mask);
    return static_cast<int>(index);
#else
    return __builtin_ctz(mask);
#endif
}

// The first byte from `p` on that is one of `Stops`, or `end`. Sixteen
// bytes at a time where the processor has SSE2 (every x86-64 does): the
// scan below spends most of its time finding the next '<' or '>' a few
// bytes ahead.
template <char... Stops>
const char* findFirst(const char* p, const char* end)
{
#if defined(__SSE2__) || defined(_M_X64)
    while (end - p >= 16) {
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i hits = _mm_setzero_si128();
        ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(block, _mm_set1_epi8(Stops)))), ...);
        if (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits)))
            return p + lowestBit(mask);
        p += 16;
    }
#endif
    while (p < end && ((*p != Stops) && ...))
        ++p;
    return p;
}

// Follows the markup just closely enough to count open elements and the
// attributes of each start tag, the way the parser reads them: comments,
// CDATA, declarations and quoted values are skipped. Where it cannot
// tell, it counts another start tag, so it never sees less nesting than
// the parser does.
class BoundsScanner {
public:
    explicit BoundsScanner(std::string_view text)
        : m_begin(text.data()), m_p(text.data()), m_end(text.data() + text.size()), m_tag(text.data())
    {
    }

    // Offset of the '<' of the last tag looked at, and which bound it broke.
    std::size_t tagOffset() const { return static_cast<std::size_t>(m_tag - m_begin); }
    LoadError::Kind refusal() const { return m_refusal; }

    bool scan()
    {
        while (skipTo<'<'>()) {
            m_tag = m_p;
            ++m_p;
            if (m_p == m_end)
                return startElement();
            char first = *m_p;
            if (first != '/' && first != '!' && first != '?') {
                if (!startElement() || !startTag())
                    return false;
            } else if (first == '/') {
                if (!skipTo<'>'>())
                    return true;
                ++m_p;
                if (m_depth > 0)
                    --m_depth;
            } else if (startsWith("!--")) {
                if (!skipPast("-->", 3))
                    return true;
            } else if (startsWith("![CDATA[")) {
                if (!skipPast("]]>", 8))
                    return true;
            } else {
                if (!skipTo<'>'>())
                    return true;
                ++m_p;
            }
        }
        return true;
    }

private:
    template <char C>
    bool skipTo()
    {
        m_p = findFirst<C>(m_p, m_end);
        return m_p != m_end;
    }

    // Moves past `marker`, searching from `offset` characters on.
    bool skipPast(std::string_view marker, std::size_t offset)
    {
        std::string_view rest(m_p, static_cast<std::size_t>(m_end - m_p));
        std::size_t at = rest.find(marker, offset);
        if (at == std::string_view::npos) {
            m_p = m_end;
            return false;
        }
        m_p += at + marker.size();
        return true;
    }

    bool startsWith(std::string_view prefix) const
    {
        return static_cast<std::size_t>(m_end - m_p) >= prefix.size() && std::memcmp(m_p, prefix.data(), prefix.size()) == 0;
    }

    bool startElement()
    {
        m_attributes = 0;
        m_refusal = LoadError::Kind::TooDeep;
        return ++m_depth <= kMaxNesting;
    }

    bool tooManyAttributes()
    {
        m_refusal = LoadError::Kind::TooManyAttributes;
        return false;
    }

    // The rest of a start tag, from its name on. The common tag, without
    // quotes, takes one pass that stops only at '=' and '>'; any quote or
    // stray '<' takes the careful one.
    bool startTag()
    {
        int attributes = 0;
        const char* q = findFirst<'=', '>', '"', '\'', '<'>(m_p, m_end);
        for (; q < m_end && *q == '='; q = findFirst<'=', '>', '"', '\'', '<'>(q + 1, m_end))
            ++attributes;
        if (q < m_end && *q == '>') {
            if (attributes > kMaxAttributes)
                return tooManyAttributes();
            if (q > m_p && q[-1] == '/')
                --m_depth;
            m_p = q + 1;
            return true;
        }
        return startTagCarefully(std::string_view(m_p, static_cast<std::size_t>(m_end - m_p)));
    }

    bool startTagCarefully(std::string_view rest)
    {
        enum { InTag, AfterEquals, Quoted, Unquoted } state = InTag;
        char quote = 0, last = 0;
        for (const char* q = rest.data(); q < rest.data() + rest.size(); ++q) {
            char c = *q;
            switch (state) {
            case AfterEquals:
                if (isSpace(c))
                    continue;
                if (c == '"' || c == '\'') {
                    quote = c;
                    state = Quoted;
                    continue;
                }
                state = Unquoted;
                break;
            case Quoted:
                if (c == quote) {
                    state = InTag;
                    last = c;
                }
                continue;
            case Unquoted:
                if (!isSpace(c) && c != '/' && c != '>' && c != '<')
                    continue;
                state = InTag;
                break;
            case InTag:
                break;
            }
            if (c == '=') {
                state = AfterEquals;
                if (++m_attributes > kMaxAttributes)
                    return tooManyAttributes();
            } else if (c == '>') {
                if (last == '/' && m_depth > 0)
                    --m_depth;
                m_p = q + 1;
                return true;
            } else if (c == '<') {
                // Not markup the parser accepts; counted as another element.
                m_tag = q;
                if (!startElement())
                    return false;
                last = 0;
            } else if (!isSpace(c)) {
                last = c;
            }
        }
        m_p = m_end;
        return true;
    }

    const char* m_begin;
    const char* m_p;
    const char* m_end;
    const char* m_tag;
    int m_depth = 0;
    int m_attributes = 0;
    LoadError::Kind m_refusal = LoadError::Kind::None;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// A file's bytes, read straight into one buffer with room for a final NUL.
struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
};

// The whole file, or false when it cannot be read; `systemError` then
// holds errno.
bool readFile(const char* path, FileBytes& bytes, int& systemError)
{
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file) {
        systemError = errno;
        return false;
    }
    // The size is only a hint: some file systems report a meaningless
    // length for directories, so the buffer grows if the hint was short.
    std::size_t capacity = 1 << 16;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) {
        long length = std::ftell(file.get());
        if (length > 0 && static_cast<unsigned long long>(length) < (1ull << 40))
            capacity = static_cast<std::size_t>(length) + 1;
        std::rewind(file.get());
    }
    bytes.data.reset(new char[capacity]);
    for (;;) {
        errno = 0;
        bytes.size += std::fread(bytes.data.get() + bytes.size, 1, capacity - bytes.size, file.get());
        if (bytes.size < capacity) {
            systemError = errno;
            return !std::ferror(file.get());
        }
        std::unique_ptr<char[]> larger(new char[capacity * 2]);
        std::memcpy(larger.get(), bytes.data.get(), bytes.size);
        bytes.data = std::move(larger);
        capacity *= 2;
    }
}

// As TinyXML's LoadFile does before parsing: the text ends at the first
// NUL byte, and CR LF and lone CR become LF. Returns the text's length.
std::size_t normalizeNewlines(FileBytes& bytes)
{
    char* text = bytes.data.get();
    text[bytes.size] = '\0';
    std::size_t length = std::strlen(text);
    char* cr = static_cast<char*>(std::memchr(text, '\r', length));
    if (!cr)
        return length;
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
    *write = '\0';
    return static_cast<std::size_t>(write - text);
}

// UTF-16 and UTF-32 text starts with a byte order mark, or with a '<'
// that has NUL bytes beside it.
bool looksWide(const FileBytes& bytes)
{
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes.data.get());
    auto starts = [&](std::string_view prefix) {
        return bytes.size >= prefix.size() && std::memcmp(b, prefix.data(), prefix.size()) == 0;
    };
    using namespace std::literals;
    return starts("\xFF\xFE"sv) || starts("\xFE\xFF"sv) || starts("\0\0\xFE\xFF"sv) || starts("<\0"sv) ||
           starts("\0<"sv) || starts("\0\0\0<"sv);
}

// How TinyXML counts columns: in a UTF-8 document one per character, a
// byte order mark and two other marks taking none; otherwise one per byte.
bool countsCharacters(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        return true;
    std::size_t start = text.find_first_not_of(" \t\n");
    if (start == std::string_view::npos || text.compare(start, 5, "<?xml") != 0)
        return false;
    TiXmlDocument declaration;
    declaration.Parse(std::string(text.substr(start, text.find("?>", start) + 2 - start)).c_str());
    std::string name = declaredEncoding(declaration);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    return name.empty() || name == "UTF-8" || name == "UTF8";
}

LoadError failure(LoadError::Kind kind, std::string_view text = {}, std::size_t offset = 0)
{
    LoadError error;
    error.kind = kind;
    if (!text.empty()) {
        TextPosition at = positionOf(text, offset);
        error.row = at.row;
        error.column = at.column;
    }
    return error;
}

} // namespace

bool withinDocumentBounds(std::string_view text)
{
    return BoundsScanner(text).scan();
}

TextPosition positionOf(std::string_view text, std::size_t offset)
{
    constexpr int kTabSize = 4;
    bool characters = countsCharacters(text);
    int row = 0, column = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* end = p + std::min(offset, text.size());
    while (p < end) {
        if (*p == '\n') {
            ++row;
            column = 0;
            ++p;
        } else if (*p == '\t') {
            column = (column / kTabSize + 1) * kTabSize;
            ++p;
        } else if (!characters) {
            ++column;
            ++p;
        } else if (*p == 0xEF && end - p >= 3 && p[1] == 0xBB && p[2] == 0xBF) {
            p += 3; // byte order mark
        } else if (*p == 0xEF && end - p >= 3 && p[1] == 0xBF && (p[2] == 0xBE || p[2] == 0xBF)) {
            p += 3; // U+FFFE and U+FFFF
        } else {
            int length = TiXmlBase::utf8ByteTable[*p];
            p += length > 0 ? length : 1;
            ++column;
        }
    }
    return {row + 1, column + 1};
}

bool loadDocument(const char* path, TiXmlDocument& document, LoadError* error, Positions positions)
{
    LoadError unused;
    LoadError& why = error ? *error : unused;
    why = LoadError();
    FileBytes bytes;
    if (!readFile(path, bytes, why.systemError)) {
        why.kind = LoadError::Kind::CannotRead;
        return false;
    }
    // TinyXML reads only the part before the first NUL: of UTF-16 text
    // without a byte order mark that is one "<", which it takes as a
    // document of nothing.
    if (looksWide(bytes)) {
        why = failure(LoadError::Kind::WideEncoding);
        return false;
    }
    std::string_view text(bytes.data.get(), normalizeNewlines(bytes));
    BoundsScanner scanner(text);
    if (!text.empty() && !scanner.scan()) {
        why = failure(scanner.refusal(), text, scanner.tagOffset());
        return false;
    }
    if (!text.empty()) {
        document.SetTabSize(positions == Positions::Tracked ? 4 : 0);
        document.Parse(text.data(), nullptr, TIXML_DEFAULT_ENCODING);
        if (!document.Error())
            return true;
    }
    if (text.empty() || document.ErrorId() == TiXmlBase::TIXML_ERROR_DOCUMENT_EMPTY) {
        why = failure(LoadError::Kind::Empty);
    } else {
        // The place of the error, as TinyXML tells it with its default tab
        // size, when this parse did not keep positions.
        TiXmlDocument located;
        if (positions == Positions::Untracked)
            located.Parse(text.data(), nullptr, TIXML_DEFAULT_ENCODING);
        const TiXmlDocument& parsed = positions == Positions::Untracked ? located : document;
        why = failure(LoadError::Kind::NotWellFormed);
        why.row = parsed.ErrorRow();
        why.column = parsed.ErrorCol();
        why.detail = parsed.ErrorDesc();
    }
    return false;
}

std::string declaredEncoding(const TiXmlDocument& document)
{
    for (const TiXmlNode* node = document.FirstChild(); node; node = node->NextSibling())
        if (const TiXmlDeclaration* declaration = node->ToDeclaration())
            return declaration->Encoding();
    return "";
}

} // namespace document
