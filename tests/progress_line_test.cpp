// The line of progress the commands draw on a terminal: when it shows, what
// it says, how it gives way to other output; and the import's steps it is
// fed from.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "commands/Console.h"
#include "commands/ProgressLine.h"
#include "hostsim/store/Store.h"
#include "plugin/CMBMBNReaderImpl.h"

namespace {

// A progress line drawing into a temporary file, on a clock the test sets.
struct Drawn {
    explicit Drawn(bool shown = true, const char* tool = "dictcheck")
        : file(std::tmpfile()), line(tool, file, shown, [this] { return now; })
    {
    }
    ~Drawn()
    {
        line.end();
        std::fclose(file);
    }

    // What was written since the last call.
    std::string take()
    {
        std::fflush(file);
        long end = std::ftell(file);
        std::string bytes(static_cast<std::size_t>(end - read), '\0');
        std::fseek(file, read, SEEK_SET);
        std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
        bytes.resize(got);
        std::fseek(file, 0, SEEK_END);
        read = end;
        return bytes;
    }

    double now = 100;
    std::FILE* file;
    long read = 0;
    commands::ProgressLine line;
};

// Characters of UTF-8 text.
std::size_t columns(const std::string& text)
{
    std::size_t n = 0;
    for (char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

TEST(ProgressLine, ShowsNothingOffATerminalOrWithinTheFirstSecond)
{
    Drawn off(false);
    off.line.begin("model.xml");
    off.now += 5;
    off.line.stage("importing", 50);
    off.line.end();
    EXPECT_EQ(off.take(), "");

    Drawn quick;
    quick.line.begin("model.xml");
    quick.now += 0.9;
    quick.line.stage("importing", 50);
    quick.line.end();
    EXPECT_EQ(quick.take(), "") << "a file done within a second shows nothing";
}

TEST(ProgressLine, SaysFileStageAndPercentThenErasesItself)
{
    Drawn d;
    d.line.begin("model.xml");
    d.now += 1.5;
    d.line.importStep(0, 31);
    EXPECT_EQ(d.take(), "\rdictcheck: model.xml: loading");
    d.now += 0.5;
    d.line.importStep(13, 31);
    EXPECT_EQ(d.take(), "\rdictcheck: model.xml: importing 38%");
    d.now += 0.5;
    // Spaces over what the longer line before it had beyond it.
    d.line.stage("writing");
    EXPECT_EQ(d.take(), "\rdictcheck: model.xml: writing      \rdictcheck: model.xml: writing");
    d.line.end();
    EXPECT_EQ(d.take(), "\r" + std::string(29, ' ') + "\r");
    d.line.end();
    EXPECT_EQ(d.take(), "") << "nothing more to erase";
}

TEST(ProgressLine, DrawsAtMostTenTimesASecond)
{
    Drawn d;
    d.line.begin("model.xml");
    d.now += 2;
    std::vector<std::string> draws;
    for (int step = 1; step <= 31; ++step) {
        d.now += 0.01;
        d.line.importStep(step, 31);
        if (std::string s = d.take(); !s.empty())
            draws.push_back(s);
    }
    // 0.31 s of steps: the first, then one per tenth of a second.
    EXPECT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws.front(), "\rdictcheck: model.xml: importing 0%");
}

TEST(ProgressLine, FitsEightyColumnsKeepingTheFileNameAndShowsNoControls)
{
    const struct {
        const char* what;
        std::string path;
        std::string expectedEnd;
    } cases[] = {
        {"a long path keeps its end", std::string(200, 'd') + "/\xE6\xA8\xA1\xE5\x9E\x8B.xml",
         "/\xE6\xA8\xA1\xE5\x9E\x8B.xml: importing 96%"},
        {"a path of Chinese characters is cut between characters", std::string(90 * 3, '\0'),
         "\xE5\xB1\x82: importing 96%"},
        {"controls in a path are shown escaped", "a\x1b]0;owned\x07.xml", "a\\x1b]0;owned\\x07.xml: importing 96%"},
    };
    for (auto c : cases) {
        if (c.path[0] == '\0') {
            c.path.clear();
            for (int i = 0; i < 90; ++i)
                c.path += "\xE5\xB1\x82";
        }
        Drawn d;
        d.line.begin(c.path);
        d.now += 2;
        d.line.importStep(31, 31);
        std::string drawn = d.take();
        ASSERT_FALSE(drawn.empty()) << c.what;
        ASSERT_EQ(drawn[0], '\r') << c.what;
        std::string text = drawn.substr(1);
        EXPECT_LE(columns(text), commands::ProgressLine::kWidth) << c.what;
        EXPECT_EQ(text.substr(0, 11), "dictcheck: ") << c.what;
        EXPECT_EQ(text.compare(text.size() - c.expectedEnd.size(), std::string::npos, c.expectedEnd), 0)
            << c.what << ": " << text;
        EXPECT_EQ(text.find('\x1b'), std::string::npos) << c.what;
        EXPECT_EQ(text.find('\x07'), std::string::npos) << c.what;
    }
}

TEST(ProgressLine, GivesWayToWhatTheCommandSays)
{
    Drawn d;
    d.line.begin("model.xml");
    d.now += 2;
    d.line.stage("loading");
    EXPECT_EQ(d.take(), "\rdictcheck: model.xml: loading");
    std::FILE* other = std::tmpfile();
    ASSERT_TRUE(commands::put(other, "model.xml: complete\n"));
    std::fclose(other);
    EXPECT_EQ(d.take(), "\r" + std::string(29, ' ') + "\r") << "erased before the text is written";
    d.now += 0.05;
    d.line.stage("importing", 3);
    EXPECT_EQ(d.take(), "\rdictcheck: model.xml: importing 3%") << "drawn again at once after it gave way";
}

TEST(ProgressLine, AnImportTellsLoadingThenEveryStepInOrder)
{
    std::vector<std::pair<int, int>> told;
    CMBMBNReaderImpl reader(nullptr, RunFeedback{false, false, [&](int step, int count) {
                                                     told.emplace_back(step, count);
                                                 }});
    hoststore::clearStore();
    ASSERT_TRUE(reader.importFile((std::string(SAMPLES_DIR) + "/sample.xml").c_str()));
    ASSERT_EQ(told.size(), 32u);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(told[i], std::make_pair(i, 31));
    hoststore::clearStore();
}

} // namespace
