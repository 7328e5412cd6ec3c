// Keeps docs/architecture.md's recipes for adding a table or a field
// honest against the sources: no source file outside the tests names a
// table or a field unless a recipe lists it or it is one of the files the
// document lists as naming particular tables; no table is named in more
// files than the recipe; and every recipe file names every table it is
// listed for, so the recipe is not longer than it needs to be.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kRoot = SOURCE_DIR;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A source without its line comments: a name in an example is no use of it.
std::string withoutComments(const std::string& text)
{
    std::string out;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::size_t comment = line.find("//");
        out += line.substr(0, comment == std::string::npos || line.find('"') < comment ? std::string::npos : comment);
        out += '\n';
    }
    return out;
}

// The project's sources outside the tests and the build folders, by their
// path from the root, without their comments.
const std::map<std::string, std::string>& sources()
{
    static const std::map<std::string, std::string> files = [] {
        std::map<std::string, std::string> found;
        for (auto it = fs::recursive_directory_iterator(kRoot); it != fs::recursive_directory_iterator(); ++it) {
            std::string name = it->path().filename().string();
            if (it->is_directory()) {
                if (name == "tests" || name.rfind("build", 0) == 0 || name[0] == '.')
                    it.disable_recursion_pending();
                continue;
            }
            std::string ext = it->path().extension().string();
            if (ext == ".h" || ext == ".cpp" || ext == ".in")
                found[fs::relative(it->path(), kRoot).generic_string()] = withoutComments(readFile(it->path()));
        }
        return found;
    }();
    return files;
}

bool isWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Whether `word` occurs in `text` as a whole identifier, right after
// `before` when that is given.
bool namesWord(const std::string& text, const std::string& word, const std::string& before = "")
{
    std::string needle = before + word;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
        std::size_t start = at + before.size();
        bool leftOk = !before.empty() || start == 0 || !isWordChar(text[start - 1]);
        std::size_t end = start + word.size();
        if (leftOk && (end == text.size() || !isWordChar(text[end])))
            return true;
    }
    return false;
}

// The source paths written in backquotes in a part of the document.
std::set<std::string> pathsIn(const std::string& part)
{
    std::set<std::string> paths;
    std::regex path(R"(`([A-Za-z/_]+\.(h|cpp))`)");
    for (std::sregex_iterator it(part.begin(), part.end(), path), end; it != end; ++it)
        if (std::string(it->str(1)).rfind("tests/", 0) != 0)
            paths.insert((*it)[1]);
    return paths;
}

