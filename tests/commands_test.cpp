// importbench's and dictcheck's command lines: each bad argument refused
// with one line and exit status 2, the defaults and exit statuses in
// --help, and what importbench measures, notes and leaves behind.
#include <algorithm>
#include <filesystem>
#include <regex>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

const std::string kImportbench = IMPORTBENCH_PATH;
const std::string kDictcheck = DICTCHECK_PATH;
const std::string kHostsim = HOSTSIM_PATH;
const std::string kModelgen = MODELGEN_PATH;
const std::string kDictdiff = DICTDIFF_PATH;
const std::string kSample = std::string(SAMPLES_DIR) + "/sample.xml";

Output command(const std::string& program, const std::string& arguments)
{
    return runWithErrors(quote(program) + " " + arguments);
}

struct BadArguments {
    std::string arguments;
    std::string message;
};

void expectRefused(const std::string& program, const std::vector<BadArguments>& cases)
{
    for (const auto& c : cases) {
        Output result = command(program, c.arguments);
        EXPECT_EQ(result.status, 2) << c.arguments;
        EXPECT_EQ(result.errors, c.message) << c.arguments;
        EXPECT_EQ(result.out, "") << c.arguments;
    }
}

TEST(Importbench, EachBadArgumentExitsTwoWithOneLine)
{
    Directory dir;
    const std::string sizes = "importbench: --sizes: takes sizes of at least 1 byte, in MB or with a unit B, K, M "
                              "or G, such as 250K, 10 or 1g; not ";
    expectRefused(kImportbench,
                  {
                      {"--sizes 0", sizes + "'0' (see 'importbench --help')\n"},
                      {"--sizes -1", sizes + "'-1' (see 'importbench --help')\n"},
                      {"--sizes 0.0000001", sizes + "'0.0000001' (see 'importbench --help')\n"},
                      {"--sizes 10,x", sizes + "'x' (see 'importbench --help')\n"},
                      {"--sizes 10X", sizes + "'10X' (see 'importbench --help')\n"},
                      {"--runs 0", "importbench: --runs: Value 0 not in range 1 to 1000 (see 'importbench --help')\n"},
                      {"--runs two", "importbench: --runs: Value two not in range 1 to 1000 (see 'importbench --help')\n"},
                      {"--repeat 2", "importbench: --repeat takes one FILE, not 0 (see 'importbench --help')\n"},
                      {"--repeat 0 " + quote(kSample), "importbench: --repeat: Value 0 not in range 1 to 1000000 (see 'importbench --help')\n"},
                      {"--repeat 2 " + quote(kSample) + " " + quote(kSample), "importbench: --repeat takes one FILE, not 2 (see 'importbench --help')\n"},
                      {"--repeat 2 missing.xml", "importbench: cannot read missing.xml: No such file or directory\n"},
                      {"missing.xml", "importbench: cannot read missing.xml: No such file or directory\n"},
                      {quote(kSample) + " missing.xml", "importbench: cannot read missing.xml: No such file or directory\n"},
                      {quote(dir.path()), "importbench: " + dir.path() + " is not a regular file; every run reads it anew (see 'importbench --help')\n"},
                      {"--sizes 1 " + quote(kSample), "importbench: --sizes excludes FILE (see 'importbench --help')\n"},
                      {"--dir /nonexistent", "importbench: --dir: Directory does not exist: /nonexistent (see 'importbench --help')\n"},
                      {"--plugin /nonexistent.so", "importbench: --plugin: File does not exist: /nonexistent.so (see 'importbench --help')\n"},
                      {"--bogus", "importbench: unknown option --bogus (see 'importbench --help')\n"},
                  });
    EXPECT_TRUE(dir.files().empty());
}

