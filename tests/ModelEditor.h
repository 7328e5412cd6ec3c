// Revisions of a dictionary file, made with TinyXML: fields changed, rows
// removed and added, node keys renumbered with every reference to them.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

class TiXmlDocument;
class TiXmlElement;

namespace testsupport {

enum class Section { Model = 0, Design = 1 };

class ModelEditor {
public:
    explicit ModelEditor(const std::string& path);
    ~ModelEditor();

    // The keys of a table's rows, in file order.
    std::vector<int> keys(Section section, const char* table) const;
    // The row of a key; fails the test when there is none.
    TiXmlElement* row(Section section, const char* table, int key) const;

    // A field below the row's record, by element path: "x", "SectI/SName",
    // "SectI/Size/double#2" (the third child named double).
    std::string field(TiXmlElement* row, const std::string& path) const;
    void setField(TiXmlElement* row, const std::string& path, const std::string& text);

    void removeRow(Section section, const char* table, int key);
    // A copy of the row `like` under a new key, after the table's last row.
    TiXmlElement* addRow(Section section, const char* table, int key, TiXmlElement* like);

    // Gives each node the key the map gives it, in the node table and in
    // every "S_Node_K" reference of the model section.
    void renumberNodes(const std::map<int, int>& newKeys);

    void save(const std::string& path) const;

private:
    TiXmlElement* rows(Section section, const char* table) const;
    std::unique_ptr<TiXmlDocument> m_document;
};

// A model modelgen writes with these options ("--storeys 4 --seed 7"),
// written once per process for each set of options and removed at its end.
const std::string& generatedModel(const std::string& options);

} // namespace testsupport
