// Hostile and malformed files through hostsim: none may crash it, hang it
// or leave anything in the store but what the readable part gives.
#include <climits>
#include <filesystem>
#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

std::string q(const std::string& s)
{
    return "'" + s + "'";
}

// hostsim's exit status and the store it dumps.
struct Outcome {
    int status;
    Json store;
};

Outcome import(const std::string& path)
{
    TempFile dump("", "dump.json");
    CommandResult result = run(q(HOSTSIM_PATH) + " --plugin " + q(PLUGIN_PATH) + " --json " + q(dump.path()) + " " +
                               q(path) + " >/dev/null 2>&1");
    std::string text = readFile(dump.path());
    return {result.status, text.empty() ? Json() : Json::parse(text)};
}

Outcome importContent(const std::string& content)
{
    TempFile file(content);
    return import(file.path());
}

std::string floorFile(const std::string& storyName)
{
    return dictionary(table("FloorTable", row("1", element("StoryName", storyName))));
}

TEST(HostileInput, MalformedOrTruncatedFilesLeaveTheStoreEmpty)
{
    const std::string sample = readFile(std::string(SAMPLES_DIR) + "/sample.xml");
    for (int tenth = 1; tenth <= 9; ++tenth) {
        Outcome outcome = importContent(sample.substr(0, sample.size() * tenth / 10));
        EXPECT_EQ(outcome.status, 1) << "not imported" << tenth << "/10";
        EXPECT_EQ(recordCount(outcome.store), 0u) << tenth << "/10";
    }
    const struct {
        const char* what;
        std::string content;
    } cases[] = {
        {"unclosed tags", "<D><Pairs><Pair><Key>ModelDB</Key><Value><Pairs><Pair><Key>NodeTable"},
        {"a NUL byte inside the document", floorFile(std::string("a\0b", 3))},
        {"only a byte order mark", "\xEF\xBB\xBF"},
        {"random bytes", [] {
             std::mt19937 random(42);
             std::string bytes(1 << 20, '\0');
             for (char& c : bytes)
                 c = static_cast<char>(random());
             return bytes;
         }()},
        {"markup-like random text", [] {
             std::mt19937 random(7);
             const char pieces[] = "<>/=\"'!-?[]abc ";
             std::string text;
             for (int i = 0; i < (1 << 20); ++i)
                 text += pieces[random() % (sizeof pieces - 1)];
             return text;
         }()},
    };
    for (const auto& c : cases) {
        Outcome outcome = importContent(c.content);
        EXPECT_EQ(outcome.status, 1) << "not imported" << c.what;
        EXPECT_EQ(recordCount(outcome.store), 0u) << c.what;
    }
}

TEST(HostileInput, OddButReadableFilesImportWhatTheyHold)
{
    std::string crlf = floorFile("第1层");
    for (std::size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2))
        crlf.replace(at, 1, "\r\n");
    const struct {
        const char* what;
        std::string content;
        const char* storyName;
    } cases[] = {
        {"UTF-8 byte order mark", "\xEF\xBB\xBF" + floorFile("第1层"), "第1层"},
        {"CR LF line ends", crlf, "第1层"},
        {"CR LF inside a text", floorFile("a\r\n  b"), "a b"},
        // Stored byte for byte; the dump writes each stray byte as \u00XX,
        // which reads back as that code point.
        {"invalid UTF-8 kept byte for byte", floorFile("x\xff\xfe\xc3y"), "x\u00ff\u00fe\u00c3y"},
        {"a NUL byte after the root", floorFile("n") + std::string("\0<<<<", 5), "n"},
    };
    for (const auto& c : cases) {
        Outcome outcome = importContent(c.content);
        ASSERT_EQ(rows(outcome.store, "model", "Floor").size(), 1u) << c.what;
        EXPECT_EQ(rows(outcome.store, "model", "Floor")[0]["value"]["StoryName"], c.storyName) << c.what;
    }
}

TEST(HostileInput, ExtremeNumbersAndKeys)
{
    std::string digits(10000, '7');
    std::string rowsXml = row(digits, element("x", digits) + element("y", "-" + digits)) +
                          row("-" + digits, element("x", "1e-" + digits)) + row("2147483647", element("x", "1")) +
                          row("-2147483648", element("x", "2")) + row("2147483648", element("x", "3")) +
                          row("0." + digits, element("x", "4"));
    std::string xml = dictionary(table("NodeTable", rowsXml) +
                                 table("FloorTable", row("1", element("Num", digits) + element("Heigh", digits))));
    Outcome outcome = importContent(xml);
    const Json expected = Json::parse(R"([
        {"key":-2147483648,"value":{"x":2,"y":0}},
        {"key":0,"value":{"x":4,"y":0}},
        {"key":2147483647,"value":{"x":3,"y":0}}])");
    EXPECT_EQ(rows(outcome.store, "model", "Node"), expected);
    const Json& floor = rows(outcome.store, "model", "Floor").at(0)["value"];
    EXPECT_EQ(floor["Num"], INT_MAX);
    EXPECT_EQ(floor["Heigh"], "inf");
}

TEST(HostileInput, OneHundredMegabytesInOneElement)
{
    TempFile file("");
    {
        std::ofstream out(file.path(), std::ios::binary);
        std::string head = floorFile("@");
        std::size_t at = head.find('@');
        out << head.substr(0, at);
        std::string block(1 << 20, 'a');
        for (int i = 0; i < 100; ++i)
            out << block;
        out << head.substr(at + 1);
    }
    TempFile dump("", "dump.json");
    CommandResult result = run(q(HOSTSIM_PATH) + " --plugin " + q(PLUGIN_PATH) + " --json " + q(dump.path()) + " " +
                               q(file.path()) + " 2>&1");
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("Floor                         1"), std::string::npos) << result.out;
    EXPECT_GT(fs::file_size(dump.path()), 100u << 20);
}

TEST(HostileInput, OneMillionSiblingRows)
{
    TempFile file("");
    {
        std::ofstream out(file.path(), std::ios::binary);
        std::string head = dictionary(table("NodeTable", "@"));
        std::size_t at = head.find('@');
        out << head.substr(0, at);
        for (int i = 1; i <= 1000000; ++i)
            out << "<Pair><Key><Value>" << i << "</Value></Key><Value><x>" << i << "</x></Value></Pair>\n";
        out << head.substr(at + 1);
    }
    CommandResult result = run(q(HOSTSIM_PATH) + " --plugin " + q(PLUGIN_PATH) + " " + q(file.path()) + " 2>&1");
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("Node                    1000000"), std::string::npos) << result.out;
}

} // namespace