TEST(Importbench, HelpNamesTheDefaultsAndExitStatuses)
{
    Output help = command(kImportbench, "--help");
    EXPECT_EQ(help.status, 0);
    for (const char* text : {"--sizes SIZES=1 ", "--runs INT:INT in [1 - 1000]=5", "--plugin PATH:FILE=",
                             "--dir DIR:DIR=", "--keep", "--repeat", "FILE",
                             "Without --sizes or FILE, one quick run on a 1 MB model",
                             "Exit status: 0 when every run completed, 1 when a run failed",
                             "2 for bad arguments"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text << " in\n" << help.out;
}

// The lines of a model's measurement: the three modes and the ratios.
void expectMeasured(const std::string& out, const std::string& file)
{
    EXPECT_NE(out.find(file + "\n"), std::string::npos) << out;
    for (const char* mode : {" a  LoadFile ", " a0 LoadFile, tab 0 ", " b  import "})
        EXPECT_NE(out.find(mode), std::string::npos) << mode << " in\n" << out;
    EXPECT_TRUE(std::regex_search(out, std::regex(R"(import / a [0-9.]+, import / a0 [0-9.]+; )"))) << out;
}

TEST(Importbench, GeneratedModelsAreRemovedUnlessKeptAndAnUnmetSizeIsNoted)
{
    Directory dir;
    // The same size in three spellings: below the smallest model of the grid.
    for (const char* size : {"10K", "10k", "0.01"}) {
        Output result = command(kImportbench, std::string("--runs 1 --sizes ") + size + " --dir " + quote(dir.path()));
        EXPECT_EQ(result.status, 0) << size << ": " << result.errors;
        EXPECT_TRUE(std::regex_match(result.errors,
                                     std::regex("importbench: note: no model of 4 x 3 bays is as small as 10000 bytes; "
                                                "measuring the smallest, [0-9]+ bytes\n")))
            << size << ": " << result.errors;
        EXPECT_NE(result.out.find("importbench: 1 model size, 1 run each"), std::string::npos) << result.out;
        expectMeasured(result.out, dir.path() + "/bench-10000.xml");
        EXPECT_TRUE(dir.files().empty()) << size;
    }
    Output kept = command(kImportbench, "--runs 2 --sizes 10K --keep --dir " + quote(dir.path()));
    EXPECT_EQ(kept.status, 0);
    EXPECT_NE(kept.out.find("2 runs each"), std::string::npos) << kept.out;
    EXPECT_NE(kept.errors.find("importbench: kept " + dir.path() + "/bench-10000.xml\n"), std::string::npos)
        << kept.errors;
    EXPECT_EQ(dir.files(), std::vector<std::string>{"bench-10000.xml"});
    Output reused = command(kImportbench, "--runs 1 --sizes 10K --dir " + quote(dir.path()));
    EXPECT_EQ(reused.status, 0);
    EXPECT_NE(reused.errors.find("importbench: using " + dir.path() + "/bench-10000.xml, kept by an earlier run\n"),
              std::string::npos)
        << reused.errors;
    EXPECT_EQ(dir.files(), std::vector<std::string>{"bench-10000.xml"}) << "what it did not generate stays";
}

TEST(Importbench, GivenFilesAreMeasuredInsteadOfGeneratedOnes)
{
    Directory dir;
    TempFile broken("<D>");
    Output result = command(kImportbench, "--runs 1 --dir " + quote(dir.path()) + " " + quote(kSample));
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_NE(result.out.find("importbench: 1 file, 1 run each"), std::string::npos) << result.out;
    expectMeasured(result.out, kSample);
    EXPECT_NE(result.out.find("; 1452 records\n"), std::string::npos) << result.out;
    EXPECT_TRUE(dir.files().empty());
    Output failed = command(kImportbench, "--runs 1 " + quote(broken.path()));
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.errors.find("importbench: TinyXML cannot load " + broken.path() + ": "), std::string::npos)
        << failed.errors;
    Output repeated = command(kImportbench, "--repeat 2 " + quote(kSample));
    EXPECT_EQ(repeated.status, 0);
    EXPECT_NE(repeated.out.find("import     2: resident "), std::string::npos) << repeated.out;
    // A file the plug-in refuses fails the run, with the plug-in's message.
    Output refused = command(kImportbench, "--repeat 2 " + quote(broken.path()));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.errors.find("无法导入文件“" + broken.path() + "”"), std::string::npos) << refused.errors;
    EXPECT_NE(refused.errors.find("importbench: the plug-in could not import " + broken.path() + " (import 1)\n"),
              std::string::npos)
        << refused.errors;
}

