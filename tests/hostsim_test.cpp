// Whole runs through hostsim: file handling, exit status, the progress
// protocol per library life, and the plug-in's export table.
#include <dlfcn.h>
#include <sys/stat.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <regex>
#include <set>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "host/EventData.h"
#include "hostsim/framework/FrameworkHost.h"
#include "hostsim/store/Store.h"
#include "text/Utf8.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

const std::string kHostsim = HOSTSIM_PATH;
const std::string kPlugin = PLUGIN_PATH;

struct HostRun {
    int status;
    Json store;
    std::vector<std::string> progress; // PROGRESS_LOG lines (with the store's AddData lines when asked)
    std::string errors;                 // standard error
};

enum class Writes { NotLogged, Logged };

// Runs hostsim on the files with a fresh progress log, into which the
// store also logs its AddData calls when asked.
HostRun hostsim(const std::vector<std::string>& files, const std::string& plugin = kPlugin,
                Writes writes = Writes::NotLogged)
{
    TempFile scratch("", "progress.log");
    std::string dir = fs::path(scratch.path()).parent_path().string();
    std::string dump = dir + "/dump.json", errors = dir + "/stderr.txt";
    fs::remove(scratch.path());
    std::string command = "PROGRESS_LOG=" + quote(scratch.path()) + " ";
    if (writes == Writes::Logged)
        command += "STORE_LOG=" + quote(scratch.path()) + " ";
    command += quote(kHostsim) + " --plugin " + quote(plugin) + " --json " + quote(dump);
    for (const auto& f : files)
        command += " " + quote(f);
    CommandResult result = run(command + " >/dev/null 2>" + quote(errors));
    HostRun out{result.status, Json(), readLines(scratch.path()), readFile(errors)};
    std::string text = readFile(dump);
    if (!text.empty())
        out.store = Json::parse(text);
    return out;
}

// A folder holding a copy of the plug-in and, when given, a progress library variant.
class PluginFolder {
public:
    explicit PluginFolder(const std::string& variant) : m_scratch("", "placeholder")
    {
        fs::path dir = fs::path(m_scratch.path()).parent_path();
        fs::copy_file(kPlugin, dir / fs::path(kPlugin).filename());
        if (!variant.empty())
            fs::copy_file(fs::path(VARIANTS_DIR) / variant / "UlmarB_UI_Progressu.dll", dir / "UlmarB_UI_Progressu.dll");
        m_plugin = (dir / fs::path(kPlugin).filename()).string();
    }
    const std::string& plugin() const { return m_plugin; }

private:
    TempFile m_scratch;
    std::string m_plugin;
};

std::string nodeFile(const std::string& key, const std::string& x)
{
    return dictionary(table("NodeTable", row(key, element("x", x))));
}

std::size_t countOf(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

std::string repeated(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

TEST(Hostsim, EachFileThatCannotBeImportedIsToldOnceAndLeavesTheStoreEmpty)
{
    std::string attributes;
    for (int i = 0; i < 300; ++i)
        attributes += " a" + std::to_string(i) + "=\"1\"";
    const struct {
        const char* what;
        std::string content;
        std::string reason;
    } cases[] = {
        {"empty file", "", "文件是空的，没有任何 XML 内容。"},
        {"white space only", "  \n\t\n", "文件是空的，没有任何 XML 内容。"},
        {"mismatched end tag", "<D>\n\t<Pairs>\n\t</Pair>\n</D>\n",
         "文件不是格式正确的 XML，第 3 行第 5 列出错：Error reading end tag。"},
        {"cut short", "<D><Pairs><Pair>", "文件不是格式正确的 XML，在文件末尾（文件可能不完整）出错：Error reading Element value。"},
        {"nested 300 deep", repeated("\t<a>\n", 300), "第 257 行第 5 列的元素嵌套超过 256 层，为保护程序拒绝读取。"},
        {"300 attributes", "<?xml version=\"1.0\"?>\n<r" + attributes + "/>",
         "第 2 行第 1 列的元素有超过 256 个属性，为保护程序拒绝读取。"},
        {"UTF-16LE with its byte-order mark", std::string("\xFF\xFE<\0D\0/\0>\0", 10),
         "文件是 UTF-16LE 编码的，只能读取 UTF-8 或单字节编码的文件：请将它另存为 UTF-8。"},
        {"UTF-16BE without one", std::string("\0<\0D\0/\0>", 8),
         "文件是 UTF-16BE 编码的，只能读取 UTF-8 或单字节编码的文件：请将它另存为 UTF-8。"},
        {"UTF-32LE with its byte-order mark", std::string("\xFF\xFE\0\0<\0\0\0", 8),
         "文件是 UTF-32LE 编码的，只能读取 UTF-8 或单字节编码的文件：请将它另存为 UTF-8。"},
        {"UTF-32BE without one", std::string("\0\0\0<\0\0\0D", 8),
         "文件是 UTF-32BE 编码的，只能读取 UTF-8 或单字节编码的文件：请将它另存为 UTF-8。"},
        // Declarations that hid nesting from an earlier guard, or made its
        // refusal parse what it refused: TinyXML reads the quoted values.
        {"a declaration's quoted '>' before a comment's start",
         "<?xml version='1.0' standalone='>'<!--'?>" + repeated("<a>", 100000) + "-->",
         "第 1 行第 810 列的元素嵌套超过 256 层，为保护程序拒绝读取。"},
        {"a declaration that ends far away", "<?xml version='1.0'" + repeated("<a>", 200000) + "?>",
         "第 1 行第 791 列的元素嵌套超过 256 层，为保护程序拒绝读取。"},
        {"a declaration in capitals inside the root", "<D>\n<?XML VERSION=\"'>\"?>" + repeated("<a>", 300),
         "第 2 行第 786 列的元素嵌套超过 256 层，为保护程序拒绝读取。"},
        {"a lead byte that swallows a closing quote",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r a=\"\xC3\" b=\">" + repeated("<a>", 300) + "\"/>",
         "第 2 行第 778 列的元素嵌套超过 256 层，为保护程序拒绝读取。"},
        {"a reference that hides end tags", "<r>" + repeated("<a>&#x</a>x;", 300),
         "第 1 行第 3064 列的元素嵌套超过 256 层，为保护程序拒绝读取。"},
    };
    TempFile good(nodeFile("1", "1"));
    for (const auto& c : cases) {
        TempFile file(c.content);
        // The failed file between two good ones: one message, for it alone.
        HostRun result = hostsim({good.path(), file.path(), good.path()});
        EXPECT_EQ(result.status, 1) << c.what;
        EXPECT_EQ(result.errors, "无法导入文件“" + file.path() + "”：" + c.reason + "\n") << c.what;
        HostRun alone = hostsim({file.path()});
        ASSERT_FALSE(alone.store.is_null()) << c.what;
        EXPECT_EQ(recordCount(alone.store), 0u) << c.what;
        // No progress client: the progress library is never even loaded.
        EXPECT_TRUE(alone.progress.empty()) << c.what;
    }
    TempFile inDir("x");
    std::string directory = fs::path(inDir.path()).parent_path().string();
    std::string missing = inDir.path() + ".missing";
    HostRun result = hostsim({directory, missing});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.errors, "无法导入文件“" + directory + "”：这是一个文件夹，不是文件。\n" + "无法导入文件“" + missing +
                                 "”：文件不存在。\n");
    EXPECT_EQ(recordCount(result.store), 0u);
}

// An empty path, a device, a named pipe nobody writes to and a file past
// 2 GB are told without reading a byte; none is read without end or waited
// on for more than a moment.
TEST(Hostsim, PathsThatNameNoFileAndFilesTooLargeAreToldAtOnce)
{
    TempFile scratch("", "placeholder");
    std::string fifo = fs::path(scratch.path()).parent_path().string() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Sparse: its size is known before a byte is read.
    TempFile large("");
    fs::resize_file(large.path(), 2147483648u);
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {"", "没有给出文件路径。"},
        {"/dev/zero", "这是一个设备，不是文件。"},
        {"/dev/null", "这是一个设备，不是文件。"},
        {fifo, "文件是空的，没有任何 XML 内容。"},
        {large.path(), "文件超过 2 GB，无法读取。"},
    };
    for (const auto& c : cases) {
        HostRun result = hostsim({c.path});
        EXPECT_EQ(result.status, 1) << c.path;
        EXPECT_EQ(result.errors, "无法导入文件“" + c.path + "”：" + c.reason + "\n") << c.path;
        EXPECT_EQ(recordCount(result.store), 0u) << c.path;
    }
}

