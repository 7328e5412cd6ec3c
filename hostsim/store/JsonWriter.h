// A small streaming JSON writer for the store dump. Reals are written in
// the shortest form that reads back to the same double; non-finite reals
// as "inf", "-inf" and "nan"; texts as every JSON writer here writes them
// (text/Escapes.h: control characters escaped, each byte that is not part
// of valid UTF-8 as \u00XX). Everything goes on one line,
// unless the writer is asked to break lines at the places its caller marks.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace hoststore {

class JsonWriter {
public:
    explicit JsonWriter(std::FILE* out, bool breakLines = false) : m_out(out), m_breakLines(breakLines) {}
    ~JsonWriter() { flush(); }

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }
    void key(std::string_view name);
    // Ends the document's last line.
    void newline() { raw("\n"); }
    // Marks a place for a line break: when the writer breaks lines, what
    // comes next (a key, a value or a closing bracket) starts a new line,
    // after the comma that separates it from what came before.
    void lineBreak() { m_lineBreakDue = m_breakLines; }

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
    void breakLineIfDue();
    void raw(std::string_view text);
    void drain();
    void string(std::string_view text);

    std::FILE* m_out;
    std::string m_buffer;
    std::vector<bool> m_first; // per open container: nothing written yet
    bool m_afterKey = false;
    bool m_breakLines;
    bool m_lineBreakDue = false;
    bool m_failed = false;
};

} // namespace hoststore