// The document's part under a heading, up to the next heading.
std::string partOf(const std::string& doc, const std::string& heading)
{
    std::size_t start = doc.find("\n## " + heading + "\n");
    EXPECT_NE(start, std::string::npos) << heading;
    if (start == std::string::npos)
        return {};
    std::size_t end = doc.find("\n## ", start + 1);
    return doc.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

struct Table {
    std::string section; // "Model" or "Design"
    std::string record;  // "S_Node_D"
    std::string member;  // "m_pNode"
};

// Every table, from the host's store headers.
std::vector<Table> tables()
{
    std::vector<Table> found;
    for (const char* section : {"Model", "Design"}) {
        std::string header = sources().at(std::string("host/C") + section + "DB.h");
        std::regex member(R"(TableInterface<int, \w+::(S_\w+)>\* (m_p\w+);)");
        for (std::sregex_iterator it(header.begin(), header.end(), member), end; it != end; ++it)
            found.push_back({section, (*it)[1], (*it)[2]});
    }
    return found;
}

struct Field {
    std::string section;
    std::string record;
    std::string name;
};

// Every field of every record and sub-record, from the host's record headers.
std::vector<Field> fields()
{
    std::vector<Field> found;
    for (const char* section : {"Model", "Design"}) {
        std::string header = sources().at(std::string("host/") + section + "Records.h");
        std::regex record(R"(struct (?:HOST_API )?(\w+) \{([^}]*)\};)");
        std::regex member(R"(\n\s+[\w:<>, *]+?\s(\w+)(\[\w+\])?;)");
        for (std::sregex_iterator r(header.begin(), header.end(), record), end; r != end; ++r) {
            std::string body = (*r)[2];
            for (std::sregex_iterator m(body.begin(), body.end(), member); m != end; ++m)
                found.push_back({section, (*r)[1], (*m)[1]});
        }
    }
    return found;
}

// A recipe's files for a section: those that name the section or neither.
std::set<std::string> forSection(const std::set<std::string>& files, const std::string& section)
{
    std::string other = section == "Model" ? "Design" : "Model";
    std::set<std::string> out;
    for (const std::string& f : files)
        if (f.find(other) == std::string::npos)
            out.insert(f);
    return out;
}

struct Recipes {
    std::set<std::string> table, field, choosers;
    Recipes()
    {
        std::string doc = readFile(kRoot / "docs/architecture.md");
        table = pathsIn(partOf(doc, "Adding a table"));
        field = pathsIn(partOf(doc, "Adding a field to a record"));
        choosers = pathsIn(partOf(doc, "Code that names particular tables"));
    }
};

TEST(Recipes, TheDocumentListsTheirFiles)
{
    Recipes r;
    EXPECT_EQ(forSection(r.table, "Model").size(), 4u);
    EXPECT_EQ(forSection(r.table, "Design").size(), 4u);
    EXPECT_EQ(forSection(r.field, "Model").size(), 2u);
    EXPECT_FALSE(r.choosers.empty());
    for (const auto& list : {r.table, r.field, r.choosers})
        for (const std::string& f : list)
            EXPECT_TRUE(sources().count(f)) << f << " is listed but is no source file";
    ASSERT_GE(tables().size(), 30u);
    ASSERT_GE(fields().size(), 300u);
}

TEST(Recipes, ATableIsNamedOnlyWhereTheRecipeSaysAndByTheFilesThatChooseIt)
{
    Recipes r;
    std::multiset<std::string> records;
    for (const Table& t : tables())
        records.insert(t.record);
    for (const Table& t : tables()) {
        std::set<std::string> recipe = forSection(r.table, t.section);
        std::set<std::string> naming;
        for (const auto& [path, text] : sources())
            if (namesWord(text, t.record) || namesWord(text, t.member))
                naming.insert(path);
        for (const std::string& f : recipe)
            EXPECT_TRUE(naming.count(f)) << f << " is in the recipe but does not name " << t.record;
        std::size_t beyondChoosers = 0;
        for (const std::string& f : naming) {
            if (r.choosers.count(f))
                continue;
            ++beyondChoosers;
            EXPECT_TRUE(recipe.count(f) || records.count(t.record) > 1)
                << f << " names " << t.record << " but is neither in the recipe nor a file that names tables";
        }
        // A table the host holds twice is named where its second one is kept.
        std::size_t allowed = recipe.size() + (records.count(t.record) > 1 ? 2 : 0);
        EXPECT_LE(beyondChoosers, allowed) << t.record;
    }
}

TEST(Recipes, AFieldIsNamedByItsRecordAndItsSchemaLineAlone)
{
    Recipes r;
    // The format's own elements, which every reader names, and names too
    // short to be told from other uses.
    const std::set<std::string> common = {"Key", "Value", "Pair", "Pairs", "double"};
    for (const Field& f : fields()) {
        for (const auto& [path, text] : sources()) {
            if (r.choosers.count(path) || r.field.count(path))
                continue;
            // As a member pointer or by name in a string: how a list of
            // a record's fields would name it.
            bool named = namesWord(text, f.name, f.record + "::");
            if (!common.count(f.name) && f.name.size() > 2)
                named = named || text.find('"' + f.name + '"') != std::string::npos;
            EXPECT_FALSE(named) << path << " names " << f.record << "::" << f.name;
        }
    }
}

} // namespace
