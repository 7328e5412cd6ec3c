// Windows side of TextDecoder: the system's code pages, by the names
// declarations give them.
#include <windows.h>

#include <cctype>

#include "commands/TextDecoder.h"

namespace commands {

struct TextDecoder::State {
    UINT codePage;
};

namespace {

const struct {
    const char* name;
    UINT codePage;
} kCodePages[] = {
    {"gbk", 936},          {"gb2312", 936},        {"cp936", 936},         {"gb18030", 54936},
    {"big5", 950},         {"cp950", 950},         {"shiftjis", 932},      {"sjis", 932},
    {"cp932", 932},        {"eucjp", 20932},       {"euckr", 51949},       {"cp949", 949},
    {"iso88591", 28591},   {"latin1", 28591},      {"iso885915", 28605},   {"windows1252", 1252},
    {"cp1252", 1252},      {"windows1251", 1251},  {"koi8r", 20866},       {"usascii", 20127},
    {"ascii", 20127},
};

} // namespace

TextDecoder::TextDecoder(const std::string& encoding)
{
    if (encoding.empty() || namesUtf8(encoding) || namesWideEncoding(encoding))
        return;
    std::string name;
    for (char c : encoding)
        if (c != '-' && c != '_')
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& known : kCodePages)
        if (name == known.name) {
            m_state.reset(new State{known.codePage});
            return;
        }
    m_known = false;
}

TextDecoder::~TextDecoder() = default;

std::string TextDecoder::operator()(std::string_view bytes) const
{
    if (!m_state || bytes.empty())
        return std::string(bytes);
    int size = static_cast<int>(bytes.size());
    int wide = MultiByteToWideChar(m_state->codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(wide > 0 ? wide : 0), L'\0');
    if (wide <= 0 ||
        MultiByteToWideChar(m_state->codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), wide) != wide) {
        if (m_failures++ == 0)
            m_firstFailure = std::string(bytes);
        return std::string(bytes);
    }
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, out.data(), length, nullptr, nullptr);
    return out;
}

} // namespace commands
