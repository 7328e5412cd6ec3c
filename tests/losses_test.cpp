// What the plug-in counts as lost, against what the report tells of the
// same file, counted apart: on every test file, on damaged copies of the
// sample and on seeded random damage.
#include <filesystem>
#include <cstring>
#include <iterator>
#include <random>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "hostsim/store/Store.h"
#include "plugin/CMBMBNReaderImpl.h"
#include "plugin/UserMessages.h"
#include "text/Utf8.h"
#include "tools/report/FileReport.h"

namespace fs = std::filesystem;
using namespace testsupport;

namespace {

struct Counts {
    bool imported;
    document::LossTally counted;  // as the plug-in counts a run
    document::LossTally reported; // as the report tells it
};

Counts countBothWays(const std::string& path)
{
    hoststore::clearStore();
    CMBMBNReaderImpl plugin(nullptr, RunFeedback{false, false, {}});
    bool imported = plugin.importFile(path.c_str());
    hoststore::clearStore();
    dictcheck::FileObserver observer(path, 1);
    CMBMBNReaderImpl reader(&observer, RunFeedback{false, false, {}});
    reader.importFile(path.c_str());
    return {imported, plugin.losses(), dictcheck::lossesOf(observer.finish())};
}

std::string describe(const document::LossTally& t)
{
    std::string out;
    for (const document::CountedLoss& loss : document::kCountedLosses)
        out += std::string(loss.kind) + " " + std::to_string(t.*loss.count) + ", ";
    out += "after root " + std::to_string(t.contentAfterRoot) + ", bytes " + std::to_string(t.bytesNotUtf8) + ", unread";
    for (const auto& u : t.unreadTables)
        out += " " + u.section + "/" + u.name;
    return out;
}

void expectAgreement(const std::string& path, const std::string& what)
{
    Counts counts = countBothWays(path);
    if (!counts.imported)
        return; // nothing was counted: the file is refused
    EXPECT_TRUE(dictcheck::sameLosses(counts.counted, counts.reported))
        << what << "\n  counted:  " << describe(counts.counted) << "\n  reported: " << describe(counts.reported);
}

TEST(Losses, ThePluginCountsWhatTheReportTellsOnEveryTestFile)
{
    for (const char* folder : {"/tests/data", "/fuzz/corpus", "/fuzz/bounds-corpus", "/samples"})
        for (const auto& entry : fs::directory_iterator(std::string(SOURCE_DIR) + folder))
            expectAgreement(entry.path().string(), entry.path().string());
    for (const DamagedCopy& copy : damagedSampleCopies()) {
        TempFile file(copy.xml);
        Counts counts = countBothWays(file.path());
        EXPECT_TRUE(counts.counted.any()) << copy.what;
        EXPECT_TRUE(dictcheck::sameLosses(counts.counted, counts.reported))
            << copy.what << "\n  counted:  " << describe(counts.counted)
            << "\n  reported: " << describe(counts.reported);
    }
}

TEST(Losses, TheSampleLosesNothing)
{
    Counts counts = countBothWays(std::string(SAMPLES_DIR) + "/sample.xml");
    EXPECT_TRUE(counts.imported);
    EXPECT_FALSE(counts.counted.any()) << describe(counts.counted);
}

// Seeded damage of the kinds users meet, several at a time, anywhere in
// the sample: the two counts agree on each copy.
TEST(Losses, ThePluginCountsWhatTheReportTellsOnRandomDamage)
{
    const std::string sample = sampleText();
    const char* const kInsertions[] = {
        "<!-- c -->", "&", "&nbsp;", "&amp;", ",5", "x", "<X>1</X>", "<Row/>", "nan", "inf", "1e999", "\xD6\xD0",
        "\xA9", "<Key><Value/></Key>", "<Key/>", "<Value/>", "</Pair><Pair>", " ", "\n",
    };
    const char* const kRemovals[] = {"<Key>", "<Value>", "</Value>", "Table</Key>", "<Pair>", "<x>", "<Gamma0>"};
    std::mt19937 random(20261209);
    for (int copy = 0; copy < 80; ++copy) {
        std::string xml = sample;
        int faults = 1 + static_cast<int>(random() % 4);
        std::string what = "copy " + std::to_string(copy) + ":";
        for (int f = 0; f < faults; ++f) {
            // Inside the text of an element, or over a tag.
            std::size_t at = random() % xml.size();
            at = xml.find('>', at);
            if (at == std::string::npos)
                continue;
            ++at;
            if (random() % 3) {
                const char* insertion = kInsertions[random() % std::size(kInsertions)];
                xml.insert(at, insertion);
                what += " +" + std::string(insertion) + "@" + std::to_string(at);
            } else {
                const char* removal = kRemovals[random() % std::size(kRemovals)];
                std::size_t found = xml.find(removal, at);
                if (found == std::string::npos)
                    continue;
                xml.erase(found, std::strlen(removal));
                what += " -" + std::string(removal) + "@" + std::to_string(found);
            }
        }
        TempFile file(xml);
        expectAgreement(file.path(), what);
    }
}

} // namespace

namespace {

std::size_t utf8Bytes(const std::wstring& text)
{
    return platform::toUtf8(text).size();
}

// Whatever the file holds, the plug-in's messages stay readable: each
// quoted name cut with an ellipsis, no control character, at most 4 KB.
TEST(Losses, MessagesStayReadableWhateverTheFileHolds)
{
    document::LossTally losses;
    losses.rowsNotStored = 3;
    for (int i = 0; i < 6; ++i)
        losses.unreadTables.push_back({"ModelDB", std::string(5000000, 'a' + i) + "\x1b[2J", "FloorTable"});
    std::string longPath = "/" + std::string(3000, 'd') + "/model\x07.xml";
    std::wstring message = lossMessage(longPath.c_str(), losses);
    EXPECT_LE(utf8Bytes(message), 4096u);
    EXPECT_NE(message.find(L"\u2026"), std::wstring::npos);
    EXPECT_NE(message.find(L"model\\x07.xml"), std::wstring::npos) << "a path keeps its file name";
    EXPECT_NE(message.find(L"dictcheck"), std::wstring::npos) << "the advice at its end is kept";
    for (wchar_t c : message)
        EXPECT_FALSE(c < 0x20 && c != L'\n') << static_cast<int>(c);

    document::RunFailure failure;
    failure.what = std::string(100000, 'w');
    EXPECT_LE(utf8Bytes(runFailureMessage(longPath.c_str(), failure)), 4096u);
    NoDictionary none;
    none.frame.missing = document::DictionaryFrame::Missing::SectionList;
    none.frame.rootName = std::string(100000, 'r');
    EXPECT_LE(utf8Bytes(noDictionaryMessage(longPath.c_str(), none)), 4096u);
    document::LoadError notXml;
    notXml.kind = document::LoadError::Kind::NotXml;
    notXml.row = 1;
    notXml.column = 1;
    notXml.detail = std::string("\x1f\x8b\x08\0\x1b", 5);
    std::wstring told = loadFailureMessage(longPath.c_str(), notXml);
    EXPECT_NE(told.find(L"\\x1f\\x8b\\x08\\x00\\x1b"), std::wstring::npos);
    EXPECT_NE(told.find(L"gzip"), std::wstring::npos);
}

} // namespace
