// The tools around the plug-in held to its standard, as a hostile user
// tries them: texts that are not UTF-8 reach every JSON output, texts that
// would steer a terminal reach every text output, targets that are not the
// tool's own, links and named pipes as targets, formulas in CSV cells.
#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <string_view>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "text/Escapes.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

const std::string kDictcheck = DICTCHECK_PATH;
const std::string kHostsim = HOSTSIM_PATH;
const std::string kDictdiff = DICTDIFF_PATH;
const std::string kModelgen = MODELGEN_PATH;
const std::string kSample = std::string(SAMPLES_DIR) + "/sample.xml";

void write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// One storey, one node and a table no reader reads, with the texts given.
std::string model(const std::string& storeyName, const std::string& height = "3300",
                  const std::string& unreadTable = "")
{
    std::string tables = table("FloorTable", row("1", element("StoryName", storeyName) + element("Heigh", height) +
                                                        element("Elevation", "0")));
    tables += table("NodeTable", row("1", "<x>0</x><y>0</y>"));
    if (!unreadTable.empty())
        tables += table(unreadTable, row("1", "<x>0</x>"));
    return dictionary(tables);
}

bool parses(const std::string& path)
{
    try {
        return !Json::parse(readFile(path)).is_null();
    } catch (const std::exception&) {
        return false;
    }
}

// Files whose texts are not UTF-8, each the way a user meets it.
struct Hostile {
    const char* what;
    std::string name; // the file's name
    std::string xml;
};

std::vector<Hostile> notUtf8Files()
{
    std::string gbk = model("\xb5\xda" "1\xb2\xe3", "3300", "\xb1\xed" "Table");
    gbk.replace(0, gbk.find("?>"), "<?xml version=\"1.0\" encoding=\"GBK\"");
    return {
        {"a GBK file declared so", "gbk.xml", gbk},
        {"a reference to a surrogate", "surrogate.xml", model("A&#xD800;B")},
        {"a stray byte in a number", "number.xml", model("A", "33\xff" "00")},
        {"a file name that is not UTF-8", "\xb5\xda" "1.xml", model("A")},
        {"a table name of control characters", "controls.xml", model("A", "3300", "T\x1b\x07\x7f\xc2\x9b")},
    };
}

// dictcheck, hostsim and dictdiff finish normally on every such file, and
// every JSON they write parses; the JSON and the page are both written.
TEST(HostileTools, TextsThatAreNotUtf8NeverAbortAnyOutput)
{
    for (const Hostile& h : notUtf8Files()) {
        Directory dir;
        std::string file = dir.at(h.name);
        write(file, h.xml);
        Output check = runWithErrors(quote(kDictcheck) + " --json " + quote(dir.at("r.json")) + " --html " +
                                     quote(dir.at("r.html")) + " --svg-dir " + quote(dir.at("plans")) + " " +
                                     quote(file));
        EXPECT_LT(check.status, 2) << h.what << ": " << check.errors;
        EXPECT_TRUE(parses(dir.at("r.json"))) << h.what;
        EXPECT_TRUE(fs::exists(dir.at("r.html"))) << h.what;
        EXPECT_TRUE(fs::exists(dir.at("plans/01-floor1.svg"))) << h.what;

        Output host = runWithErrors(quote(kHostsim) + " --json " + quote(dir.at("d.json")) + " " + quote(file));
        EXPECT_EQ(host.status, 0) << h.what << ": " << host.errors;
        EXPECT_TRUE(parses(dir.at("d.json"))) << h.what;

        Output diff = runWithErrors(quote(kDictdiff) + " --json " + quote(dir.at("c.json")) + " --csv " +
                                    quote(dir.at("c.csv")) + " --html " + quote(dir.at("c.html")) + " " +
                                    quote(kSample) + " " + quote(file));
        EXPECT_EQ(diff.status, 1) << h.what << ": " << diff.errors;
        EXPECT_TRUE(parses(dir.at("c.json"))) << h.what;
        EXPECT_TRUE(fs::exists(dir.at("c.csv"))) << h.what;
        EXPECT_TRUE(fs::exists(dir.at("c.html"))) << h.what;
    }
}

// Whether a text holds a byte a terminal acts on (text::hasControls),
// but CR LF, a CSV's line end.
bool rawControls(std::string text)
{
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    return text::hasControls(text);
}

