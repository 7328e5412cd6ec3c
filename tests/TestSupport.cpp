#include "TestSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

#include "hostsim/store/Store.h"
#include "plugin/CMBMBNReaderImpl.h"

namespace fs = std::filesystem;

namespace testsupport {

std::string row(const std::string& key, const std::string& fields)
{
    return "<Pair><Key><Value>" + key + "</Value></Key><Value>" + fields + "</Value></Pair>\n";
}

std::string table(const std::string& name, const std::string& rows)
{
    return "<Pair><Key>" + name + "</Key><Value><Pairs>\n" + rows + "</Pairs></Value></Pair>\n";
}

std::string dictionary(const std::string& modelTables, const std::string& designTables)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Dictionary><Pairs>\n"
           "<Pair><Key>ModelDB</Key><Value xsi:type=\"Dictionary\" Version=\"1\"><Pairs>\n" +
           modelTables +
           "</Pairs></Value></Pair>\n"
           "<Pair><Key>DesignDB</Key><Value><Pairs>\n" +
           designTables + "</Pairs></Value></Pair>\n</Pairs></Dictionary>\n";
}

std::string element(const std::string& name, const std::string& text)
{
    return "<" + name + ">" + text + "</" + name + ">";
}

TempFile::TempFile(const std::string& content, const std::string& name)
{
    std::string pattern = (fs::temp_directory_path() / "dictimport-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_dir = pattern;
    m_path = (fs::path(m_dir) / name).string();
    std::ofstream(m_path, std::ios::binary) << content;
}

TempFile::~TempFile()
{
    std::error_code error;
    fs::remove_all(m_dir, error);
}

Directory::Directory() : m_scratch("", "placeholder")
{
    fs::remove(m_scratch.path());
    m_path = fs::path(m_scratch.path()).parent_path().string();
}

std::vector<std::string> Directory::files() const
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool importPath(const std::string& path)
{
    return theReader().importFile(path.c_str());
}

Json storeJson()
{
    std::FILE* file = std::tmpfile();
    hoststore::writeJson(file);
    std::rewind(file);
    std::string text;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    std::fclose(file);
    return Json::parse(text);
}

Json importText(const std::string& xml, bool* imported)
{
    hoststore::clearStore();
    TempFile file(xml);
    bool result = importPath(file.path());
    if (imported)
        *imported = result;
    return storeJson();
}

std::size_t recordCount(const Json& store)
{
    std::size_t count = 0;
    for (const char* section : {"model", "design"})
        for (const auto& [name, table] : store.at(section).items())
            count += table.size();
    return count;
}

const Json& rows(const Json& store, const char* section, const char* table)
{
    return store.at(section).at(table);
}

CommandResult run(const std::string& commandLine)
{
    CommandResult result{-1, {}};
    std::FILE* pipe = popen(commandLine.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, got);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

Output runWithErrors(const std::string& commandLine)
{
    TempFile scratch("", "stderr.txt");
    CommandResult result = run(commandLine + " 2>" + quote(scratch.path()));
    return {result.status, result.out, readFile(scratch.path())};
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> readLines(const std::string& path)
{
    return splitLines(readFile(path));
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string sampleText()
{
    return readFile(std::string(SAMPLES_DIR) + "/sample.xml");
}

int DamagedCopy::line() const
{
    std::size_t at = xml.find(this->at);
    return at == std::string::npos ? 0 : 1 + static_cast<int>(std::count(xml.begin(), xml.begin() + at, '\n'));
}

namespace {

// The text with the first `from` after `after` replaced by `to`.
std::string replaced(std::string text, const std::string& after, const std::string& from, const std::string& to)
{
    std::size_t at = text.find(from, text.find(after));
    if (at == std::string::npos)
        throw std::runtime_error("the sample has no " + from + " after " + after);
    return text.replace(at, from.size(), to);
}

} // namespace

std::vector<DamagedCopy> damagedSampleCopies()
{
    const std::string sample = sampleText();
    const std::string nodes = "<Key>NodeTable</Key>";
    const std::string root = sample.substr(sample.find("<Dictionary"));
    // Faults inside a row go on a line of their own, so that the element's
    // line differs from its row's.
    return {
        {"a table name misspelt", replaced(sample, "", nodes, "<Key>NodeTabel</Key>"), "table-unread", "NodeTabel",
         "“NodeTabel”没有对应的读取程序"},
        {"a number with a comma", replaced(sample, "", "<Area>403051</Area>", "\n<Area>403,051</Area>"),
         "number-not-whole", "403,051", "1 个数值没有按原文读取"},
        {"a model row without key text",
         replaced(sample, nodes, "<Key><Value>1</Value></Key>", "\n<Key><Value></Value></Key>"), "row-skipped",
         "<Key><Value></Value>", "1 行没有存储"},
        {"a field starting with a comment", replaced(sample, nodes, "<x>", "\n<x><!-- c -->"), "text-hidden",
         "<!-- c -->", "1 个字段的文本位于注释或其他标记之后"},
        {"an element before a table's first row",
         replaced(sample, nodes, "<Pairs>\n", "<Pairs>\n<Row><Key><Value>9</Value></Key><Value/></Row>\n"),
         "element-not-read", "<Row>", "1 个元素位于表的第一行或节的第一个表项之前"},
        {"a design row with an empty key",
         replaced(sample, "<Key>DesignDB</Key>", "<Key><Value>1</Value></Key>", "\n<Key><Value/></Key>"),
         "design-key-empty", "<Value/></Key>", "1 个设计行的键没有文本"},
        {"a NaN", replaced(sample, nodes, "<y>", "\n<y>nan</y><y>"), "non-finite", "<y>nan", "1 个实数写作无穷大或 NaN"},
        {"an infinity", replaced(sample, nodes, "<x>", "\n<x>-inf</x><x>"), "non-finite", "<x>-inf",
         "1 个实数写作无穷大或 NaN"},
        {"text after the root element", sample + "trailing\n", "after-root", "trailing", "根元素之后的内容没有读取"},
        {"a second dictionary appended", sample + replaced(root, "", "<Dictionary", "<Dictionary appended=\"yes\""),
         "after-root", "appended=", "根元素之后的内容没有读取"},
        {"an undefined entity", replaced(sample, "", "<Project>", "<Project>\nA&nbsp;B"), "reference-dropped",
         "&nbsp;", "1 处未定义的实体引用或单独的“&”从文本中删除"},
        {"a bare ampersand", replaced(sample, "", "<Project>", "<Project>\nA & B"), "reference-dropped", "& B",
         "1 处未定义的实体引用或单独的“&”从文本中删除"},
        {"a key repeated",
         replaced(sample, nodes, "<Key><Value>2</Value></Key>", "\n<Key><Value>1<!-- again --></Value></Key>"),
         "key-repeated", "<!-- again -->", "1 行的键与同一表中先前的行相同"},
    };
}

std::vector<std::string> filesTheTestsHold()
{
    std::vector<std::string> files;
    for (const char* folder : {"/tests/data", "/samples", "/fuzz/corpus", "/fuzz/bounds-corpus"}) {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(std::string(SOURCE_DIR) + folder))
            if (entry.is_regular_file())
                found.push_back(entry.path().string());
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

std::vector<std::string> copiesChangedAtRandom(const std::string& text, unsigned seed, int count)
{
    std::mt19937 random(seed);
    const char kBytes[] = "0,.-<>/&;x9 e";
    std::vector<std::string> copies;
    for (int i = 0; i < count && !text.empty(); ++i) {
        std::string copy = text;
        int changes = 1 + static_cast<int>(random() % 3);
        for (int k = 0; k < changes && !copy.empty(); ++k) {
            std::size_t at = random() % copy.size();
            switch (random() % 3) {
            case 0:
                copy[at] = kBytes[random() % (sizeof kBytes - 1)];
                break;
            case 1:
                copy.erase(at, 1 + random() % 8);
                break;
            default:
                copy.insert(at, copy.substr(at, 1 + random() % 30));
                break;
            }
        }
        copies.push_back(std::move(copy));
    }
    return copies;
}

} // namespace testsupport
