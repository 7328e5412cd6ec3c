#include "TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

std::string quote(const std::string& s)
{
    return "'" + s + "'";
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

} // namespace testsupport