TEST(HostileTools, TextsFromAFileNeverReachTheTerminalRaw)
{
    Directory dir;
    const std::string forged = "\x1b]0;owned\x07\r\xc2\x9b" "2Jall imported\x9b";
    std::string file = dir.at("name" + std::string("\x1b[31m") + ".xml");
    write(file, model("Storey" + forged, "33" + forged, "Table" + forged));
    const std::vector<std::string> lines = {
        quote(kDictcheck) + " " + quote(file),
        quote(kDictcheck) + " --json - " + quote(file),
        quote(kHostsim) + " " + quote(file),
        quote(kHostsim) + " --json - " + quote(file),
        quote(kDictdiff) + " " + quote(kSample) + " " + quote(file),
        quote(kDictdiff) + " --csv - " + quote(kSample) + " " + quote(file),
        quote(kDictdiff) + " --json - " + quote(kSample) + " " + quote(file),
        quote(kDictcheck) + " --json " + quote(dir.at("none\x1b/r.json")) + " " + quote(file),
    };
    for (const std::string& line : lines) {
        Output result = runWithErrors(line);
        EXPECT_LT(result.status, 128) << line;
        EXPECT_FALSE(rawControls(result.out)) << line << "\n" << result.out.substr(0, 2000);
        EXPECT_FALSE(rawControls(result.errors)) << line << "\n" << result.errors.substr(0, 2000);
        EXPECT_NE((result.out + result.errors).find("\\x1b"), std::string::npos) << line;
    }
}

// dictcheck --svg-dir replaces a file under a plan's name only when it is
// one of dictcheck's plans (links followed), never an input, and says so
// before any work: nothing in the folder changes then.
TEST(HostileTools, PlanDirectorysKeepWhatDictcheckDidNotWrite)
{
    const std::string ours = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- format: dictimport-plan/1 -->\n<svg/>\n";
    const std::string earlier = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
                                "class=\"plan\" viewBox=\"0 0 1 1\"/>\n";
    const struct {
        const char* what;
        void (*prepare)(const Directory& outside, const std::string& plans, const std::string& ours,
                        const std::string& earlier);
        bool accepted;
    } cases[] = {
        {"a file of the user's under a plan's name",
         [](const Directory&, const std::string& plans, const std::string&, const std::string&) {
             write(plans + "/01-floor1.svg", "my drawing");
         },
         false},
        {"a link under a plan's name to a file of the user's",
         [](const Directory& outside, const std::string& plans, const std::string&, const std::string&) {
             write(outside.at("mine.svg"), "my drawing");
             fs::create_symlink(outside.at("mine.svg"), plans + "/02-floor2.svg");
         },
         false},
        {"a link under a plan's name to nothing",
         [](const Directory& outside, const std::string& plans, const std::string&, const std::string&) {
             fs::create_symlink(outside.at("missing.svg"), plans + "/03-floor3.svg");
         },
         false},
        {"the file to check, under a plan's name",
         [](const Directory&, const std::string& plans, const std::string&, const std::string&) {
             fs::copy_file(kSample, plans + "/04-floor4.svg");
         },
         false},
        {"a plan dictcheck wrote",
         [](const Directory&, const std::string& plans, const std::string& ours, const std::string&) {
             write(plans + "/01-floor1.svg", ours);
         },
         true},
        {"a plan an earlier dictcheck wrote",
         [](const Directory&, const std::string& plans, const std::string&, const std::string& earlier) {
             write(plans + "/06-floor6.svg", earlier);
         },
         true},
        {"files under other names",
         [](const Directory&, const std::string& plans, const std::string&, const std::string&) {
             write(plans + "/notes.txt", "x");
             write(plans + "/01-floor1.svg.bak", "x");
         },
         true},
    };
    for (const auto& c : cases) {
        Directory outside;
        Directory dir;
        std::string plans = dir.at("plans");
        fs::create_directory(plans);
        c.prepare(outside, plans, ours, earlier);
        std::string input = fs::exists(plans + "/04-floor4.svg") ? plans + "/04-floor4.svg" : kSample;
        std::map<std::string, std::string> before;
        for (const auto& entry : fs::directory_iterator(plans))
            before[entry.path().filename().string()] =
                fs::exists(entry.path()) ? readFile(entry.path().string()) : "(dangling)";
        Output result = runWithErrors(quote(kDictcheck) + " --svg-dir " + quote(plans) + " " + quote(input));
        if (c.accepted) {
            EXPECT_EQ(result.status, 0) << c.what << ": " << result.errors;
            EXPECT_EQ(readFile(plans + "/06-floor6.svg").find("<!-- format: dictimport-plan/1 -->"), 39u) << c.what;
            continue;
        }
        EXPECT_EQ(result.status, 2) << c.what;
        EXPECT_NE(result.errors.find("--svg-dir"), std::string::npos) << c.what << ": " << result.errors;
        EXPECT_EQ(result.out, "") << c.what << ": nothing is checked";
        std::map<std::string, std::string> after;
        for (const auto& entry : fs::directory_iterator(plans))
            after[entry.path().filename().string()] =
                fs::exists(entry.path()) ? readFile(entry.path().string()) : "(dangling)";
        EXPECT_EQ(after, before) << c.what;
        EXPECT_FALSE(fs::exists(outside.at("missing.svg"))) << c.what;
        if (fs::exists(outside.at("mine.svg"))) {
            EXPECT_EQ(readFile(outside.at("mine.svg")), "my drawing") << c.what;
        }
    }
}