// A path the system cannot read is told by the system's reason, in the
// message's language, never by its number alone.
TEST(Hostsim, UnreadablePathsAreToldByTheirReason)
{
    TempFile file(readFile(std::string(SAMPLES_DIR) + "/sample.xml"));
    const struct {
        std::string path;
        std::string shown; // a long path loses its middle, never its file name
        std::string reason;
    } cases[] = {
        {file.path() + ".missing", file.path() + ".missing", "文件不存在。"},
        {std::string(300, 'n') + ".xml", std::string(120, 'n') + "…" + std::string(116, 'n') + ".xml",
         "文件路径或文件名太长。"},
        {file.path() + "/inside.xml", file.path() + "/inside.xml", "路径中的某一部分不是文件夹。"},
    };
    for (const auto& c : cases) {
        HostRun result = hostsim({c.path});
        EXPECT_EQ(result.status, 1) << c.path;
        EXPECT_EQ(result.errors, "无法导入文件“" + c.shown + "”：" + c.reason + "\n") << c.path;
    }
}

// A file cut short is said to be possibly incomplete wherever it ends
// inside an element, also where TinyXML names another fault.
TEST(Hostsim, EveryFileCutInsideAnElementIsSaidToBePossiblyIncomplete)
{
    const std::string sample = readFile(std::string(SAMPLES_DIR) + "/sample.xml");
    const std::size_t rootEnd = sample.rfind("</Dictionary>");
    for (std::size_t length : {std::size_t(100), std::size_t(3000), std::size_t(3001), std::size_t(3002),
                               sample.size() / 2, rootEnd + 5, rootEnd}) {
        TempFile file(sample.substr(0, length));
        HostRun result = hostsim({file.path()});
        EXPECT_EQ(result.status, 1) << length;
        EXPECT_TRUE(result.errors.find("可能不完整") != std::string::npos) << length << ": " << result.errors;
    }
    // A fault in a complete file is no sign of a cut.
    std::string broken = sample;
    broken.replace(broken.find("</Pairs>"), 8, "</Pairz>");
    TempFile file(broken);
    HostRun result = hostsim({file.path()});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.errors.find("可能不完整"), std::string::npos) << result.errors;
}

