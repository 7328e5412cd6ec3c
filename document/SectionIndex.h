// The two-level index of a loaded document: section name to (table name
// to the table's entry element), and the document its rows are read
// from. It refers into the document and owns nothing of it.
#pragma once

#include <map>
#include <string>

class TiXmlDocument;
class TiXmlElement;

namespace document {

class ImportObserver;
class LoadedDocument;
struct LossTally;

using TableMap = std::map<std::string, TiXmlElement*>;

class SectionIndex {
public:
    // Find-or-insert: an unknown section gets an empty table map.
    TableMap& section(const std::string& name) { return m_sections[name]; }
    void setDocument(LoadedDocument* document) { m_document = document; }
    LoadedDocument* document() const { return m_document; }
    void clear()
    {
        m_sections.clear();
        m_document = nullptr;
    }

private:
    std::map<std::string, TableMap> m_sections;
    LoadedDocument* m_document = nullptr;
};

// The frame of a dictionary: the root element, its section list ("Pairs")
// and at least one section entry in it. A document without one of them
// holds nothing to import.
struct DictionaryFrame {
    enum class Missing { Nothing, Root, SectionList, Section };
    Missing missing = Missing::Nothing;
    TiXmlElement* sectionList = nullptr;
    std::string rootName;       // when the root has no section list
    bool doctypeSubset = false; // a top-level DOCTYPE with an internal subset, which TinyXML stops at
};
DictionaryFrame dictionaryFrame(TiXmlDocument& document);

// Records every table entry of a section entry under its table name; the
// first entry of a name wins. Always true. The tally, when given, counts
// the entries left out (skipped, repeated, or before the first "Pair");
// the observer, when given, hears of every entry under the section's name.
bool indexSection(TiXmlElement* sectionEntry, TableMap& tables, LossTally* tally = nullptr,
                  ImportObserver* observer = nullptr, const char* section = "");

// The entry of a table, when the name is present; otherwise false and
// `entry` is left as it was.
bool findTable(const std::string& name, const TableMap& tables, TiXmlElement*& entry);

} // namespace document