// Standard output that cannot be written fails every command that prints
// to it, with the system's reason: output trouble, exit 2 (the benchmark:
// a failed run, 1).
TEST(Commands, StandardOutputThatCannotBeWrittenFailsWithTheReason)
{
    const struct {
        std::string program;
        std::string arguments;
        int status;
    } cases[] = {
        {kDictcheck, quote(kSample), 2},
        {kDictcheck, "--format", 2},
        {kDictcheck, "--json - " + quote(kSample), 2},
        {kImportbench, "--runs 1 --sizes 10K", 1},
    };
    for (const auto& c : cases) {
        Output result = command(c.program, c.arguments + " >/dev/full");
        EXPECT_EQ(result.status, c.status) << c.arguments;
        EXPECT_NE(result.errors.find("No space left on device"), std::string::npos) << c.arguments << ": " << result.errors;
    }
}

TEST(Dictcheck, EachBadArgumentExitsTwoWithOneLine)
{
    const std::string file = quote(kSample);
    Directory dir;
    expectRefused(kDictcheck, {
                                  {"", "dictcheck: FILE is required (see 'dictcheck --help')\n"},
                                  {"--examples 0 " + file, "dictcheck: --examples: Value 0 not in range 1 to 1000000 (see 'dictcheck --help')\n"},
                                  {"--examples", "dictcheck: --examples: 1 required N:INT in [1 - 1000000] missing (see 'dictcheck --help')\n"},
                                  {"--bogus " + file, "dictcheck: unknown option --bogus (see 'dictcheck --help')\n"},
                                  {"--format " + file, "dictcheck: --format excludes FILE (see 'dictcheck --help')\n"},
                                  {"--format --json x.json", "dictcheck: --format takes no --json (see 'dictcheck --help')\n"},
                                  {"--json /nonexistent/dir/report.json " + file,
                                   "dictcheck: cannot write /nonexistent/dir/report.json: No such file or directory\n"},
                                  {"--format --svg-dir x", "dictcheck: --format takes no --html or --svg-dir (see 'dictcheck --help')\n"},
                                  {"--html - " + file, "dictcheck: --html takes a file to write, not '-' (see 'dictcheck --help')\n"},
                                  {"--html /nonexistent/dir/report.html " + file,
                                   "dictcheck: cannot write /nonexistent/dir/report.html: No such file or directory\n"},
                                  {"--json " + quote(dir.path() + "/r.json") + " --html " + quote(dir.path() + "/./r.json") + " " + file,
                                   "dictcheck: the --html target " + dir.path() + "/./r.json is also the --json target; give another path\n"},
                                  {"--svg-dir " + file + " " + file,
                                   "dictcheck: cannot write into " + kSample + ": it is not a folder\n"},
                                  {"--svg-dir " + file + "/plans " + file,
                                   "dictcheck: cannot write into " + kSample + "/plans: " + kSample + " is not a folder\n"},
                              });
    EXPECT_TRUE(dir.files().empty());
}

TEST(Dictcheck, AReportTargetThatWouldLoseAFileIsRefusedBeforeAnyCheck)
{
    // "dictcheck --json in.xml out.xml": the arguments swapped.
    TempFile input(readFile(kSample), "in.xml");
    std::string dir = fs::path(input.path()).parent_path().string();
    const struct {
        const char* option;
        const char* what;
        const char* start;
    } outputs[] = {{"--json", "report", "{\"format\": \"dictimport-report/1\"}"},
                   {"--html", "report page", "<!DOCTYPE html> <!-- format: dictimport-page/1 -->"}};
    for (const auto& o : outputs) {
        Output swapped =
            command(kDictcheck, std::string(o.option) + " " + quote(input.path()) + " " + quote(dir + "/out.xml"));
        EXPECT_EQ(swapped.status, 2);
        EXPECT_EQ(swapped.errors, "dictcheck: the " + std::string(o.option) + " target " + input.path() +
                                      " exists and is not a " + o.what + " written by dictcheck (it does not start "
                                      "with " + o.start + "); not overwriting it: give another path, or remove the "
                                      "file first (is a file to import given after " + o.option + "?)\n");
        Output same = command(kDictcheck, std::string(o.option) + " " + quote(input.path()) + " " + quote(input.path()));
        EXPECT_EQ(same.status, 2);
        EXPECT_NE(same.errors.find("is one of the files to import"), std::string::npos) << same.errors;
    }
    // Someone's own page is kept too.
    TempFile own("<!DOCTYPE html>\n<title>mine</title>\n", "own.html");
    Output ownPage = command(kDictcheck, "--html " + quote(own.path()) + " " + quote(kSample));
    EXPECT_EQ(ownPage.status, 2);
    EXPECT_EQ(readFile(own.path()), "<!DOCTYPE html>\n<title>mine</title>\n");
    // The same new file, named relative to the working folder two ways.
    Output twice = command("sh", "-c " + quote("cd \"" + dir + "\" && \"" + kDictcheck +
                                               "\" --json r.json --html ./r.json \"" + kSample + "\""));
    EXPECT_EQ(twice.errors, "dictcheck: the --html target ./r.json is also the --json target; give another path\n");
    EXPECT_FALSE(fs::exists(dir + "/r.json"));
    EXPECT_EQ(readFile(input.path()), readFile(kSample)) << "the input is left as it was";
    EXPECT_FALSE(fs::exists(dir + "/out.xml"));
}

