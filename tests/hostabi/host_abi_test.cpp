// Virtual slot orders of the classes the host and the plug-in call each
// other through, under the Microsoft C++ ABI (the host's own compiler) and
// the GNU one (Linux, MinGW). clang compiles layout_probe.cpp for each ABI
// with its vtable layout dump; every class the dump lays out must have
// exactly the slots listed here, in this order.
#include <algorithm>
#include <cstdio>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Slots = std::vector<std::string>;

Slots withSlot(Slots slots, const std::string& slot)
{
    slots.push_back(slot);
    return slots;
}

// Signatures as clang's dump prints them; "~" is the virtual destructor.
const Slots kTableInterface = {
    "GetSize()",
    "GetKeys(K *, int)",
    "GetData(V *, int)",
    "GetData(const K &, V &)",
    "AddData(const K &, V &)",
    "operator=(const TableInterface<K, V> &)",
};

// The policy's two GetData overloads stand in the opposite order to
// TableInterface's.
const Slots kPolicy = {
    "GetSize()",
    "GetKeys(K *, int)",
    "GetData(const K &, V &)",
    "GetData(V *, int)",
    "AddData(const K &, V &)",
    "operator=(const TCopyPolicy<K, V> &)",
};

const Slots kReader = {"~", "setData(EventData *)", "importFile(const char *)"};
const Slots kModelStore = {"~", "setData(CModelDBData *)", "setData(EventData *)"};
const Slots kDesignStore = {"~", "setData(CDesignDBData *)", "setData(EventData *)"};
const Slots kDestructorOnly = {"~"};

// The importers' template base is laid out once per section, with the
// slots of the host base it is made over.
const std::map<std::string, std::vector<Slots>> kOneOf = {{"SectionImporter", {kModelStore, kDesignStore}}};

// Class as the dump names it (template arguments dropped) -> its slots.
const std::map<std::string, Slots> kExpected = {
    {"TableInterface", kTableInterface},
    {"TCopyPolicy", kPolicy},
    {"TCopyPolicyImplMap", withSlot(kPolicy, "~")},
    {"building_modelDB::SPNodeKeyList", kTableInterface},
    {"building_modelDB::SBeamList", kTableInterface},
    {"building_modelDB::SWallEleKeys", kTableInterface},
    {"building_modelDB::SLcs", kTableInterface},
    {"building_modelDB::SLss", kTableInterface},
    {"MapBackedList", kTableInterface},
    {"building_modelDB::SPNodeKeyListImpl",
     withSlot(kTableInterface, "operator=(const building_modelDB::SPNodeKeyListImpl &)")},
    {"building_modelDB::SBeamListImpl", kTableInterface},
    {"building_modelDB::SWallEleKeysImpl", kTableInterface},
    {"building_modelDB::SLcsImpl", kTableInterface},
    {"building_modelDB::SLssImpl", kTableInterface},
    {"CMBMBNReader", kReader},
    {"CMBMBNReaderImpl", kReader},
    {"CModelDB", kModelStore},
    {"CModelDBImpl", kModelStore},
    {"CDesignDB", kDesignStore},
    {"CDesignDBImpl", kDesignStore},
    {"CObject", kDestructorOnly},
    {"sProgressBar", kDestructorOnly},
    {"TolvProcessDisplayServerWarper", kDestructorOnly},
};

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// "TableInterface<int, int>" -> "TableInterface".
std::string withoutTemplateArguments(const std::string& name)
{
    return name.substr(0, name.find('<'));
}

// One dumped entry reduced to name and parameters, "" for the entries that
// are no function (offset to top, RTTI). "bool TableInterface<int, int>::
// GetData(V *, int) [K = int, V = int]" -> "GetData(V *, int)"; every
// destructor entry -> "~".
std::string slotOf(std::string entry)
{
    while (!entry.empty() && entry.back() == ']') {
        std::size_t annotation = entry.rfind(" [");
        if (annotation == std::string::npos)
            break;
        entry.erase(annotation);
    }
    if (startsWith(entry, "offset_to_top") || startsWith(entry, "vcall_offset") ||
        startsWith(entry, "vbase_offset") || endsWith(entry, " RTTI"))
        return "";
    std::size_t close = entry.rfind(')');
    if (close == std::string::npos)
        return entry;
    std::size_t open = close;
    for (int depth = 0; open > 0; --open) {
        if (entry[open] == ')')
            ++depth;
        else if (entry[open] == '(' && --depth == 0)
            break;
    }
    std::size_t scope = entry.rfind("::", open);
    if (scope == std::string::npos)
        return entry;
    std::string name = entry.substr(scope + 2, open - scope - 2);
    if (startsWith(name, "~"))
        return "~";
    return name + entry.substr(open, close - open + 1);
}

