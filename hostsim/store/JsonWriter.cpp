#include "hostsim/store/JsonWriter.h"

#include <charconv>
#include <cmath>

#include "text/Escapes.h"

namespace hoststore {

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
    text::appendJsonString(m_buffer, text);
    if (m_buffer.size() >= (1u << 16))
        drain();
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
