#include "commands/ProgressLine.h"

#include <chrono>

#include "commands/OutputFile.h"
#include "text/Escapes.h"

namespace commands {

namespace {

constexpr double kDelay = 1.0;     // seconds of work before the line shows
constexpr double kInterval = 0.1;  // seconds between two draws

double steadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Characters of UTF-8 text (continuation bytes not counted).
std::size_t columns(const std::string& text)
{
    std::size_t n = 0;
    for (char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// The end of `text` in at most `width` characters, "…" before it when cut:
// a path keeps its file name.
std::string tail(const std::string& text, std::size_t width)
{
    if (columns(text) <= width)
        return text;
    std::size_t keep = width - 1, start = text.size();
    while (start > 0 && keep > 0) {
        --start;
        if ((static_cast<unsigned char>(text[start]) & 0xC0) != 0x80)
            --keep;
    }
    while (start < text.size() && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        ++start;
    return "\xE2\x80\xA6" + text.substr(start);
}

// The line that is on the terminal now, if any.
ProgressLine* g_drawn = nullptr;

} // namespace

void eraseProgress()
{
    if (g_drawn)
        g_drawn->clear();
}

ProgressLine::ProgressLine(const char* tool)
    : ProgressLine(tool, stderr, filesystem::isTerminal(stderr), steadySeconds)
{
}

ProgressLine::ProgressLine(const char* tool, std::FILE* out, bool shown, Clock now)
    : m_tool(tool), m_out(out), m_shown(shown), m_now(std::move(now))
{
}

ProgressLine::~ProgressLine()
{
    end();
    if (g_drawn == this)
        g_drawn = nullptr;
}

void ProgressLine::begin(const std::string& file)
{
    clear();
    m_file = text::shown(file);
    m_active = m_shown;
    m_start = m_active ? m_now() : 0;
    m_drawnAt = -1;
    m_last.clear();
}

void ProgressLine::stage(const char* stage, int percent)
{
    if (!m_active)
        return;
    std::string what = stage;
    if (percent >= 0)
        what += " " + std::to_string(percent > 100 ? 100 : percent) + "%";
    // The file takes what the command's name and the stage leave.
    std::size_t fixed = columns(m_tool) + 2 + 2 + columns(what);
    std::string file = fixed + 8 < kWidth ? tail(m_file, kWidth - fixed) : tail(m_file, 8);
    m_last = m_tool + ": " + file + ": " + what;
    double now = m_now();
    if (now - m_start < kDelay || (m_drawnAt >= 0 && now - m_drawnAt < kInterval))
        return;
    m_drawnAt = now;
    draw(m_last);
}

void ProgressLine::importStep(int step, int count)
{
    if (step <= 0 || count <= 0)
        stage("loading");
    else
        stage("importing", (step - 1) * 100 / count);
}

void ProgressLine::clear()
{
    if (!m_drawn.empty())
        draw("");
    m_drawnAt = -1;
}

void ProgressLine::end()
{
    clear();
    m_active = false;
}

void ProgressLine::draw(std::string line)
{
    if (line == m_drawn)
        return;
    // Spaces over what the previous line had beyond this one; no escape
    // sequence, which not every console takes.
    std::size_t width = columns(line), before = columns(m_drawn);
    std::string out = "\r" + line;
    if (before > width)
        out += std::string(before - width, ' ') + "\r" + line;
    if (line.empty() && before == 0)
        return;
    std::fwrite(out.data(), 1, out.size(), m_out);
    std::fflush(m_out);
    m_drawn = std::move(line);
    g_drawn = m_drawn.empty() ? nullptr : this;
}

} // namespace commands
