#include "document/DocumentLoad.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>

#include <tinyxml.h>

namespace document {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Follows the markup just closely enough to count open elements and the
// attributes of each start tag, the way the parser reads them: comments,
// CDATA, declarations and quoted values are skipped. Where it cannot
// tell, it counts another start tag, so it never sees less nesting than
// the parser does.
class BoundsScanner {
public:
    explicit BoundsScanner(std::string_view text) : m_p(text.data()), m_end(text.data() + text.size()) {}

    bool scan()
    {
        while (skipTo('<')) {
            ++m_p;
            if (m_p == m_end)
                return startElement();
            char first = *m_p;
            if (first != '/' && first != '!' && first != '?') {
                if (!startElement() || !startTag())
                    return false;
            } else if (first == '/') {
                if (!skipTo('>'))
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
                if (!skipTo('>'))
                    return true;
                ++m_p;
            }
        }
        return true;
    }

private:
    bool skipTo(char c)
    {
        // Most runs are short: look at a few bytes before calling memchr.
        for (const char* stop = m_p + std::min<std::ptrdiff_t>(32, m_end - m_p); m_p < stop; ++m_p)
            if (*m_p == c)
                return true;
        const void* found = std::memchr(m_p, c, static_cast<std::size_t>(m_end - m_p));
        m_p = found ? static_cast<const char*>(found) : m_end;
        return found != nullptr;
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
        return ++m_depth <= kMaxNesting;
    }

    // The rest of a start tag, from its name on. The common tag, without
    // quotes, takes one pass; any quote or stray '<' takes the careful one.
    bool startTag()
    {
        int attributes = 0;
        for (const char* q = m_p; q < m_end; ++q) {
            char c = *q;
            if (c == '>') {
                if (attributes > kMaxAttributes)
                    return false;
                if (q > m_p && q[-1] == '/')
                    --m_depth;
                m_p = q + 1;
                return true;
            }
            if (c == '=')
                ++attributes;
            else if (c == '"' || c == '\'' || c == '<')
                break;
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
                    return false;
            } else if (c == '>') {
                if (last == '/' && m_depth > 0)
                    --m_depth;
                m_p = q + 1;
                return true;
            } else if (c == '<') {
                // Not markup the parser accepts; counted as another element.
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

    const char* m_p;
    const char* m_end;
    int m_depth = 0;
    int m_attributes = 0;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// A file's bytes, read straight into one buffer with room for a final NUL.
struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
};

// The whole file, or false when it cannot be read.
bool readFile(const char* path, FileBytes& bytes)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file)
        return false;
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
        bytes.size += std::fread(bytes.data.get() + bytes.size, 1, capacity - bytes.size, file.get());
        if (bytes.size < capacity)
            return !std::ferror(file.get());
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

} // namespace

bool withinDocumentBounds(std::string_view text)
{
    return BoundsScanner(text).scan();
}

bool loadDocument(const char* path, TiXmlDocument& document)
{
    FileBytes bytes;
    if (!readFile(path, bytes))
        return false;
    std::string_view text(bytes.data.get(), normalizeNewlines(bytes));
    if (text.empty() || !withinDocumentBounds(text))
        return false;
    document.Parse(text.data(), nullptr, TIXML_DEFAULT_ENCODING);
    return !document.Error();
}

} // namespace document
