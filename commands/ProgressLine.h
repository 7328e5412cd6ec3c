// One line of progress on standard error for work on large files: the
// command, the file, the stage and how far it got ("dictcheck: model.xml:
// importing 42%"). Drawn only on a terminal, and only once a file has
// taken a second, so that quick runs and redirected output show nothing;
// redrawn at most ten times a second, and erased before anything else is
// said.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace commands {

// Erases the line of progress on the terminal, if one is drawn: whatever
// a command says through put() or print() starts a clean line.
void eraseProgress();

class ProgressLine {
public:
    // Seconds from any fixed moment.
    using Clock = std::function<double()>;

    // Draws on standard error when it is a terminal.
    explicit ProgressLine(const char* tool);
    // Draws on `out` when `shown`, timed by `now`.
    ProgressLine(const char* tool, std::FILE* out, bool shown, Clock now);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Work on `file` starts: the second's delay starts again.
    void begin(const std::string& file);
    // The stage the work on the file has reached, with its percent (-1:
    // none to tell).
    void stage(const char* stage, int percent = -1);
    // An import's step (`RunFeedback::steps`): step 0 is "loading", each
    // later one "importing" with the steps done so far as the percent.
    void importStep(int step, int count);
    // Erases the line, if drawn, so that what follows starts a clean line.
    void clear();
    // The file's work is done: erases the line.
    void end();

    // The longest line drawn, so that it fits a terminal of 80 columns.
    static constexpr std::size_t kWidth = 79;

private:
    void draw(std::string line);

    std::string m_tool;
    std::FILE* m_out;
    bool m_shown;
    Clock m_now;
    std::string m_file;
    bool m_active = false;
    double m_start = 0;
    double m_drawnAt = -1;
    std::string m_drawn; // the line on the terminal now, "" when none
    std::string m_last;  // the last line asked for
};

} // namespace commands
