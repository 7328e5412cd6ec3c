// POSIX side of TextDecoder: glibc's iconv.
#include <cerrno>
#include <iconv.h>

#include "commands/TextDecoder.h"

namespace commands {

struct TextDecoder::State {
    iconv_t cd;
};

TextDecoder::TextDecoder(const std::string& encoding)
{
    if (encoding.empty() || namesUtf8(encoding) || namesWideEncoding(encoding))
        return;
    iconv_t cd = iconv_open("UTF-8", encoding.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        m_known = false;
        return;
    }
    m_state.reset(new State{cd});
}

TextDecoder::~TextDecoder()
{
    if (m_state)
        iconv_close(m_state->cd);
}

std::string TextDecoder::operator()(std::string_view bytes) const
{
    if (!m_state || bytes.empty())
        return std::string(bytes);
    // Every character of these encodings takes at most 4 bytes of UTF-8
    // for each byte it takes in the file.
    std::string out(bytes.size() * 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size(), outLeft = out.size();
    char* to = out.data();
    iconv(m_state->cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(m_state->cd, &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1) ||
        iconv(m_state->cd, nullptr, nullptr, &to, &outLeft) == static_cast<std::size_t>(-1)) {
        if (m_failures++ == 0)
            m_firstFailure = std::string(bytes);
        return std::string(bytes);
    }
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace commands
