// One verdict per file, whichever command gives it: dictcheck's first line
// and hostsim's line for the file say the same (complete / imported,
// incomplete / imported with losses, not imported), and dictcheck's exit
// status is hostsim --strict's. Tried on every file the tests hold, every
// damaged copy of the sample, files that are not models, and copies of the
// sample changed at random places.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace testsupport;

namespace {

const std::string kDictcheck = DICTCHECK_PATH;
const std::string kHostsim = HOSTSIM_PATH;
const std::string kPlugin = PLUGIN_PATH;

struct Case {
    std::string what;
    std::string path;
};

std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

// What a verdict line says, after the file's path.
std::string verdictWord(const std::string& line, const std::string& path, const std::vector<std::string>& words)
{
    if (line.compare(0, path.size() + 2, path + ": ") != 0)
        return "(no line for the file: " + line + ")";
    std::string rest = line.substr(path.size() + 2);
    for (const std::string& word : words)
        if (rest.compare(0, word.size(), word) == 0)
            return word;
    return "(unknown: " + rest + ")";
}

// Both commands on one file: their verdicts map onto each other, and their
// exit statuses agree.
void expectAgreement(const Case& c)
{
    Output check = runWithErrors(quote(kDictcheck) + " " + quote(c.path));
    Output import = runWithErrors(quote(kHostsim) + " --strict --plugin " + quote(kPlugin) + " " + quote(c.path));
    std::string checked = verdictWord(firstLine(check.out), c.path, {"complete, ", "incomplete: ", "not imported: "});
    std::string imported = verdictWord(firstLine(import.out), c.path,
                                       {"imported, ", "imported with losses: ", "not imported"});
    const std::pair<std::string, std::string> same[] = {
        {"complete, ", "imported, "}, {"incomplete: ", "imported with losses: "}, {"not imported: ", "not imported"}};
    bool agree = false;
    for (const auto& [a, b] : same)
        agree = agree || (checked == a && imported == b);
    EXPECT_TRUE(agree) << c.what << ":\n  dictcheck: " << firstLine(check.out) << "\n  hostsim:   "
                       << firstLine(import.out);
    EXPECT_EQ(check.status, import.status) << c.what << ": dictcheck " << check.status << ", hostsim --strict "
                                           << import.status << "\n  " << firstLine(check.out);
    EXPECT_EQ(check.status, checked == "complete, " ? 0 : 1) << c.what;
}

TEST(Verdicts, AgreeOnEveryFileTheTestsHold)
{
    std::vector<std::string> files = filesTheTestsHold();
    ASSERT_GE(files.size(), 10u);
    for (const std::string& file : files)
        expectAgreement({file, file});
}

TEST(Verdicts, AgreeOnDamagedCopiesNotesAndFilesThatAreNoModels)
{
    std::string sample = sampleText();
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string copy = sample;
        copy.replace(copy.find(from), from.size(), to);
        return copy;
    };
    std::vector<std::pair<std::string, std::string>> files;
    for (const DamagedCopy& copy : damagedSampleCopies())
        files.emplace_back(copy.what, copy.xml);
    files.insert(files.end(), {
        {"a declared encoding, a note", replaced("encoding=\"utf-8\"", "encoding=\"GBK\"")},
        {"a field without its element, a note", replaced("<x>", "<X>")},
        {"a table misspelt with its rows", replaced("<Key>BeamTable</Key>", "<Key>BeamTabel</Key>")},
        {"empty", ""},
        {"text", "hello\n"},
        {"gzip", std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00", 8)},
        {"UTF-16 with its byte-order mark", std::string("\xff\xfe<\0?\0x\0m\0l\0", 12)},
        {"cut in half", sample.substr(0, sample.size() / 2)},
        {"no dictionary", "<?xml version=\"1.0\"?><Other/>"},
    });
    for (const auto& [what, xml] : files) {
        TempFile file(xml);
        expectAgreement({what, file.path()});
    }
}

TEST(Verdicts, AgreeOnCopiesChangedAtRandomPlaces)
{
    // Each copy has a few bytes of the sample's text changed, removed or
    // doubled: most stay models, with losses of every kind.
    std::vector<std::string> copies = copiesChangedAtRandom(sampleText(), 2026, 40);
    for (std::size_t i = 0; i < copies.size(); ++i) {
        const std::string& copy = copies[i];
        TempFile file(copy);
        expectAgreement({"random copy " + std::to_string(i), file.path()});
    }
}

} // namespace
