// The design tables: field chains, sub-records, running keys and lists.
// Every text in a complete row is its own path ("ISection.Force_K.N"), so
// a record whose every text equals its path has each field in its place.
#include <gtest/gtest.h>

#include <memory>

#include <tinyxml.h>

#include "TestSupport.h"
#include "schema/DesignSchema.h"
#include "document/TableWalk.h"

using namespace testsupport;

namespace {

using Names = std::vector<std::string>;

const Names kBarGroup = {"RebarName", "Grade", "Dia", "Number"};
const Names kBarLayout = {"RebarName", "Grade", "Number", "Dia", "Space"};
const Names kStirrupSet = {"RebarName", "Grade", "Dia", "Space", "Legs"};
const Names kForces = {"N", "Mx", "My", "Vx", "Vy", "T"};

// <name> with one child per field, each holding its path; `omit` leaves
// one child out.
std::string group(const std::string& name, const Names& fields, const std::string& path, const std::string& omit = "")
{
    std::string out = "<" + name + ">";
    for (const auto& f : fields)
        if (f != omit)
            out += element(f, path + "." + f);
    return out + "</" + name + ">";
}

std::string texts(const Names& fields, const std::string& prefix = "", const std::string& omit = "")
{
    std::string out;
    for (const auto& f : fields)
        if (f != omit)
            out += element(f, prefix + f);
    return out;
}

std::string beamSection(const std::string& name, const std::string& omit = "")
{
    const Names head = {"MainBarGrade", "StirrupGrade", "SideBarGrade", "ReqAsTop", "ReqAsTopCorner",
                        "ReqAsTopMiddle", "ReqAsBottom", "ReqAsTorsion", "ReqAsStirrup", "StirrupSpace",
                        "MaxRebarRatio", "MinRebarRatio"};
    const Names bars = {"TopCornerBar", "TopMiddleBar", "BottomBar"};
    std::string p = name + ".";
    std::string out = "<" + name + ">" + texts(head, p, omit) + group("StirrupBar", kBarLayout, p + "StirrupBar") +
                      group("SideBar", kBarGroup, p + "SideBar") + texts(bars, p) +
                      group("Force", kForces, p + "Force") + group("Force_Q", kForces, p + "Force_Q");
    if (omit != "Force_K")
        out += group("Force_K", kForces, p + "Force_K");
    return out + "</" + name + ">";
}

std::string beamRow(const std::string& omitInJ = "")
{
    return texts({"TopCovering", "BottomCovering", "SideCovering", "SeismicGrade", "SeismicIntensity"}) +
           beamSection("ISection") + beamSection("MSection") + beamSection("JSection", omitInJ);
}

const Names kColumnTexts = {"Covering", "SeismicGrade", "SeismicIntensity", "NFcA", "K_Major", "K_Minor",
                            "MainBarGrade", "StirrupGrade", "ReqCornerAs", "ReqMajorAxisAs", "ReqMinorAxisAs",
                            "ReqMajorStirrupAsOfCenter", "ReqMinorStirrupAsOfCenter", "ReqMajorStirrupAsOfEnd",
                            "ReqMinorStirrupAsOfEnd", "StirrupSpace"};

std::string columnRow(const std::string& omit = "", bool forcesWithT = true)
{
    Names forces = kForces;
    if (!forcesWithT)
        forces.pop_back();
    std::string out = texts(kColumnTexts, "", omit);
    for (const char* n : {"CornerBar", "MidMajorAxisBar", "MidMinorAxisBar"})
        out += group(n, kBarGroup, n);
    for (const char* n : {"StirrupBarOfCircle", "MajorStirrupBarOfCenter", "MinorStirrupBarOfCenter",
                          "MajorStirrupBarOfEnd", "MinorStirrupBarOfEnd"})
        out += group(n, kBarLayout, n);
    for (const char* n : {"ForceUp", "ForceCent", "ForceDown"})
        out += group(n, forces, n);
    return out;
}

const Names kWallTexts = {"Dw", "De", "Qe", "Qi", "SeismicGrade", "SeismicIntensity", "NFcA", "HBarGrade",
                          "VBarGrade", "ReqAsHorizontal", "ReqAsVertical", "HorSpace", "VerRate"};

std::string wallRow(bool upWithT, bool downWithT)
{
    Names withoutT(kForces.begin(), kForces.end() - 1);
    return texts(kWallTexts) + group("ForceUp", upWithT ? kForces : withoutT, "ForceUp") +
           group("ForceDown", downWithT ? kForces : withoutT, "ForceDown");
}

const Names kWallLLTexts = {"SeismicGrade", "SeismicIntensity", "MainBarGrade", "StirrupBarGrade", "Space",
                            "ReqTopAs", "ReqBottomAs", "ReqStirrupAs", "ReqSideAs"};

std::string wallLLRow(int bottomGroups, const std::string& omitInStirrups = "")
{
    std::string out = texts(kWallLLTexts) + group("TopRebar", kBarGroup, "TopRebar");
    for (int i = 0; i < bottomGroups; ++i)
        out += group("BottomRebar", kBarGroup, "BottomRebar." + std::to_string(i));
    return out + group("StirrupRebar", kStirrupSet, "StirrupRebar", omitInStirrups);
}

const Names kWallColumnTexts = {"SeismicGrade", "SeismicIntensity", "MainBarGrade", "HoopBarGrade", "ReqMainAs",
                                "ReqHoopAs", "LemdaVs", "HoopDia", "HoopSpace"};

std::string doubles(const std::string& name, std::initializer_list<const char*> values)
{
    std::string out = "<" + name + ">";
    for (const char* v : values)
        out += element("double", v);
    return out + "</" + name + ">";
}

std::string slabRow(std::initializer_list<const char*> supports, const std::string& omit = "")
{
    return texts({"WeaponLoad", "NuclearWeaponLoad", "BottomBarGrade", "TopBarGrade", "SupportBarGrade",
                  "ReqBottomAs_X", "ReqBottomAs_Y", "ReqTopAs_X", "ReqTopAs_Y"}) +
           doubles("ReqSupportAs", supports) + texts({"MomemtKOnX", "MomemtKOnY"}, "", omit) +
           doubles("MomentKOnSupports", {"1.5"}) + texts({"MomemtQOnX", "MomemtQOnY"}) +
           doubles("MomentQOnSupports", {"-2", "2"});
}

// Every text leaf of the record equals its own path; returns the number of
// text leaves checked. Lists are not text and are left to the caller.
int expectTextsArePaths(const Json& value, const std::string& path = "")
{
    int count = 0;
    if (value.is_object()) {
        for (const auto& [name, member] : value.items())
            count += expectTextsArePaths(member, path.empty() ? name : path + "." + name);
    } else if (value.is_array() && !value.empty() && value[0].is_object()) {
        for (std::size_t i = 0; i < value.size(); ++i)
            count += expectTextsArePaths(value[i], path + "." + std::to_string(i));
    } else if (value.is_string()) {
        EXPECT_EQ(value.get<std::string>(), path);
        ++count;
    }
    return count;
}

Json importDesign(const std::string& tables)
{
    return importText(dictionary("", tables));
}

std::vector<int> keys(const Json& stored)
{
    std::vector<int> out;
    for (const auto& r : stored)
        out.push_back(r["key"].get<int>());
    return out;
}

TEST(DesignTables, CompleteRowsStoreEveryFieldInItsPlace)
{
    std::string tables = table("RcDgnGlobalTable", row("1", element("Gamma0", "Gamma0"))) +
                         table("BeamTable", row("2", beamRow())) + table("ColumnTable", row("3", columnRow())) +
                         table("WallTable", row("4", wallRow(true, true))) +
                         table("WallLLTable", row("5", wallLLRow(2))) +
                         table("WallColumnTable", row("6", texts(kWallColumnTexts))) +
                         table("SlabTable", row("7", slabRow({"0.3", "0.6", "0.9"})));
    Json store = importDesign(tables);
    const struct {
        const char* table;
        int key;
        int texts;
    } expected[] = {{"RcDgnGlobal", 1, 1},     {"RcDesignBeam", 2, 5 + 3 * 42}, {"RcDesignColumn", 3, 16 + 12 + 25 + 18},
                    {"RcDesignWall", 4, 25},   {"RcDesignWallLL", 5, 9 + 12 + 5},
                    {"RcDesignWallColumn", 6, 9}, {"RcDesignSlab", 7, 13}};
    for (const auto& e : expected) {
        const Json& stored = rows(store, "design", e.table);
        ASSERT_EQ(stored.size(), 1u) << e.table;
        EXPECT_EQ(stored[0]["key"], e.key);
        Json record = stored[0]["value"];
        if (std::string(e.table) == "RcDesignWall") {
            // ForceUp is read without "T": its T keeps the constructor's value.
            EXPECT_EQ(record["ForceUp"]["T"], "");
            record["ForceUp"]["T"] = "ForceUp.T";
        }
        EXPECT_EQ(expectTextsArePaths(record), e.texts) << e.table;
    }
    const Json& slab = rows(store, "design", "RcDesignSlab")[0]["value"];
    EXPECT_EQ(slab["ReqSupportAs"], Json::parse("[[0,0.3],[1,0.6],[2,0.9]]"));
    EXPECT_EQ(slab["MomentKOnSupports"], Json::parse("[[0,1.5]]"));
    EXPECT_EQ(slab["MomentQOnSupports"], Json::parse("[[0,-2],[1,2]]"));
}

TEST(DesignTables, IncompleteRowsAreNotStored)
{
    const struct {
        const char* what;
        const char* tableName;
        const char* store;
        std::string fields;
        bool stored;
    } cases[] = {
        {"global without Gamma0", "RcDgnGlobalTable", "RcDgnGlobal", element("Other", "1"), false},
        {"beam JSection lacks Force_K", "BeamTable", "RcDesignBeam", beamRow("Force_K"), false},
        {"beam JSection lacks its first field", "BeamTable", "RcDesignBeam", beamRow("MainBarGrade"), false},
        {"beam JSection lacks its last head field", "BeamTable", "RcDesignBeam", beamRow("MinRebarRatio"), false},
        {"column without StirrupSpace", "ColumnTable", "RcDesignColumn", columnRow("StirrupSpace"), false},
        {"column forces without T", "ColumnTable", "RcDesignColumn", columnRow("", false), false},
        {"wall ForceUp without T", "WallTable", "RcDesignWall", wallRow(false, true), true},
        {"wall ForceDown without T", "WallTable", "RcDesignWall", wallRow(true, false), false},
        {"wall beam with one BottomRebar", "WallLLTable", "RcDesignWallLL", wallLLRow(1), false},
        {"wall beam stirrups without Legs", "WallLLTable", "RcDesignWallLL", wallLLRow(2, "Legs"), false},
        {"wall beam stirrups without RebarName", "WallLLTable", "RcDesignWallLL", wallLLRow(2, "RebarName"), false},
        {"wall column without HoopSpace", "WallColumnTable", "RcDesignWallColumn",
         texts(kWallColumnTexts, "", "HoopSpace"), false},
        {"slab with Moment for Momemt", "SlabTable", "RcDesignSlab",
         slabRow({}, "MomemtKOnX") + element("MomentKOnX", "x"), false},
        {"slab without lists", "SlabTable", "RcDesignSlab",
         texts({"WeaponLoad", "NuclearWeaponLoad", "BottomBarGrade", "TopBarGrade", "SupportBarGrade",
                "ReqBottomAs_X", "ReqBottomAs_Y", "ReqTopAs_X", "ReqTopAs_Y", "MomemtKOnX", "MomemtKOnY",
                "MomemtQOnX", "MomemtQOnY"}),
         true},
    };
    for (const auto& c : cases) {
        Json store = importDesign(table(c.tableName, row("1", c.fields)));
        EXPECT_EQ(rows(store, "design", c.store).size(), c.stored ? 1u : 0u) << c.what;
    }
}

TEST(DesignTables, WallBeamBottomGroupsInOrder)
{
    Json store = importDesign(table("WallLLTable", row("1", wallLLRow(2))));
    const Json& record = rows(store, "design", "RcDesignWallLL").at(0)["value"];
    EXPECT_EQ(record["BottomRebar"][0]["Dia"], "BottomRebar.0.Dia");
    EXPECT_EQ(record["BottomRebar"][1]["Dia"], "BottomRebar.1.Dia");
}

TEST(DesignTables, FieldsAreFoundByNameNotOrder)
{
    std::string reordered = "<SideBar><Number>4</Number><Dia>20</Dia><Grade>HRB400</Grade>"
                            "<RebarName>4C20</RebarName></SideBar>";
    std::string fields = beamRow();
    std::size_t start = fields.find("<SideBar>"); // in ISection
    fields.replace(start, fields.find("</SideBar>", start) + 10 - start, reordered);
    Json store = importDesign(table("BeamTable", row("1", fields)));
    const Json& side = rows(store, "design", "RcDesignBeam").at(0)["value"]["ISection"]["SideBar"];
    EXPECT_EQ(side, Json::parse(R"({"RebarName":"4C20","Grade":"HRB400","Dia":"20","Number":"4"})"));
}

TEST(DesignTables, RunningKeys)
{
    auto global = [](const std::string& key, const char* gamma) {
        std::string value = gamma ? element("Gamma0", gamma) : "";
        if (key == "none")
            return "<Pair><Value>" + value + "</Value></Pair>";
        if (key == "keyless")
            return "<Pair><Key/><Value>" + value + "</Value></Pair>";
        return row(key, value);
    };
    // Keys 1 (stored), none (skipped), none (stored), 10, none, a Key without
    // Value, an empty key Value (0), then text keys.
    std::string rowsXml = global("1", "a") + global("none", nullptr) + global("none", "c") + global("10", "d") +
                          global("none", "e") + global("keyless", "f") + global("", "g") + global("7.9", "h") +
                          "<Other><Key><Value>20</Value></Key><Value><Gamma0>i</Gamma0></Value></Other>";
    Json store = importDesign(table("RcDgnGlobalTable", rowsXml));
    const Json& stored = rows(store, "design", "RcDgnGlobal");
    EXPECT_EQ(keys(stored), (std::vector<int>{0, 1, 3, 7, 10, 11, 12, 20}));
    EXPECT_EQ(stored[0]["value"]["Gamma0"], "g");
    EXPECT_EQ(stored[2]["value"]["Gamma0"], "c");
}

TEST(DesignTables, KeylessRowsNumberFromOneInEveryTable)
{
    // The running key starts again at each table, whatever the one before left.
    auto keyless = [](const std::string& fields) { return "<Pair><Value>" + fields + "</Value></Pair>"; };
    std::string wallColumn = texts(kWallColumnTexts);
    std::string globals = row("40", element("Gamma0", "a")) + keyless(element("Gamma0", "b"));
    std::string wallColumns = keyless(wallColumn) + keyless(wallColumn) + keyless(wallColumn);
    std::string slabs = keyless(slabRow({"1"})) + keyless(slabRow({"2"}));
    Json store = importDesign(table("RcDgnGlobalTable", globals) + table("WallColumnTable", wallColumns) +
                              table("SlabTable", slabs));
    EXPECT_EQ(keys(rows(store, "design", "RcDgnGlobal")), (std::vector<int>{40, 41}));
    EXPECT_EQ(keys(rows(store, "design", "RcDesignWallColumn")), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(keys(rows(store, "design", "RcDesignSlab")), (std::vector<int>{1, 2}));
}

TEST(DesignTables, RunningKeyPastTheInt32Limit)
{
    std::string rowsXml = row("2147483647", element("Gamma0", "max")) + "<Pair><Value><Gamma0>next</Gamma0></Value></Pair>";
    Json store = importDesign(table("RcDgnGlobalTable", rowsXml));
    EXPECT_EQ(keys(rows(store, "design", "RcDgnGlobal")), (std::vector<int>{-2147483647 - 1, 2147483647}));
}

TEST(DesignTables, EveryRowStartsFromAFreshRecord)
{
    // An empty element stores the constructor's value, not the previous row's;
    // each slab holds only its own list entries.
    std::string globals = row("1", element("Gamma0", "1.1")) + row("2", "<Gamma0/>");
    std::string slabs = row("1", slabRow({"1", "2", "3"})) + row("2", slabRow({"9"}));
    Json store = importDesign(table("RcDgnGlobalTable", globals) + table("SlabTable", slabs));
    EXPECT_EQ(rows(store, "design", "RcDgnGlobal")[1]["value"]["Gamma0"], "");
    const Json& stored = rows(store, "design", "RcDesignSlab");
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0]["value"]["ReqSupportAs"], Json::parse("[[0,1],[1,2],[2,3]]"));
    EXPECT_EQ(stored[1]["value"]["ReqSupportAs"], Json::parse("[[0,9]]"));
}