// A file whose bytes are GBK while it is read as UTF-8 is refused, or
// imported with the message, and GBK is named either way.
TEST(Hostsim, GbkBytesInAFileReadAsUtf8AreNamed)
{
    // The sample's texts in GBK: U+7EFC U+5408 ("综合") and so on.
    CommandResult gbk = run("iconv -f UTF-8 -t GBK " + quote(std::string(SAMPLES_DIR) + "/sample.xml"));
    ASSERT_EQ(gbk.status, 0);
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
    ASSERT_EQ(gbk.out.compare(0, declaration.size(), declaration), 0);
    TempFile declared(gbk.out);
    HostRun refused = hostsim({declared.path()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.errors.find("文件声明为 UTF-8 编码，但其中有 1578 个字节不是 UTF-8（第一个在第 6 行第 50 列），"
                                  "看来文件是 GBK 编码的"),
              std::string::npos)
        << refused.errors;
    TempFile undeclared(gbk.out.substr(declaration.size()));
    HostRun lossy = hostsim({undeclared.path()});
    EXPECT_EQ(lossy.status, 0);
    EXPECT_NE(lossy.errors.find("文本中有 1578 个字节不是 UTF-8（看来文件是 GBK 编码的），文本按文件的原字节导入"),
              std::string::npos)
        << lossy.errors;
}

// After an import that stored less than the file holds, the plug-in shows
// one warning naming the file and the loss; hostsim says "imported with
// losses" and exits 0, or 1 with --strict. A clean import shows nothing.
TEST(Hostsim, AnImportWithLossesIsToldOnceAndFailsOnlyWhenStrict)
{
    for (const DamagedCopy& copy : damagedSampleCopies()) {
        TempFile file(copy.xml);
        HostRun result = hostsim({file.path()});
        EXPECT_EQ(result.status, 0) << copy.what;
        std::string start = "文件“" + file.path() + "”已导入，但有些内容没有导入或与原文不符：\n";
        EXPECT_EQ(result.errors.compare(0, start.size(), start), 0) << copy.what << ": " << result.errors;
        EXPECT_NE(result.errors.find(copy.message), std::string::npos) << copy.what << ": " << result.errors;
        EXPECT_NE(result.errors.find("\n用 dictcheck 命令检查该文件，可以看到每一处的位置。\n"), std::string::npos)
            << copy.what;
        EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 3) << copy.what << ": one loss";
        CommandResult summary = run(quote(kHostsim) + " --plugin " + quote(kPlugin) + " " + quote(file.path()) +
                                    " 2>/dev/null");
        // The file's line says what its message says.
        EXPECT_NE(summary.out.find(file.path() + ": imported with losses: "), std::string::npos) << summary.out;
        CommandResult strict = run(quote(kHostsim) + " --strict --plugin " + quote(kPlugin) + " " +
                                   quote(file.path()) + " >/dev/null 2>&1");
        EXPECT_EQ(strict.status, 1) << copy.what;
    }
    const std::string sample = std::string(SAMPLES_DIR) + "/sample.xml";
    HostRun clean = hostsim({sample});
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.errors, "");
    EXPECT_EQ(run(quote(kHostsim) + " --strict --plugin " + quote(kPlugin) + " " + quote(sample) + " >/dev/null")
                  .status,
              0);
}

// Absent tables and absent fields are no loss.
TEST(Hostsim, AbsentTablesAndFieldsAreNoLoss)
{
    TempFile file(dictionary(table("NodeTable", row("1", "<x>1</x>")), table("RcDgnGlobalTable", "")));
    HostRun result = hostsim({file.path()});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.errors, "");
}

// A file that loads but holds no dictionary is told, counted as not
// imported, and still runs the import's steps (which find nothing).
TEST(Hostsim, FilesThatHoldNoDictionaryAreToldAndNotImported)
{
    const std::string sample = readFile(std::string(SAMPLES_DIR) + "/sample.xml");
    const std::size_t afterDeclaration = sample.find("?>") + 2;
    const struct {
        const char* what;
        std::string content;
        std::string reason;
    } cases[] = {
        {"a declaration alone", "<?xml version=\"1.0\"?>\n", "没有根元素"},
        {"a lone '<'", "<", "没有根元素"},
        {"an empty dictionary", "<Dictionary/>", "根元素“Dictionary”下没有“Pairs”节列表"},
        {"an HTML page", "<!DOCTYPE html>\n<html><head><title>x</title></head><body><p>x</p></body></html>\n",
         "根元素“html”下没有“Pairs”节列表"},
        {"a section list without sections", "<Dictionary><Pairs><!-- none --></Pairs></Dictionary>",
         "“Pairs”节列表中没有任何节"},
        {"the sample behind a DOCTYPE with an internal subset",
         sample.substr(0, afterDeclaration) + "\n<!DOCTYPE Dictionary [\n  <!ENTITY e \"x\">\n]>" +
             sample.substr(afterDeclaration),
         "没有根元素（读取在第 4 行第 1 列停止，那里不是标记：带内部子集“[...]”的 DOCTYPE 无法读取）"},
    };
    for (const auto& c : cases) {
        TempFile file(c.content);
        HostRun result = hostsim({file.path()});
        EXPECT_EQ(result.status, 1) << c.what;
        EXPECT_EQ(result.errors, "文件“" + file.path() + "”中没有字典：" + c.reason + "。未导入任何内容。\n") << c.what;
        EXPECT_EQ(recordCount(result.store), 0u) << c.what;
        EXPECT_EQ(std::count(result.progress.begin(), result.progress.end(), "load"), 1) << c.what;
        // The run itself completed: the reader reports success.
        bool imported = false;
        importText(c.content, &imported);
        EXPECT_TRUE(imported) << c.what;
    }
    // Sections whose tables are absent or empty are a normal import.
    TempFile sections(dictionary("", table("RcDgnGlobalTable", "")));
    HostRun result = hostsim({sections.path()});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.errors, "");
}