struct Table {
    std::string className;
    Slots slots;
};

// Reads the "Vtable for 'C' (n entries)." blocks of the GNU dump and the
// "VFTable for 'B' in 'C' (n entries)." blocks of the Microsoft one; the
// class is the last name quoted. Index blocks ("VTable indices for ...")
// list slots of one class only and are skipped.
std::vector<Table> parseDump(const std::string& dump)
{
    std::vector<Table> tables;
    bool inTable = false;
    std::size_t begin = 0;
    while (begin < dump.size()) {
        std::size_t end = dump.find('\n', begin);
        if (end == std::string::npos)
            end = dump.size();
        std::string line = dump.substr(begin, end - begin);
        begin = end + 1;

        if (startsWith(line, "Vtable for '") || startsWith(line, "VFTable for '")) {
            std::size_t last = line.rfind('\'');
            std::size_t first = line.rfind('\'', last - 1);
            tables.push_back({withoutTemplateArguments(line.substr(first + 1, last - first - 1)), {}});
            inTable = true;
            continue;
        }
        std::size_t bar = line.find(" | ");
        bool isEntry = inTable && bar != std::string::npos &&
                       line.find_first_not_of(" 0123456789") == bar + 1;
        if (!isEntry) {
            // Annotations ("-- (C, 0) vtable address --", adjustments) stay
            // inside a table; anything else ends it.
            inTable = inTable && !line.empty() && line[0] == ' ';
            continue;
        }
        std::string slot = slotOf(line.substr(bar + 3));
        Slots& slots = tables.back().slots;
        // The GNU ABI gives a virtual destructor two slots (complete and
        // deleting), the Microsoft ABI one; the pair counts as one here.
        if (!slot.empty() && !(slot == "~" && !slots.empty() && slots.back() == "~"))
            slots.push_back(slot);
    }
    return tables;
}

std::string joined(const Slots& slots)
{
    std::string text;
    for (const std::string& slot : slots)
        text += (text.empty() ? "" : ", ") + slot;
    return text;
}

struct Abi {
    const char* name;
    const char* flagsFile; // clang response file: target, headers, language
};

void PrintTo(const Abi& abi, std::ostream* out)
{
    *out << abi.name << " ABI";
}

class SlotOrder : public testing::TestWithParam<Abi> {};

TEST_P(SlotOrder, EveryHostFacingClassHasTheRequiredSlots)
{
    std::string command = std::string("'") + HOST_ABI_CLANG + "' @'" + GetParam().flagsFile +
                          "' -Xclang -fdump-vtable-layouts -S -emit-llvm -o /dev/null '" LAYOUT_PROBE "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr) << command;
    std::string dump;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        dump.append(buffer, n);
    int status = pclose(pipe);
    ASSERT_EQ(status, 0) << command << "\n" << dump;

    std::map<std::string, int> seen;
    for (const Table& table : parseDump(dump)) {
        ++seen[table.className];
        auto oneOf = kOneOf.find(table.className);
        if (oneOf != kOneOf.end()) {
            EXPECT_NE(std::find(oneOf->second.begin(), oneOf->second.end(), table.slots), oneOf->second.end())
                << table.className << " under the " << GetParam().name << " ABI: " << joined(table.slots);
            continue;
        }
        auto expected = kExpected.find(table.className);
        if (expected == kExpected.end()) {
            ADD_FAILURE() << table.className << " is laid out but has no slot order here: "
                          << joined(table.slots);
            continue;
        }
        EXPECT_TRUE(table.slots == expected->second)
            << table.className << " under the " << GetParam().name << " ABI\n  expected: "
            << joined(expected->second) << "\n  actual:   " << joined(table.slots);
    }
    for (const auto& [className, slots] : kExpected)
        EXPECT_GT(seen[className], 0) << className << " was not laid out by the probe";
}

INSTANTIATE_TEST_SUITE_P(HostAbi, SlotOrder,
                         testing::Values(Abi{"Microsoft", MICROSOFT_ABI_FLAGS}, Abi{"GNU", GNU_ABI_FLAGS}),
                         [](const testing::TestParamInfo<Abi>& info) { return std::string(info.param.name); });

} // namespace
