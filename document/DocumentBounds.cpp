#include "document/DocumentBounds.h"

#include <cstdio>
#include <memory>

namespace document {

namespace {

// Follows the markup just closely enough to count open elements and the
// attributes of each start tag. Where it cannot tell, it counts a start
// tag, so it never sees less nesting than the parser does.
class BoundsScanner {
public:
    // False as soon as a bound is exceeded.
    bool feed(const char* data, std::size_t size)
    {
        for (std::size_t i = 0; i < size; ++i)
            if (!step(data[i]))
                return false;
        return true;
    }

private:
    enum class State {
        Text,
        Open,         // after '<'
        Bang,         // after "<!"
        BangDash,     // after "<!-"
        CdataOpen,    // inside "<![CDATA["
        Comment,      // until "-->"
        Cdata,        // until "]]>"
        SkipToClose,  // declarations, processing instructions: until '>'
        EndTag,       // until '>'
        StartTag,     // inside a start tag
        AfterEquals,  // between '=' and the value
        Quoted,       // a quoted attribute value
        Unquoted,     // an unquoted attribute value
    };

    bool startElement()
    {
        m_attributes = 0;
        m_lastInTag = 0;
        m_state = State::StartTag;
        return ++m_depth <= kMaxNesting;
    }

    void closeElement()
    {
        if (m_depth > 0)
            --m_depth;
    }

    bool step(char c)
    {
        switch (m_state) {
        case State::Text:
            if (c == '<')
                m_state = State::Open;
            return true;
        case State::Open:
            if (c == '/') {
                m_state = State::EndTag;
                return true;
            }
            if (c == '?') {
                m_state = State::SkipToClose;
                return true;
            }
            if (c == '!') {
                m_state = State::Bang;
                return true;
            }
            return startElement() && step(c);
        case State::Bang:
            if (c == '-') {
                m_state = State::BangDash;
            } else if (c == '[') {
                m_state = State::CdataOpen;
                m_matched = 0;
            } else {
                m_state = State::SkipToClose;
                return step(c);
            }
            return true;
        case State::BangDash:
            if (c == '-') {
                m_state = State::Comment;
                m_run = 0;
                return true;
            }
            m_state = State::SkipToClose;
            return step(c);
        case State::CdataOpen: {
            static const char kRest[] = "CDATA[";
            if (c == kRest[m_matched]) {
                if (++m_matched == 6) {
                    m_state = State::Cdata;
                    m_run = 0;
                }
                return true;
            }
            m_state = State::SkipToClose;
            return step(c);
        }
        case State::Comment:
            if (c == '>' && m_run >= 2)
                m_state = State::Text;
            m_run = (c == '-') ? m_run + 1 : 0;
            return true;
        case State::Cdata:
            if (c == '>' && m_run >= 2)
                m_state = State::Text;
            m_run = (c == ']') ? m_run + 1 : 0;
            return true;
        case State::SkipToClose:
            if (c == '>')
                m_state = State::Text;
            return true;
        case State::EndTag:
            if (c == '>') {
                closeElement();
                m_state = State::Text;
            }
            return true;
        case State::StartTag:
            return inStartTag(c);
        case State::AfterEquals:
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
                return true;
            if (c == '"' || c == '\'') {
                m_quote = c;
                m_state = State::Quoted;
                return true;
            }
            m_state = State::Unquoted;
            return step(c);
        case State::Quoted:
            if (c == m_quote) {
                m_state = State::StartTag;
                m_lastInTag = c;
            }
            return true;
        case State::Unquoted:
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '/' || c == '>' || c == '<') {
                m_state = State::StartTag;
                return step(c);
            }
            return true;
        }
        return true;
    }

    bool inStartTag(char c)
    {
        switch (c) {
        case '=':
            m_state = State::AfterEquals;
            return ++m_attributes <= kMaxAttributes;
        case '>':
            if (m_lastInTag == '/')
                closeElement();
            m_state = State::Text;
            return true;
        case '<':
            // Not markup the parser accepts; count it as another open element.
            return startElement();
        case ' ':
        case '\t':
        case '\n':
        case '\r':
            return true;
        default:
            m_lastInTag = c;
            return true;
        }
    }

    State m_state = State::Text;
    int m_depth = 0;
    int m_attributes = 0;
    int m_matched = 0;
    int m_run = 0;
    char m_quote = 0;
    char m_lastInTag = 0;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

bool withinDocumentBounds(const char* path)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file)
        return false;
    BoundsScanner scanner;
    std::unique_ptr<char[]> buffer(new char[1 << 16]);
    for (;;) {
        std::size_t got = std::fread(buffer.get(), 1, 1 << 16, file.get());
        if (!scanner.feed(buffer.get(), got))
            return false;
        if (got < (1 << 16))
            return !std::ferror(file.get());
    }
}

} // namespace document