// Running out of memory is told, and the file is not counted as imported.
// The sanitizers reserve more address space than any limit leaves.
TEST(Hostsim, RunningOutOfMemoryIsToldAndFailsTheFile)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address-space limit cannot hold the sanitizers' shadow memory";
#endif
    std::string nodes;
    for (int key = 1; key <= 200000; ++key)
        nodes += row(std::to_string(key), element("x", std::to_string(key)) + element("StoryName", "storey"));
    TempFile file(dictionary(table("NodeTable", nodes)));
    TempFile scratch("", "stderr.txt");
    // Read row by row, the 20 MB file, its outline and its 200,000 records
    // need well over 40 MB of address space, whichever step finds it out
    // (what was stored stays when it is the store).
    CommandResult result = run("ulimit -v 40000 && " + quote(kHostsim) + " --plugin " + quote(kPlugin) + " " +
                               quote(file.path()) + " 2>" + quote(scratch.path()));
    EXPECT_EQ(result.status, 1);
    std::string told = "导入文件“" + file.path() + "”时内存不足，导入已中止。";
    std::string error = readFile(scratch.path());
    EXPECT_TRUE(error == told + "未导入任何记录。\n" || error == told + "此前已导入的记录保留在模型中。\n") << error;
    EXPECT_NE(result.out.find(file.path() + ": not imported: " + told), std::string::npos) << result.out;
}