TEST(DesignTables, ValueListEntries)
{
    std::string list = "<ReqSupportAs><first>5</first><double/><double>2</double><other>3</other>"
                       "<double></double><double>x</double></ReqSupportAs>";
    std::string fields = slabRow({});
    fields.replace(fields.find("<ReqSupportAs></ReqSupportAs>"), 29, list);
    Json store = importDesign(table("SlabTable", row("1", fields)));
    EXPECT_EQ(rows(store, "design", "RcDesignSlab").at(0)["value"]["ReqSupportAs"],
              Json::parse("[[0,0],[1,2],[2,3],[3,3],[4,0]]"));
}

TEST(DesignTables, ReadOnlyUnderDesignDB)
{
    Json store = importText(dictionary(table("BeamTable", row("1", beamRow())), ""));
    EXPECT_TRUE(rows(store, "design", "RcDesignBeam").empty());
    EXPECT_EQ(rows(store, "model", "Beam").size(), 1u);
}

} // namespace

namespace {

// Each sub-record reader on its own: complete, then missing its first and
// its last field, then with no element at all.
namespace fields = building_designDB::fields;

// Reads a sub-record from its element as a design row's field would: a
// whole list as a chain, or a sub-record kind's first links.
template <class List>
auto chain(const List& list)
{
    return [list](const TiXmlHandle& holder, schema::RecordOf<List>& record) {
        document::LossTally ignored;
        return document::readChain(document::DesignRows(&ignored), holder, record, list);
    };
}
template <class List, std::size_t Links>
auto chain(const schema::SubRecord<List, Links>& kind)
{
    return [kind](const TiXmlHandle& holder, schema::RecordOf<List>& record) {
        document::LossTally ignored;
        return document::readChainOf<Links>(document::DesignRows(&ignored), holder, record, kind.list);
    };
}

template <class R, class Read>
void checkSubRecord(const char* what, const Names& fields, Read read)
{
    auto parse = [&](const std::string& omit) {
        auto doc = std::make_unique<TiXmlDocument>();
        doc->Parse(group("g", fields, "g", omit).c_str());
        return doc;
    };
    R record;
    auto complete = parse("");
    EXPECT_TRUE(read(TiXmlHandle(complete->RootElement()), record)) << what;
    for (const std::string& omit : {fields.front(), fields.back()}) {
        R partial;
        auto doc = parse(omit);
        EXPECT_FALSE(read(TiXmlHandle(doc->RootElement()), partial)) << what << " without " << omit;
    }
    R empty;
    EXPECT_FALSE(read(TiXmlHandle(nullptr), empty)) << what << " without element";
}

TEST(DesignSubRecords, FailAtTheFirstAndTheLastField)
{
    using namespace building_designDB;
    checkSubRecord<S_RcBarGroup>("bar group", kBarGroup, chain(fields::kBarGroup));
    checkSubRecord<S_RcBarLayout>("bar layout", kBarLayout, chain(fields::kBarLayout));
    checkSubRecord<S_RcStirrupSet>("stirrup set", kStirrupSet, chain(fields::kStirrupSet));
    checkSubRecord<S_RcForceSet>("force set with T", kForces, chain(fields::kForceSet));
    Names withoutT(kForces.begin(), kForces.end() - 1);
    checkSubRecord<S_RcForceSet>("force set without T", withoutT, chain(fields::forceSetWithoutT));
}

TEST(DesignSubRecords, ForceSetWithoutTheFlagNeverReadsT)
{
    building_designDB::S_RcForceSet forces;
    forces.T = "kept";
    TiXmlDocument doc;
    doc.Parse(group("f", kForces, "f").c_str());
    EXPECT_TRUE(chain(fields::forceSetWithoutT)(TiXmlHandle(doc.RootElement()), forces));
    EXPECT_EQ(forces.Vy, "f.Vy");
    EXPECT_EQ(forces.T, "kept");
    // Fields read before a failure keep what they received.
    TiXmlDocument partial;
    partial.Parse("<f><N>1</N><Mx>2</Mx></f>");
    EXPECT_FALSE(chain(fields::kForceSet)(TiXmlHandle(partial.RootElement()), forces));
    EXPECT_EQ(forces.Mx, "2");
    EXPECT_EQ(forces.My, "f.My");
}

TEST(DesignSubRecords, BeamSectionFailsAtItsFirstAndLastLink)
{
    building_designDB::S_RcBeamSectionDesign section;
    for (const char* omit : {"MainBarGrade", "Force_K"}) {
        TiXmlDocument doc;
        doc.Parse(beamSection("S", omit).c_str());
        EXPECT_FALSE(chain(fields::kBeamSectionDesign)(TiXmlHandle(doc.RootElement()), section)) << omit;
    }
    TiXmlDocument doc;
    doc.Parse(beamSection("S").c_str());
    EXPECT_TRUE(chain(fields::kBeamSectionDesign)(TiXmlHandle(doc.RootElement()), section));
    EXPECT_EQ(section.Force_K.T, "S.Force_K.T");
}

} // namespace