// One SVG file per storey, in elevation order, each a whole document; a
// folder that does not exist yet is made, files of an earlier run replaced.
TEST(Dictcheck, SvgPlansAreWrittenOnePerStorey)
{
    Directory dir;
    std::string plans = dir.path() + "/plans/sample";
    for (int run = 0; run < 2; ++run) {
        Output result = command(kDictcheck, "--svg-dir " + quote(plans) + " " + quote(kSample));
        EXPECT_EQ(result.status, 0) << result.errors;
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(plans))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"01-floor1.svg", "02-floor2.svg", "03-floor3.svg", "04-floor4.svg",
                                                   "05-floor5.svg", "06-floor6.svg"}));
        std::string svg = readFile(plans + "/03-floor3.svg");
        EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- format: dictimport-plan/1 -->\n<svg "
                            "xmlns=\"http://www.w3.org/2000/svg\"",
                            0),
                  0u);
        EXPECT_NE(svg.find("<title>Storey 3 "), std::string::npos);
        EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    }
    // Several files: each file's plans under its place among them.
    Output two = command(kDictcheck, "--svg-dir " + quote(dir.path()) + " " + quote(kSample) + " " + quote(kSample));
    EXPECT_EQ(two.status, 0);
    EXPECT_TRUE(fs::exists(dir.path() + "/file1-01-floor1.svg"));
    EXPECT_TRUE(fs::exists(dir.path() + "/file2-06-floor6.svg"));
}

