// A record's fields as a list: element name, member and kind, one entry
// per member, in member order. The element is also the member's name
// wherever a record is shown by name (the store's JSON dump, a comparison).
//
// Kinds are plain tags that say what the file holds for a field; they do
// nothing themselves. Reading a file folds over them (document/), and so
// do the store's record construction and dump, the format document, the
// comparison of two imports and the model generator.
#pragma once

#include <cstddef>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

namespace schema {

template <class R, class M, class Kind>
struct Field {
    using Record = R;
    using Member = M;
    const char* element;
    M R::*member;
    Kind kind;
};

template <class R, class M, class Kind>
constexpr Field<R, M, Kind> field(const char* element, M R::*member, Kind kind)
{
    return {element, member, kind};
}

template <class... F>
constexpr auto fieldList(F... fields)
{
    return std::make_tuple(fields...);
}

// The record type a list describes.
template <class List>
using RecordOf = typename std::tuple_element_t<0, List>::Record;

// Calls f(field) for every field of the list, in member order.
template <class List, class F>
constexpr void forEachField(const List& list, F&& f)
{
    std::apply([&](const auto&... each) { (f(each), ...); }, list);
}

// The element's own text, converted to M.
template <class M>
struct AsValue {};

constexpr AsValue<int> asInt{};
constexpr AsValue<double> asReal{};
constexpr AsValue<std::string> asText{};
constexpr AsValue<bool> asFlag{};

// A keyed reference: <field><Wrapper><Value>key</Value></Wrapper></field>.
// The wrapper names the table the key refers to: "S_Node_K" refers to the
// store's table "Node".
struct KeyRef {
    const char* wrapper;
};
constexpr KeyRef keyRef(const char* wrapper)
{
    return {wrapper};
}

// Integers from the 1st, 2nd, ... child element named "double".
struct AsIntsFromDoubles {};
constexpr AsIntsFromDoubles asIntsFromDoubles{};

// A sub-record: its own list, read from its element. Only the first
// `Links` fields are read; the others keep their values.
template <class List, std::size_t Links = std::tuple_size_v<List>>
struct SubRecord {
    List list;
};
template <class List>
constexpr SubRecord<List> subRecord(const List& list)
{
    return {list};
}
template <std::size_t Links, class List>
constexpr SubRecord<List, Links> subRecordUpTo(const List& list)
{
    return {list};
}

// An array of sub-records, the i-th read from the i-th element of the name.
template <class List>
struct SubRecords {
    SubRecord<List> each;
};
template <class List>
constexpr SubRecords<List> subRecords(const List& list)
{
    return {{list}};
}

// Keys of a list's entries: their positions 0, 1, ... or their own values.
enum class EntryKeys { Position, Value };

// A list of numbers held by the record: one entry per element, from the
// first child named `first` on through every following sibling element,
// whatever its name. An entry's number is the text of its child
// `valueChild`, or its own text when that is null; an entry without text
// repeats the number before it (0 for the first). Entries are added to
// what the list already holds. A list of keys names, by `first`
// ("S_Node_K"), the table they refer to.
template <class V>
struct EntryList {
    const char* first;
    EntryKeys keys;
    const char* valueChild;
};

// A list of sub-records held by the record, one per element from the
// first child named `first` on, each under its position.
template <class List>
struct RecordList {
    const char* first;
    List list;
};
template <class List>
constexpr RecordList<List> recordList(const char* first, const List& list)
{
    return {first, list};
}

// A link that never fails a chain; a missing element is no news.
template <class Kind>
struct Optional {
    Kind kind;
};
template <class Kind>
constexpr Optional<Kind> optional(Kind kind)
{
    return {kind};
}

// The field list of a sub-record kind, of each of an array's sub-records,
// or of each entry of a list of sub-records.
template <class List, std::size_t Links>
constexpr const List& subFields(const SubRecord<List, Links>& kind)
{
    return kind.list;
}
template <class List>
constexpr const List& subFields(const SubRecords<List>& kind)
{
    return kind.each.list;
}
template <class List>
constexpr const List& subFields(const RecordList<List>& kind)
{
    return kind.list;
}
template <class Kind>
constexpr const auto& subFields(const Optional<Kind>& kind)
{
    return subFields(kind.kind);
}

// Whether a kind holds sub-records (and subFields applies to it).
template <class Kind>
struct HoldsSubRecords : std::false_type {};
template <class List, std::size_t Links>
struct HoldsSubRecords<SubRecord<List, Links>> : std::true_type {};
template <class List>
struct HoldsSubRecords<SubRecords<List>> : std::true_type {};
template <class List>
struct HoldsSubRecords<RecordList<List>> : std::true_type {};
template <class Kind>
struct HoldsSubRecords<Optional<Kind>> : HoldsSubRecords<Kind> {};

} // namespace schema
