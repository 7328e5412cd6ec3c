// Where generated XML goes: a stream (through a buffer of its own), a
// string, or nowhere, when only the bytes are counted.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace modelgen {

class XmlOut {
public:
    // A null stream counts the bytes and writes nothing.
    explicit XmlOut(std::FILE* out) : m_file(out) {}
    explicit XmlOut(std::string& out) : m_string(&out) {}
    XmlOut(const XmlOut&) = delete;
    XmlOut& operator=(const XmlOut&) = delete;
    ~XmlOut() { flush(); }

    void put(const char* text, std::size_t length)
    {
        m_bytes += static_cast<long long>(length);
        if (m_string) {
            m_string->append(text, length);
        } else if (m_file) {
            if (m_used + length > sizeof m_buffer) {
                flush();
                if (length > sizeof m_buffer) {
                    write(text, length);
                    return;
                }
            }
            std::memcpy(m_buffer + m_used, text, length);
            m_used += length;
        }
    }
    void raw(const char* text) { put(text, std::strlen(text)); }
    void raw(const std::string& text) { put(text.data(), text.size()); }
    void format(const char* pattern, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
    {
        char buffer[512];
        va_list args;
        va_start(args, pattern);
        int length = std::vsnprintf(buffer, sizeof buffer, pattern, args);
        va_end(args);
        if (length > 0)
            put(buffer, static_cast<std::size_t>(length) < sizeof buffer ? static_cast<std::size_t>(length)
                                                                          : sizeof buffer - 1);
    }
    // A text with the characters that would be markup escaped.
    void escaped(const std::string& text)
    {
        std::size_t from = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char* entity = text[i] == '<' ? "&lt;" : text[i] == '>' ? "&gt;" : text[i] == '&' ? "&amp;" : nullptr;
            if (!entity)
                continue;
            put(text.data() + from, i - from);
            raw(entity);
            from = i + 1;
        }
        put(text.data() + from, text.size() - from);
    }
    void open(const char* name)
    {
        put("<", 1);
        raw(name);
        put(">", 1);
    }
    void close(const char* name)
    {
        put("</", 2);
        raw(name);
        put(">", 1);
    }

    // Sends what the buffer holds to the stream.
    void flush()
    {
        if (m_used > 0)
            write(m_buffer, m_used);
        m_used = 0;
    }
    long long bytes() const { return m_bytes; }
    bool failed() const { return m_failed; }

private:
    void write(const char* text, std::size_t length)
    {
        if (std::fwrite(text, 1, length, m_file) != length)
            m_failed = true;
    }

    std::FILE* m_file = nullptr;
    std::string* m_string = nullptr;
    char m_buffer[1 << 16];
    std::size_t m_used = 0;
    long long m_bytes = 0;
    bool m_failed = false;
};

} // namespace modelgen
