#include "tools/dictcheck/FormatDoc.h"

#include <cctype>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <type_traits>
#include <typeinfo>
#include <vector>

#if __has_include(<cxxabi.h>)
#include <cxxabi.h>
#endif

#include "schema/DesignSchema.h"
#include "document/TableWalk.h"
#include "schema/ModelSchema.h"

namespace dictcheck {
namespace {

// The host's name of a record type, without its namespace ("S_Node_D").
std::string recordName(const std::type_info& type)
{
    std::string name = type.name();
#if __has_include(<cxxabi.h>)
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                     std::free);
    if (status == 0 && demangled)
        name = demangled.get();
#endif
    std::size_t colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

// "1st", "2nd", "3rd", "4th", ...
std::string ordinal(std::size_t n)
{
    const char* suffix = "th";
    if (n % 100 < 11 || n % 100 > 13)
        suffix = n % 10 == 1 ? "st" : n % 10 == 2 ? "nd" : n % 10 == 3 ? "rd" : "th";
    return std::to_string(n) + suffix;
}

// "the 1st and the 2nd", "the 1st to the 6th"
std::string firstTo(std::size_t n)
{
    if (n == 1)
        return "the 1st";
    return "the 1st " + std::string(n == 2 ? "and" : "to") + " the " + ordinal(n);
}

std::string code(const std::string& text)
{
    return "`" + text + "`";
}

struct Row {
    std::string element, kind, missing;
};

// What a value field's conversion is called.
template <class V>
constexpr const char* valueKind()
{
    if constexpr (std::is_same_v<V, int>)
        return "integer";
    else if constexpr (std::is_same_v<V, double>)
        return "real";
    else if constexpr (std::is_same_v<V, bool>)
        return "flag";
    else
        return "text";
}

// Tells the describer what a field of member type M and of that kind
// reads: one overload per kind of field.
template <class M, class D, class V>
void describeField(D& describer, const char* element, const schema::AsValue<V>&)
{
    describer.value(element, valueKind<V>());
}
template <class M, class D>
void describeField(D& describer, const char* element, const schema::KeyRef& kind)
{
    describer.keyReference(element, kind.wrapper);
}
template <class M, class D>
void describeField(D& describer, const char* element, const schema::AsIntsFromDoubles&)
{
    describer.integersFromDoubles(element, std::extent_v<M>);
}
template <class M, class D, class List, std::size_t Links>
void describeField(D& describer, const char* element, const schema::SubRecord<List, Links>& kind)
{
    describer.subRecord(element, kind.list, Links);
}
template <class M, class D, class List>
void describeField(D& describer, const char* element, const schema::SubRecords<List>& kind)
{
    describer.subRecords(element, std::extent_v<M>, kind.each.list);
}
template <class M, class D, class V>
void describeField(D& describer, const char* element, const schema::EntryList<V>& kind)
{
    describer.entryList(element, kind.first, kind.keys, kind.valueChild, valueKind<V>());
}
template <class M, class D, class List>
void describeField(D& describer, const char* element, const schema::RecordList<List>& kind)
{
    describer.recordList(element, kind.first, kind.list);
}
// The describer's optional() gives one that describes the field as one
// whose absence changes nothing.
template <class M, class D, class Kind>
void describeField(D& describer, const char* element, const schema::Optional<Kind>& kind)
{
    auto optionalDescriber = describer.optional();
    describeField<M>(optionalDescriber, element, kind.kind);
}

// Tells the describer of every field of the list, in order.
template <class D, class List>
void describeList(D& describer, const List& list)
{
    std::apply(
        [&](const auto&... f) {
            (describeField<typename std::decay_t<decltype(f)>::Member>(describer, f.element, f.kind), ...);
        },
        list);
}

enum class Section { Model, Design };

// The sub-records met while describing a section, each described once,
// in the order they are first met.
class SubRecords {
public:
    template <class List>
    std::string add(const List& list, Section section);
    // Describes the queued sub-records (and those they hold) to `out`.
    void write(std::ostream& out);

private:
    std::set<std::string> m_known;
    std::vector<std::pair<std::string, std::function<std::vector<Row>()>>> m_queue;
};

// A link to a sub-record's description.
std::string subRecordLink(const std::string& name)
{
    std::string anchor;
    for (char c : name)
        anchor += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return "[" + code(name) + "](#" + anchor + ")";
}

// Takes what each field's kind tells of itself and makes one row of it.
class RowDescriber {
public:
    RowDescriber(std::vector<Row>& rows, SubRecords& subRecords, Section section)
        : m_rows(&rows), m_subRecords(&subRecords), m_section(section)
    {
    }

    void value(const char* element, const char* kind) { add(element, kind); }

    void keyReference(const char* element, const char* wrapper)
    {
        add(element, "key reference: the key in " + code("<" + std::string(wrapper) + "><Value>key</Value></" +
                                                         wrapper + ">"));
    }

