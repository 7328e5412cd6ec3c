// A small streaming JSON writer for the store dump. Reals are written in
// the shortest form that reads back to the same double; non-finite reals
// as "inf", "-inf" and "nan"; texts as valid UTF-8, with each byte that is
// not part of valid UTF-8 written as \u00XX.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace hoststore {

class JsonWriter {
public:
    explicit JsonWriter(std::FILE* out) : m_out(out) {}
    ~JsonWriter() { flush(); }

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }
    void key(std::string_view name);
    // Ends the document's last line.
    void newline() { raw("\n"); }

    void value(int v);
    void value(long long v);
    void value(double v);
    void value(bool v);
    void value(std::string_view text);

    // Writes buffered output; false when the stream reported an error.
    bool flush();

private:
    void open(char bracket);
    void close(char bracket);
    void separate();
    void raw(std::string_view text);
    void drain();
    void string(std::string_view text);

    std::FILE* m_out;
    std::string m_buffer;
    std::vector<bool> m_first; // per open container: nothing written yet
    bool m_afterKey = false;
    bool m_failed = false;
};

} // namespace hoststore
