#include "hostsim/store/JsonWriter.h"

#include <charconv>
#include <cmath>

#include "text/Utf8.h"

namespace hoststore {

namespace {

const char kHex[] = "0123456789abcdef";

} // namespace

void JsonWriter::open(char bracket)
{
    separate();
    m_buffer.push_back(bracket);
    m_first.push_back(true);
}

void JsonWriter::close(char bracket)
{
    breakLineIfDue();
    m_buffer.push_back(bracket);
    m_first.pop_back();
}

void JsonWriter::separate()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back())
            m_buffer.push_back(',');
        m_first.back() = false;
    }
    breakLineIfDue();
}

void JsonWriter::breakLineIfDue()
{
    if (m_lineBreakDue) {
        m_buffer.push_back('\n');
        m_lineBreakDue = false;
    }
}

void JsonWriter::key(std::string_view name)
{
    separate();
    string(name);
    m_buffer.push_back(':');
    m_afterKey = true;
}

void JsonWriter::value(int v)
{
    value(static_cast<long long>(v));
}

void JsonWriter::value(long long v)
{
    separate();
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, v);
    raw(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void JsonWriter::value(double v)
{
    if (std::isnan(v))
        return value(std::string_view("nan"));
    if (std::isinf(v))
        return value(std::string_view(v > 0 ? "inf" : "-inf"));
    separate();
    char digits[32];
    auto result = std::to_chars(digits, digits + sizeof digits, v);
    raw(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void JsonWriter::value(bool v)
{
    separate();
    raw(v ? "true" : "false");
}

void JsonWriter::value(std::string_view text)
{
    separate();
    string(text);
}

void JsonWriter::string(std::string_view text)
{
    m_buffer.push_back('"');
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t length = platform::utf8SequenceLength(text.substr(i));
        if (length == 0 || c < 0x20 || c == '"' || c == '\\') {
            switch (c) {
            case '"': raw("\\\""); break;
            case '\\': raw("\\\\"); break;
            case '\n': raw("\\n"); break;
            case '\r': raw("\\r"); break;
            case '\t': raw("\\t"); break;
            case '\b': raw("\\b"); break;
            case '\f': raw("\\f"); break;
            default: {
                const char escape[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
                raw(std::string_view(escape, sizeof escape));
            }
            }
            ++i;
        } else {
            raw(text.substr(i, length));
            i += length;
        }
    }
    m_buffer.push_back('"');
}

void JsonWriter::raw(std::string_view text)
{
    m_buffer.append(text);
    if (m_buffer.size() >= (1u << 16))
        drain();
}

void JsonWriter::drain()
{
    if (!m_buffer.empty() && std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_out) != m_buffer.size())
        m_failed = true;
    m_buffer.clear();
}

bool JsonWriter::flush()
{
    drain();
    if (std::fflush(m_out) != 0)
        m_failed = true;
    return !m_failed;
}

} // namespace hoststore