// What each command writes to a named target.
struct Writer {
    const char* name;
    std::string (*line)(const std::string& target);
};

const Writer kWriters[] = {
    {"hostsim --json", [](const std::string& t) { return quote(kHostsim) + " --json " + quote(t) + " " + quote(kSample); }},
    {"dictcheck --json",
     [](const std::string& t) { return quote(kDictcheck) + " --json " + quote(t) + " " + quote(kSample); }},
    {"dictcheck --html",
     [](const std::string& t) { return quote(kDictcheck) + " --html " + quote(t) + " " + quote(kSample); }},
    {"dictdiff --json",
     [](const std::string& t) {
         return quote(kDictdiff) + " --json " + quote(t) + " " + quote(kSample) + " " + quote(kSample);
     }},
    {"dictdiff --csv",
     [](const std::string& t) {
         return quote(kDictdiff) + " --csv " + quote(t) + " " + quote(kSample) + " " +
                quote(std::string(SOURCE_DIR) + "/tests/data/numbers.xml");
     }},
    {"dictdiff --html",
     [](const std::string& t) {
         return quote(kDictdiff) + " --html " + quote(t) + " " + quote(kSample) + " " + quote(kSample);
     }},
    {"modelgen -o", [](const std::string& t) { return quote(kModelgen) + " --storeys 2 -o " + quote(t); }},
};

// A named pipe with a reader waiting gets the whole output, the same as a
// file does: it is opened once and written in place.
TEST(HostileTools, ANamedPipeIsWrittenOnceAndWhole)
{
    for (const Writer& writer : kWriters) {
        Directory dir;
        std::string fifo = dir.at("pipe");
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        std::string received;
        std::thread reader([&] {
            std::ifstream in(fifo, std::ios::binary);
            received.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        });
        Output piped = runWithErrors("timeout 60 " + writer.line(fifo));
        // A reader still waiting (the command never opened the pipe) is
        // given the end; without one, this open fails at once.
        int end = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (end >= 0)
            ::close(end);
        reader.join();
        Output filed = runWithErrors(writer.line(dir.at("file")));
        EXPECT_EQ(piped.status, filed.status) << writer.name << ": " << piped.errors;
        EXPECT_TRUE(fs::is_fifo(fifo)) << writer.name;
        EXPECT_GT(received.size(), 100u) << writer.name;
        EXPECT_EQ(received, readFile(dir.at("file"))) << writer.name;
    }
}

// A link to nothing is no target: writing through it would make a file
// wherever it points.
TEST(HostileTools, ALinkToNothingIsNoTarget)
{
    for (const Writer& writer : kWriters) {
        Directory dir;
        Directory elsewhere;
        fs::create_symlink(elsewhere.at("made.json"), dir.at("link"));
        Output result = runWithErrors(writer.line(dir.at("link")));
        EXPECT_EQ(result.status, 2) << writer.name;
        EXPECT_NE(result.errors.find("symbolic link to nothing"), std::string::npos) << writer.name << ": "
                                                                                     << result.errors;
        EXPECT_FALSE(fs::exists(elsewhere.at("made.json"))) << writer.name;
    }
}

// modelgen replaces only a model it wrote: a real model of the same name,
// or a read-only file, is refused before anything is written.
TEST(HostileTools, ModelgenKeepsFilesItDidNotWrite)
{
    Directory dir;
    std::string target = dir.at("model.xml");
    fs::copy_file(kSample, target);
    std::string real = readFile(kSample);
    real.replace(real.find("<!--"), real.find("-->") + 3 - real.find("<!--"), "");
    write(target, real);
    Output refused = runWithErrors(quote(kModelgen) + " --storeys 1 -o " + quote(target));
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.errors.find("not a model written by modelgen"), std::string::npos) << refused.errors;
    EXPECT_EQ(readFile(target), real);

    Output replaced = runWithErrors(quote(kModelgen) + " --storeys 6 --bays-x 4 --bays-y 3 --seed 2026 -o " +
                                    quote(dir.at("again.xml")));
    ASSERT_EQ(replaced.status, 0);
    EXPECT_EQ(readFile(dir.at("again.xml")), readFile(kSample)) << "the sample is modelgen's, mark and all";
    EXPECT_EQ(runWithErrors(quote(kModelgen) + " --storeys 1 -o " + quote(dir.at("again.xml"))).status, 0);
}

} // namespace
