// Test helpers: dictionary files written from snippets, imports through
// the reader into the store, and the store read back as JSON.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace testsupport {

using Json = nlohmann::ordered_json;

// <Pair><Key><Value>key</Value></Key><Value>fields</Value></Pair>
std::string row(const std::string& key, const std::string& fields);
// A table entry holding the rows.
std::string table(const std::string& name, const std::string& rows);
// A whole file: the model section's tables, then the design section's.
std::string dictionary(const std::string& modelTables, const std::string& designTables = "");
// <name>text</name>
std::string element(const std::string& name, const std::string& text);

// A file in a fresh temporary directory, removed with the object.
class TempFile {
public:
    explicit TempFile(const std::string& content, const std::string& name = "model.xml");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_dir;
    std::string m_path;
};

// Empties the store, imports the text as a file through a reader, and
// returns the store's dump. `imported` receives importFile's result.
Json importText(const std::string& xml, bool* imported = nullptr);
// Imports into the store as it is (no emptying first).
bool importPath(const std::string& path);
// The whole store as JSON.
Json storeJson();

// The number of records in all tables of a dump.
std::size_t recordCount(const Json& store);

// The records of a table: {"key": k, "value": v} objects.
const Json& rows(const Json& store, const char* section, const char* table);

// A path or argument in single quotes, for a command line.
inline std::string quote(const std::string& s)
{
    return "'" + s + "'";
}

// An empty directory, removed with the object.
class Directory {
public:
    Directory();
    const std::string& path() const { return m_path; }
    // The path of `name` in it.
    std::string at(const std::string& name) const { return m_path + "/" + name; }
    // The names it holds, sorted.
    std::vector<std::string> files() const;

private:
    TempFile m_scratch;
    std::string m_path;
};

// Runs a command line; its standard output and exit status.
struct CommandResult {
    int status;
    std::string out;
};
CommandResult run(const std::string& commandLine);

// The same with its standard error too.
struct Output {
    int status;
    std::string out;
    std::string errors;
};
Output runWithErrors(const std::string& commandLine);

// A copy of the bundled sample with one fault, as a user meets it: what
// the report calls it, and the place of the element at fault (the line of
// the first occurrence of `at`, which the fault put there).
struct DamagedCopy {
    const char* what;
    std::string xml;
    const char* kind; // the report's kind of warning
    std::string at;
    const char* message; // what the plug-in's message says of it
    int line() const;
};
std::vector<DamagedCopy> damagedSampleCopies();
std::string sampleText();
// Every file the tests hold: the test models, the samples and both fuzz
// seed folders, each folder's files sorted.
std::vector<std::string> filesTheTestsHold();
// `count` copies of a text, each with one to three places changed at
// random (a byte replaced, a few removed, or a few doubled), from `seed`.
std::vector<std::string> copiesChangedAtRandom(const std::string& text, unsigned seed, int count);

std::string readFile(const std::string& path);
std::vector<std::string> readLines(const std::string& path);
std::vector<std::string> splitLines(const std::string& text);

} // namespace testsupport