TEST(Dictcheck, HelpNamesTheDefaultsAndExitStatusesAndVersionAnswers)
{
    Output help = command(kDictcheck, "--help");
    EXPECT_EQ(help.status, 0);
    for (const char* text : {"--examples N:INT in [1 - 1000000]=3", "--format", "--json PATH", "--html PATH",
                             "--svg-dir DIR",
                             "Exit status: 0 when every file imports complete", "2 on bad arguments"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text << " in\n" << help.out;
    for (const std::string& program : {kDictcheck, kImportbench}) {
        Output version = command(program, "--version");
        EXPECT_EQ(version.status, 0);
        EXPECT_TRUE(std::regex_match(version.out, std::regex("[a-z]+ [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << version.out;
    }
}

// Each command that writes a file, writing into `target`, an earlier
// file it may replace, and its exit status when it wrote the file whole.
struct Writer {
    const char* name;
    std::string (*line)(const std::string& target);
    const char* earlier;
    int status = 0;
};

const Writer kWriters[] = {
    {"hostsim --json",
     [](const std::string& target) {
         return quote(kHostsim) + " --plugin " + quote(PLUGIN_PATH) + " --json " + quote(target) + " " + quote(kSample);
     },
     "{\"format\":\"dictimport-store-dump/1\",\"model\":{}}\n"},
    {"dictcheck --json",
     [](const std::string& target) { return quote(kDictcheck) + " --json " + quote(target) + " " + quote(kSample); },
     "{\n  \"format\": \"dictimport-report/1\",\n  \"files\": []\n}\n"},
    {"dictcheck --html",
     [](const std::string& target) { return quote(kDictcheck) + " --html " + quote(target) + " " + quote(kSample); },
     "<!DOCTYPE html>\n<!-- format: dictimport-page/1 -->\n<p>earlier</p>\n"},
    {"modelgen -o", [](const std::string& target) { return quote(kModelgen) + " --storeys 2 -o " + quote(target); },
     "<?xml version=\"1.0\" encoding=\"utf-8\"?><!-- format: dictimport-model/1, written by modelgen -->\n"
     "<Dictionary/>\n"},
    {"dictdiff --json",
     [](const std::string& target) {
         return quote(kDictdiff) + " --json " + quote(target) + " " + quote(kSample) + " " + quote(kSample);
     },
     "{\"format\":\"dictimport-diff/1\",\"equal\":true}\n"},
    {"dictdiff --csv",
     [](const std::string& target) {
         return quote(kDictdiff) + " --csv " + quote(target) + " " + quote(kSample) + " " +
                quote(std::string(SOURCE_DIR) + "/tests/data/numbers.xml");
     },
     "section,table,change,old_key,new_key,storey,member,old,new,distance\r\n", 1},
};

// A write cut short (here by the file-size limit, 1 KB) leaves the earlier
// file byte for byte and nothing else in its folder; a complete one
// replaces it, through a symbolic link too, keeping the link.
TEST(OutputFiles, AreReplacedWholeOrNotAtAll)
{
    for (const Writer& writer : kWriters) {
        const std::string earlier = writer.earlier;
        Directory dir;
        std::string target = dir.path() + "/out.json";
        TempFile seed(earlier, "seed");
        fs::copy_file(seed.path(), target);
        fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        CommandResult cut = run("bash -c " + quote("ulimit -f 1; " + writer.line(target) + " >/dev/null 2>&1"));
        EXPECT_EQ(cut.status, 2) << writer.name;
        EXPECT_EQ(readFile(target), earlier) << writer.name;
        EXPECT_EQ(dir.files(), std::vector<std::string>{"out.json"}) << writer.name;

        std::string link = dir.path() + "/link.json";
        fs::create_symlink(target, link);
        CommandResult whole = run(writer.line(link) + " >/dev/null 2>&1");
        EXPECT_EQ(whole.status, writer.status) << writer.name;
        EXPECT_TRUE(fs::is_symlink(link)) << writer.name;
        std::string written = readFile(target);
        EXPECT_GT(written.size(), 1024u) << writer.name;
        EXPECT_TRUE(written[0] == '{' || written[0] == '<' || written.rfind("\xEF\xBB\xBFsection,", 0) == 0)
            << writer.name;
        EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
            << writer.name;
        std::vector<std::string> files = dir.files();
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, (std::vector<std::string>{"link.json", "out.json"})) << writer.name;
    }
}

// A device cannot be replaced: it is written in place and stays a device.
TEST(OutputFiles, ADeviceIsWrittenInPlace)
{
    for (const Writer& writer : kWriters) {
        EXPECT_EQ(run(writer.line("/dev/null") + " >/dev/null 2>&1").status, writer.status) << writer.name;
        EXPECT_TRUE(fs::is_character_file("/dev/null")) << writer.name;
    }
}

// A folder that cannot take a new file is refused before any work, with
// the system's reason, and nothing is left in it.
TEST(OutputFiles, AFolderThatCannotBeWrittenIsToldBeforeAnyWork)
{
    // Root writes into any folder: then the commands run as nobody.
    std::string as = "";
    if (geteuid() == 0) {
        if (run("setpriv --version >/dev/null 2>&1").status != 0)
            GTEST_SKIP() << "running as root without setpriv";
        as = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    }
    for (const Writer& writer : kWriters) {
        Directory dir;
        fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
        Output result = command("sh", "-c " + quote(as + writer.line(dir.path() + "/out.json")));
        fs::permissions(dir.path(), fs::perms::owner_all);
        EXPECT_NE(result.status, 0) << writer.name;
        EXPECT_NE(result.errors.find("Permission denied"), std::string::npos) << writer.name << ": " << result.errors;
        EXPECT_TRUE(dir.files().empty()) << writer.name;
    }
}

} // namespace