    void integersFromDoubles(const char* element, std::size_t count)
    {
        add(element, std::to_string(count) + " integers: " + firstTo(count) + " child " + code("double"));
    }

    template <class List>
    void subRecord(const char* element, const List& list, std::size_t links)
    {
        std::string kind = "sub-record " + m_subRecords->add(list, m_section);
        constexpr std::size_t size = std::tuple_size_v<List>;
        if (links < size) {
            kind += ", its first " + std::to_string(links) + " elements only (";
            for (std::size_t i = links; i < size; ++i)
                kind += (i > links ? ", " : "") + code(elementAt(list, i));
            kind += std::string(size - links == 1 ? " is" : " are") + " not read here)";
        }
        add(element, kind);
    }

    template <class List>
    void subRecords(const char* element, std::size_t count, const List& list)
    {
        add(element, std::to_string(count) + " sub-records " + m_subRecords->add(list, m_section) + ": " +
                         firstTo(count) + " " + code(element) + " element of the row");
    }

    void entryList(const char* element, const char* first, schema::EntryKeys keys, const char* valueChild,
                   const char* kind)
    {
        bool keysList = std::string(kind) == "integer";
        std::string text = std::string(keysList ? "key list" : "value list") + ": one " +
                           (keysList ? "key" : kind) + " per element from the first " + code(first) + " child on, " +
                           (valueChild ? "in the element's " + code(valueChild) : std::string("its own text")) +
                           "; " +
                           (keys == schema::EntryKeys::Position ? "stored by position (0, 1, ...)"
                                                                  : "stored under the key itself (a key given twice "
                                                                    "counts once)");
        add(element, text);
    }

    template <class List>
    void recordList(const char* element, const char* first, const List& list)
    {
        add(element, "list of sub-records " + m_subRecords->add(list, m_section) + ": one per element from the first " +
                         code(first) + " child on; stored by position (0, 1, ...)");
    }

    RowDescriber optional() const
    {
        RowDescriber copy = *this;
        copy.m_optional = true;
        return copy;
    }

private:
    template <class List>
    static const char* elementAt(const List& list, std::size_t index)
    {
        const char* name = "";
        std::size_t i = 0;
        std::apply([&](const auto&... f) { ((name = i++ == index ? f.element : name), ...); }, list);
        return name;
    }

    void add(const char* element, const std::string& kind)
    {
        const char* missing = m_section == Section::Model ? "keeps its default"
                              : m_optional                ? "nothing"
                                                          : "row not stored";
        m_rows->push_back({code(element), kind, missing});
    }

    std::vector<Row>* m_rows;
    SubRecords* m_subRecords;
    Section m_section;
    bool m_optional = false;
};

template <class List>
std::vector<Row> describeRows(const List& list, SubRecords& subRecords, Section section)
{
    std::vector<Row> rows;
    RowDescriber describer(rows, subRecords, section);
    describeList(describer, list);
    return rows;
}

template <class List>
std::string SubRecords::add(const List& list, Section section)
{
    std::string name = recordName(typeid(schema::RecordOf<List>));
    if (m_known.insert(name).second)
        m_queue.emplace_back(name, [this, list, section] { return describeRows(list, *this, section); });
    return subRecordLink(name);
}

void writeRows(std::ostream& out, const std::vector<Row>& rows)
{
    out << "| Element | Kind | When missing |\n|---|---|---|\n";
    for (const Row& row : rows)
        out << "| " << row.element << " | " << row.kind << " | " << row.missing << " |\n";
    out << "\n";
}

void SubRecords::write(std::ostream& out)
{
    // Describing one may queue more: go on until none is left.
    for (std::size_t i = 0; i < m_queue.size(); ++i) {
        std::string name = m_queue[i].first;
        auto describe = m_queue[i].second; // the queue may grow meanwhile
        std::vector<Row> rows = describe();
        out << "#### " << code(name) << "\n\n";
        writeRows(out, rows);
    }
}

template <class Tables>
void writeSection(std::ostream& out, Section section, const char* title, const Tables& tables)
{
    const char* sectionName = section == Section::Model ? document::ModelRows::kSection
                                                        : document::DesignRows::kSection;
    out << "## " << title << " (" << code(sectionName) << ")\n\n";
    SubRecords subRecords;
    schema::forEachTable(tables, [&](const auto& t) {
        out << "### " << t.name << "\n\n"
            << "Each row becomes one " << code(recordName(typeid(typename std::decay_t<decltype(t)>::Record)))
            << " record in the store's " << t.displayName << " table.\n\n";
        writeRows(out, describeRows(t.fields, subRecords, section));
    });
    out << "### Sub-records of the " << (section == Section::Model ? "model" : "design") << " section\n\n";
    subRecords.write(out);
}

} // namespace

void writeFormatTables(std::ostream& out)
{
    writeSection(out, Section::Model, "Model tables", building_modelDB::fields::kTables);
    writeSection(out, Section::Design, "Design tables", building_designDB::fields::kTables);
}

} // namespace dictcheck