TEST(Hostsim, SaysPerFileWhetherItWasImportedAndWhatItAdded)
{
    TempFile first(nodeFile("1", "1")), again(nodeFile("1", "2")), broken("<D>");
    CommandResult result = run(quote(kHostsim) + " --plugin " + quote(kPlugin) + " " + quote(first.path()) + " " +
                               quote(broken.path()) + " " + quote(again.path()) + " 2>/dev/null");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find(first.path() + ": imported, 1 record added, 0 replaced\n"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find(broken.path() + ": not imported: 文件不是格式正确的 XML"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(again.path() + ": imported, 0 records added, 1 replaced\n"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("Imported 2 of 3 files.\n"), std::string::npos) << result.out;
}

TEST(Hostsim, NestingUpToTheBoundImports)
{
    // The node row's x holds its text and then nested elements, 256 levels in all.
    std::string xml = nodeFile("1", "2.5");
    // Dictionary, Pairs, Pair, Value, Pairs, Pair, Value, Pairs, Pair, Value, x
    const int depthOfX = 11;
    std::string inner;
    for (int i = depthOfX; i < 256; ++i)
        inner += "<j>";
    for (int i = depthOfX; i < 256; ++i)
        inner += "</j>";
    xml.replace(xml.find("2.5</x>") + 3, 0, inner);
    TempFile ok(xml);
    HostRun accepted = hostsim({ok.path()});
    EXPECT_EQ(accepted.status, 0);
    EXPECT_EQ(rows(accepted.store, "model", "Node").size(), 1u);

    xml.replace(xml.find("<j>"), 0, "<j>");
    xml.replace(xml.find("</j>"), 0, "</j>");
    TempFile tooDeep(xml);
    HostRun refused = hostsim({tooDeep.path()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(recordCount(refused.store), 0u);
}

TEST(Hostsim, TwoFilesBothLandAndBadArgumentsExitTwo)
{
    TempFile first(nodeFile("1", "1")), second(nodeFile("2", "2"));
    HostRun result = hostsim({first.path(), second.path()});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(rows(result.store, "model", "Node").size(), 2u);

    EXPECT_EQ(run(quote(kHostsim) + " >/dev/null 2>&1").status, 2);
    EXPECT_EQ(run(quote(kHostsim) + " --bogus x >/dev/null 2>&1").status, 2);
    CommandResult help = run(quote(kHostsim) + " --help 2>&1");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--json"), std::string::npos);
}

TEST(Hostsim, JsonDumpFormat)
{
    std::string xml = dictionary(table("NodeTable", row("3", "<x>1e999</x><y>0.1</y>") + row("-2", "<x>nan</x>")) +
                                 table("FloorTable", row("1", "<StoryName>a\"b\\c\x01\xff\xe7\xac\xac</StoryName>")));
    TempFile file(xml);
    TempFile scratch("", "dump.json");
    run(quote(kHostsim) + " --plugin " + quote(kPlugin) + " --json " + quote(scratch.path()) + " " +
        quote(file.path()) + " >/dev/null 2>&1");
    std::string dump = readFile(scratch.path());
    EXPECT_NE(dump.find(R"("Node":[{"key":-2,"value":{"x":"nan","y":0}},{"key":3,"value":{"x":"inf","y":0.1}}])"),
              std::string::npos);
    EXPECT_NE(dump.find(R"("StoryName":"a\"b\\c\u0001\u00ff第")"), std::string::npos);
    Json store = Json::parse(dump);
    EXPECT_EQ(store["model"].size(), 23u);
    EXPECT_EQ(store["design"].size(), 7u);
}

// The calls of one run, as the stand-in logs them.
std::vector<std::string> expectedProgress(bool delay, bool messages)
{
    std::vector<std::string> lines;
    auto range = [&] {
        if (delay)
            lines.push_back("SetProcessDelayInformationEx 1 31");
    };
    auto step = [&](int n) {
        if (messages)
            lines.push_back("ProgressMessage 1000 1 1 0 " + std::to_string(n) +
                            " 31 0 0 0 \"Import All Layer Basic Data\" \"\" \"\" \"\"");
    };
    range();
    for (int n = 1; n <= 23; ++n)
        step(n);
    range();
    for (int n = 24; n <= 31; ++n)
        step(n);
    return lines;
}

TEST(Progress, FullLibraryLogsEveryStepAndUnloadsLast)
{
    // A model holding only the node table still sends all 31 steps.
    TempFile file(nodeFile("1", "1"));
    HostRun result = hostsim({file.path()});
    std::vector<std::string> expected = expectedProgress(true, true);
    expected.insert(expected.begin(), "load");
    expected.push_back("unload");
    EXPECT_EQ(result.progress, expected);
    EXPECT_EQ(result.errors, "");
}

// The step whose message announces each table's reads.
const std::map<std::string, int> kStepOfTable = {
    {"ProjectInfo", 1}, {"UnitFlag", 2}, {"Section", 3}, {"Thickness", 4}, {"Opening", 5},
    {"DesignMaterial", 6}, {"DesignCode", 7}, {"Floor", 8}, {"Node", 9}, {"Axis", 10}, {"AxisGroup", 11},
    {"Element", 12}, {"Beam", 13}, {"BeamGroup", 14}, {"Column", 15}, {"Brace", 16}, {"Wall", 17},
    {"WallLL", 18}, {"WallColumn", 19}, {"Slab", 20}, {"MemberEndRls", 21}, {"Mdul", 22}, {"Plan", 23},
    {"RcDgnGlobal", 24}, {"RcDesignBeam", 25}, {"RcDesignColumn", 26}, {"RcDesignWall", 28},
    {"RcDesignWallLL", 29}, {"RcDesignWallColumn", 30}, {"RcDesignSlab", 31},
};

TEST(Progress, EachTableIsReadRightAfterItsStepMessage)
{
    HostRun result = hostsim({std::string(SAMPLES_DIR) + "/sample.xml"}, kPlugin, Writes::Logged);
    std::regex message(R"(^ProgressMessage \d+ \d+ \d+ \d+ (\d+) 31 .*)"), write(R"(^AddData (\w+) -?\d+$)");
    int step = 0;
    std::map<std::string, int> writes;
    for (const std::string& line : result.progress) {
        std::smatch m;
        if (std::regex_match(line, m, message)) {
            EXPECT_EQ(std::stoi(m[1]), step + 1) << "steps in order, none left out";
            step = std::stoi(m[1]);
        } else if (std::regex_match(line, m, write)) {
            ASSERT_TRUE(kStepOfTable.count(m[1])) << line;
            EXPECT_EQ(step, kStepOfTable.at(m[1])) << line << " after the message of step " << step;
            ++writes[m[1]];
        }
    }
    EXPECT_EQ(step, 31);
    EXPECT_EQ(writes.size(), kStepOfTable.size()) << "the sample fills every table";
}

TEST(Progress, ARunWhoseFileFailsCreatesNoProgressClient)
{
    TempFile good(nodeFile("1", "1"));
    std::string missing = good.path() + ".missing";
    // The library is not loaded for the failed run, only for the good one.
    HostRun failedOnly = hostsim({missing});
    EXPECT_TRUE(failedOnly.progress.empty());
    HostRun failedThenGood = hostsim({missing, good.path()});
    ASSERT_FALSE(failedThenGood.progress.empty());
    EXPECT_EQ(failedThenGood.progress.front(), "load");
    // Without a progress library, a failed run shows no load failure either.
    PluginFolder noLibrary("");
    HostRun unannounced = hostsim({missing}, noLibrary.plugin());
    EXPECT_EQ(countOf(unannounced.errors, "加载失败"), 0u) << unannounced.errors;
    HostRun announced = hostsim({missing, good.path()}, noLibrary.plugin());
    EXPECT_EQ(countOf(announced.errors, "[UlmarB_UI_Progressu.dll]加载失败！"), 1u) << announced.errors;
}

TEST(Progress, AFileWithOneSectionRunsToTheEnd)
{
    std::string xml = "<D><Pairs><Pair><Key>ModelDB</Key><Value><Pairs>" +
                      table("NodeTable", row("1", element("x", "1"))) + "</Pairs></Value></Pair></Pairs></D>";
    TempFile file(xml);
    HostRun result = hostsim({file.path()});
    ASSERT_EQ(result.progress.size(), 1u + 2u + 31u + 1u);
    EXPECT_NE(result.progress[33].find(" 31 31 "), std::string::npos);
    EXPECT_EQ(rows(result.store, "model", "Node").size(), 1u);
}

TEST(Progress, MissingLibraryIsToldOnceAndImportsComplete)
{
    PluginFolder folder("");
    TempFile first(nodeFile("1", "1")), second(nodeFile("2", "2"));
    HostRun result = hostsim({first.path(), second.path()}, folder.plugin());
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(countOf(result.errors, "[UlmarB_UI_Progressu.dll]加载失败！"), 1u) << result.errors;
    EXPECT_EQ(rows(result.store, "model", "Node").size(), 2u);
    EXPECT_TRUE(result.progress.empty());
}

TEST(Progress, MissingEntryPointsAreToldOnceAndLaterOnesUnused)
{
    const struct {
        const char* variant;
        const char* missing;
        bool delay;
        bool messages;
    } cases[] = {
        {"no-registe", "ProcessDisplayServer_RegisteMessage", false, false},
        {"no-delay", "ProcessDisplayServer_SetProcessDelayInformationEx", false, false},
        {"no-message", "ProcessDisplayServer_ProgressMessage", true, false},
    };
    for (const auto& c : cases) {
        PluginFolder folder(c.variant);
        TempFile first(nodeFile("1", "1")), second(nodeFile("2", "2"));
        HostRun result = hostsim({first.path(), second.path()}, folder.plugin());
        std::string message = std::string("UlmarB_UI_Progressu.dll:") + c.missing + " 接口不存在！";
        EXPECT_EQ(countOf(result.errors, message), 1u) << c.variant << ": " << result.errors;
        EXPECT_EQ(countOf(result.errors, "\n"), 1u) << c.variant << ": " << result.errors;
        std::vector<std::string> expected = expectedProgress(c.delay, c.messages);
        std::vector<std::string> twice = {"load"};
        twice.insert(twice.end(), expected.begin(), expected.end());
        twice.insert(twice.end(), expected.begin(), expected.end());
        twice.push_back("unload");
        EXPECT_EQ(result.progress, twice) << c.variant;
        EXPECT_EQ(rows(result.store, "model", "Node").size(), 2u);
    }
}

TEST(Plugin, ExportsEventDispatcherAlone)
{
    CommandResult symbols = run("nm -D --defined-only " + quote(kPlugin));
    ASSERT_EQ(symbols.status, 0);
    std::regex function(R"(^[0-9a-f]+ [TtWwiI] (\S+)$)");
    std::vector<std::string> functions;
    std::istringstream lines(symbols.out);
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (std::regex_match(line, m, function))
            functions.push_back(m[1]);
    }
    EXPECT_EQ(functions, std::vector<std::string>{"EventDispatcher"});
}

} // namespace

namespace {

// Records, for each member path under `path`, whether the value holds
// anything but its member's default: a non-zero number, a non-empty text,
// true, a non-empty list. Sub-records add their members' names, fixed-size
// arrays their indexes ("[2]"); list entries' values go under "[]".
void markFilled(const Json& value, const std::string& path, std::map<std::string, bool>& filled)
{
    auto mark = [&](bool set) { filled[path] = filled[path] || set; };
    if (value.is_object()) {
        for (const auto& [name, member] : value.items())
            markFilled(member, path + "." + name, filled);
    } else if (value.is_array() && (value.empty() || value[0].is_array())) {
        // A list: [[key, value], ...].
        mark(!value.empty());
        for (const auto& entry : value)
            markFilled(entry.at(1), path + "[]", filled);
    } else if (value.is_array()) {
        for (std::size_t i = 0; i < value.size(); ++i)
            markFilled(value[i], path + "[" + std::to_string(i) + "]", filled);
    } else if (value.is_number()) {
        mark(value.get<double>() != 0);
    } else if (value.is_string()) {
        mark(!value.get<std::string>().empty());
    } else if (value.is_boolean()) {
        mark(value.get<bool>());
    } else {
        ADD_FAILURE() << path << " holds " << value.dump();
    }
}

TEST(Hostsim, SampleHoldsAValueInEveryMember)
{
    HostRun result = hostsim({std::string(SAMPLES_DIR) + "/sample.xml"});
    EXPECT_EQ(result.status, 0);
    // Never read by the importer, so never filled.
    const std::set<std::string> unread = {"design.RcDesignWall.ForceUp.T"};
    std::vector<std::string> empty;
    std::set<std::string> paths;
    for (const char* section : {"model", "design"})
        for (const auto& [name, table] : result.store.at(section).items()) {
            ASSERT_FALSE(table.empty()) << name;
            std::map<std::string, bool> filled;
            for (const auto& r : table)
                markFilled(r.at("value"), std::string(section) + "." + name, filled);
            for (const auto& [path, set] : filled) {
                paths.insert(path);
                if (!set && !unread.count(path))
                    empty.push_back(path);
                if (unread.count(path)) {
                    EXPECT_FALSE(set) << path << " is read after all";
                }
            }
        }
    // The walk reaches into sub-records, fixed-size arrays and list entries.
    for (const char* path : {"model.Section.SectJ.Stiffness.dScaleFactor[5]", "model.Section.SectI.Size[]",
                             "model.Slab.Supports[].NodeList[]", "design.RcDesignWallLL.BottomRebar[1].Number",
                             "design.RcDesignWall.ForceUp.T"})
        EXPECT_EQ(paths.count(path), 1u) << path;
    std::string list;
    for (const auto& path : empty)
        list += "\n  " + path;
    EXPECT_TRUE(empty.empty()) << empty.size() << " member paths hold their default in every row:" << list;
    std::vector<std::string> expected = expectedProgress(true, true);
    expected.insert(expected.begin(), "load");
    expected.push_back("unload");
    EXPECT_EQ(result.progress, expected);
}

} // namespace

namespace {

TEST(Plugin, EventDispatcherReturnsZeroInEveryCase)
{
    void* library = dlopen(kPlugin.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto dispatch = reinterpret_cast<int (*)(EventData*)>(dlsym(library, "EventDispatcher"));
    ASSERT_NE(dispatch, nullptr);
    hoststore::clearStore();
    static std::vector<std::string> messages;
    messages.clear();
    hostframework::setMessageBoxHandler([](const wchar_t* text, unsigned int) { messages.push_back(platform::toUtf8(text)); });

    EXPECT_EQ(dispatch(nullptr), 0);
    EventData empty;
    EXPECT_EQ(dispatch(&empty), 0);
    EventData missing;
    missing.m_strPath = "/nonexistent/model.xml";
    EXPECT_EQ(dispatch(&missing), 0);
    EXPECT_EQ(recordCount(storeJson()), 0u);
    // An event without a path is told, as a missing file is; a null event has nothing to tell of.
    EXPECT_EQ(messages, (std::vector<std::string>{"无法导入文件“”：没有给出文件路径。",
                                                  "无法导入文件“/nonexistent/model.xml”：文件不存在。"}));

    TempFile file(nodeFile("4", "1.5"));
    EventData event;
    event.m_strPath = file.path();
    EXPECT_EQ(dispatch(&event), 0);
    EXPECT_EQ(rows(storeJson(), "model", "Node").size(), 1u);
    hostframework::setMessageBoxHandler(nullptr);
    dlclose(library);
}

bool mapped(const std::string& library)
{
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

TEST(Plugin, UnloadingThePluginReleasesTheProgressLibrary)
{
    const std::string progress = std::string(BUILD_BIN_DIR) + "/UlmarB_UI_Progressu.dll";
    void* library = dlopen(kPlugin.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto dispatch = reinterpret_cast<int (*)(EventData*)>(dlsym(library, "EventDispatcher"));
    ASSERT_NE(dispatch, nullptr);
    EXPECT_FALSE(mapped(progress));
    TempFile file(nodeFile("4", "1.5"));
    EventData event;
    event.m_strPath = file.path();
    dispatch(&event);
    EXPECT_TRUE(mapped(progress));
    ASSERT_EQ(dlclose(library), 0);
    EXPECT_FALSE(mapped(kPlugin));
    EXPECT_FALSE(mapped(progress));
}

TEST(Run, AnExceptionMidRunFailsTheRunAndKeepsEarlierRecords)
{
    std::vector<std::string> messages;
    static std::vector<std::string>* shown;
    shown = &messages;
    hostframework::setMessageBoxHandler([](const wchar_t* text, unsigned int) { shown->push_back(platform::toUtf8(text)); });
    std::string nodes;
    for (int key = 1; key <= 5; ++key)
        nodes += row(std::to_string(key), element("x", std::to_string(key)));
    std::string xml = dictionary(table("NodeTable", nodes), table("RcDgnGlobalTable", row("1", "<Gamma0>1</Gamma0>")));
    hoststore::clearStore();
    TempFile file(xml);
    hoststore::failAddDataAt(3);
    EXPECT_FALSE(importPath(file.path()));
    hoststore::failAddDataAt(0);
    Json store = storeJson();
    EXPECT_EQ(rows(store, "model", "Node").size(), 2u);
    EXPECT_EQ(rows(store, "design", "RcDgnGlobal").size(), 0u) << "the design import never ran";
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "导入文件“" + file.path() + "”时内存不足，导入已中止。此前已导入的记录保留在模型中。");
    // The next run starts afresh and completes.
    EXPECT_TRUE(importPath(file.path()));
    EXPECT_EQ(recordCount(storeJson()), 6u);
    EXPECT_EQ(messages.size(), 1u);
    hostframework::setMessageBoxHandler(nullptr);
}

} // namespace

namespace {

// Runs a hostsim command line (arguments already quoted); its standard
// output and error.
Output hostsimLine(const std::string& arguments, const std::string& shell = "sh")
{
    std::string command = quote(kHostsim) + " --plugin " + quote(kPlugin) + " " + arguments;
    if (shell != "sh")
        command = shell + " -c " + quote(command); // for <(...) in the arguments
    return runWithErrors(command);
}

TEST(HostsimArguments, ADumpTargetThatIsAFileToImportIsRefusedAndLeftAsItIs)
{
    TempFile input(nodeFile("1", "1"), "in.xml");
    std::string dir = fs::path(input.path()).parent_path().string();
    fs::create_symlink(input.path(), dir + "/link.xml");
    const std::string original = readFile(input.path());
    const struct {
        const char* what;
        std::string arguments;
        std::string message;
    } cases[] = {
        {"arguments swapped: the input after --json, a new name as FILE",
         "--json " + quote(input.path()) + " " + quote(dir + "/out.json"),
         "hostsim: the --json target " + input.path() +
             " exists and is not a dump written by hostsim (it does not start with {\"format\": "
             "\"dictimport-store-dump/1\"}); not overwriting it: give another path, or remove the file first (is a "
             "file to import given after --json?)\n"},
        {"the same path", "--json " + quote(input.path()) + " " + quote(input.path()),
         "hostsim: the --json target " + input.path() + " is one of the files to import and would be "
         "overwritten; give another path\n"},
        {"another spelling of the path", "--json " + quote(dir + "/./in.xml") + " " + quote(input.path()),
         "hostsim: the --json target " + dir + "/./in.xml is one of the files to import (" + input.path() +
             ") and would be overwritten; give another path\n"},
        {"a link to it", "--json " + quote(dir + "/link.xml") + " " + quote(input.path()),
         "hostsim: the --json target " + dir + "/link.xml is one of the files to import (" + input.path() +
             ") and would be overwritten; give another path\n"},
        {"a file that does not exist yet, twice", "--json " + quote(dir + "/new.xml") + " " + quote(dir + "/new.xml"),
         "hostsim: the --json target " + dir + "/new.xml is one of the files to import and would be "
         "overwritten; give another path\n"},
    };
    for (const auto& c : cases) {
        Output result = hostsimLine(c.arguments);
        EXPECT_EQ(result.status, 2) << c.what;
        EXPECT_EQ(result.errors, c.message) << c.what;
        EXPECT_EQ(result.out, "") << c.what << ": nothing imported";
        EXPECT_EQ(readFile(input.path()), original) << c.what;
    }
    EXPECT_FALSE(fs::exists(dir + "/new.xml"));
    EXPECT_FALSE(fs::exists(dir + "/out.json"));
}

TEST(HostsimArguments, EachBadArgumentExitsTwoWithOneLineAndImportsNothing)
{
    TempFile input(nodeFile("1", "1"));
    std::string dir = fs::path(input.path()).parent_path().string();
    const std::string file = quote(input.path());
    const struct {
        std::string arguments;
        std::string message;
    } cases[] = {
        {"", "hostsim: FILE is required (see 'hostsim --help')\n"},
        {"--bogus " + file, "hostsim: unknown option --bogus (see 'hostsim --help')\n"},
        {"--bogus", "hostsim: unknown option --bogus (see 'hostsim --help')\n"},
        {"--json", "hostsim: --json: 1 required TEXT missing (see 'hostsim --help')\n"},
        {"--json-layout pretty " + file, "hostsim: --json-layout: pretty not in {compact,lines} (see 'hostsim --help')\n"},
        {"--json /nonexistent/dir/x.json " + file,
         "hostsim: cannot write /nonexistent/dir/x.json: No such file or directory\n"},
        {"--json " + quote(dir) + " " + file, "hostsim: cannot write " + dir + ": Is a directory\n"},
    };
    for (const auto& c : cases) {
        TempFile progress("", "progress.log");
        fs::remove(progress.path());
        Output result = hostsimLine(c.arguments);
        CommandResult logged = run("PROGRESS_LOG=" + quote(progress.path()) + " " + quote(kHostsim) + " --plugin " +
                                   quote(kPlugin) + " " + c.arguments + " >/dev/null 2>&1");
        EXPECT_EQ(result.status, 2) << c.arguments;
        EXPECT_EQ(logged.status, 2) << c.arguments;
        EXPECT_EQ(result.errors, c.message) << c.arguments;
        EXPECT_EQ(result.out, "") << c.arguments;
        EXPECT_FALSE(fs::exists(progress.path())) << c.arguments << ": the plug-in ran";
    }
    CommandResult r = run(quote(kHostsim) + " --plugin /nonexistent/libDictImport.so " + file + " 2>&1 >/dev/null");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out.rfind("hostsim: cannot load the plug-in /nonexistent/libDictImport.so: ", 0), 0u) << r.out;
}

TEST(HostsimArguments, WritingErrorsGiveTheSystemsReasonAndExitTwo)
{
    TempFile input(nodeFile("1", "1"));
    Output full = hostsimLine("--json /dev/full " + quote(input.path()));
    EXPECT_EQ(full.status, 2);
    EXPECT_EQ(full.errors, "hostsim: writing /dev/full failed: No space left on device\n");
    Output summary = hostsimLine(quote(input.path()) + " >/dev/full");
    EXPECT_EQ(summary.status, 2);
    EXPECT_EQ(summary.errors, "hostsim: writing the summary failed: No space left on device\n");
}

// Only a dump of hostsim is replaced: one that starts with its marker, or
// as dumps did before they carried it; an empty file holds nothing to lose.
TEST(HostsimArguments, OnlyADumpOfHostsimIsReplaced)
{
    TempFile input(nodeFile("1", "1"));
    const struct {
        const char* earlier;
        bool replaced;
    } cases[] = {
        {"{\"format\":\"dictimport-store-dump/1\",\"model\":{}}", true},
        {"{\n\"format\": \"dictimport-store-dump/1\"}", true},
        {"{\"model\":{\"ProjectInfo\":[]}}", true},
        {"{\n\"model\":{\n\"ProjectInfo\":[\n]}}", true},
        {"", true},
        {"{\"model\": 1}", false},
        {"{\"format\":\"dictimport-report/1\"}", false},
        {"{}", false},
        {"[1, 2]", false},
    };
    for (const auto& c : cases) {
        TempFile target(c.earlier, "dump.json");
        Output result = hostsimLine("--json " + quote(target.path()) + " " + quote(input.path()));
        EXPECT_EQ(result.status, c.replaced ? 0 : 2) << c.earlier << ": " << result.errors;
        std::string now = readFile(target.path());
        EXPECT_EQ(now == c.earlier, !c.replaced) << c.earlier;
    }
}

// --plugin takes a path as given: a bare file name is the file in the
// current folder, not one the system's search would find.
TEST(HostsimArguments, ThePluginPathIsTakenAsGiven)
{
    TempFile input(nodeFile("1", "1"));
    std::string folder = fs::path(kPlugin).parent_path().string();
    std::string name = fs::path(kPlugin).filename().string();
    CommandResult bare = run("cd " + quote(folder) + " && " + quote(kHostsim) + " --plugin " + quote(name) + " " +
                             quote(input.path()) + " 2>&1");
    EXPECT_EQ(bare.status, 0) << bare.out;
    CommandResult elsewhere = run("cd / && " + quote(kHostsim) + " --plugin " + quote(name) + " " +
                                  quote(input.path()) + " 2>&1");
    EXPECT_EQ(elsewhere.status, 2);
    EXPECT_NE(elsewhere.out.find("hostsim: cannot load the plug-in " + name + ": "), std::string::npos)
        << elsewhere.out;
}

TEST(HostsimArguments, HelpNamesTheDefaultsAndExitStatusesAndVersionAnswers)
{
    CommandResult help = run(quote(kHostsim) + " --help");
    EXPECT_EQ(help.status, 0);
    for (const char* text : {"--json PATH", "--json-layout TEXT:{compact,lines}=compact", "--plugin PATH",
                             "Exit status: 0 when every file was imported", "1 when the plug-in could not import",
                             "2 on bad arguments", "--version", "PROGRESS_LOG=FILE", "STORE_LOG=FILE"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text << " in\n" << help.out;
    CommandResult version = run(quote(kHostsim) + " --version");
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("hostsim [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << version.out;
}

TEST(HostsimArguments, APipeIsImportedLikeAFile)
{
    TempFile input(nodeFile("7", "1.5"));
    Output piped = hostsimLine("--json - <(cat " + quote(input.path()) + ")", "bash");
    EXPECT_EQ(piped.status, 0) << piped.errors;
    EXPECT_TRUE(std::regex_search(piped.errors, std::regex("^/dev/fd/[0-9]+: imported, 1 record added, 0 replaced\n")))
        << piped.errors;
    Json store = Json::parse(piped.out);
    ASSERT_EQ(rows(store, "model", "Node").size(), 1u);
    EXPECT_EQ(rows(store, "model", "Node")[0]["key"], 7);
}

TEST(HostsimArguments, TheLinesLayoutHoldsTheSameJsonOneRecordPerLine)
{
    std::string sample = quote(std::string(SAMPLES_DIR) + "/sample.xml");
    Output compact = hostsimLine("--json - " + sample);
    Output lines = hostsimLine("--json - --json-layout lines " + sample);
    ASSERT_EQ(compact.status, 0);
    ASSERT_EQ(lines.status, 0);
    EXPECT_EQ(countOf(compact.out, "\n"), 1u);
    Json store = Json::parse(compact.out);
    EXPECT_EQ(Json::parse(lines.out), store);
    // Every record on a line of its own, and nothing else on it.
    std::size_t recordLines = 0;
    std::istringstream text(lines.out);
    for (std::string line; std::getline(text, line);)
        if (line.rfind("{\"key\":", 0) == 0) {
            ++recordLines;
            std::string record = line.back() == ',' ? line.substr(0, line.size() - 1) : line;
            EXPECT_TRUE(Json::parse(record).contains("value")) << line.substr(0, 80);
        }
    EXPECT_EQ(recordLines, recordCount(store));
}

} // namespace
