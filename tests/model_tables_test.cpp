// Every model table: each member lands in its own place with its own
// conversion. Numbers are written as "N.75" with a different N per field,
// so a swapped member or a wrong conversion changes the dump.
#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace testsupport;

namespace {

std::string keyRef(const std::string& name, const std::string& wrapper, const std::string& key)
{
    return "<" + name + "><" + wrapper + "><Value>" + key + "</Value></" + wrapper + "></" + name + ">";
}

std::string keyList(const std::string& name, const std::string& entry, std::initializer_list<const char*> keys)
{
    std::string out = "<" + name + ">";
    for (const char* k : keys)
        out += "<" + entry + "><Value>" + k + "</Value></" + entry + ">";
    return out + "</" + name + ">";
}

std::string doubles(const std::string& name, std::initializer_list<const char*> values)
{
    std::string out = "<" + name + ">";
    for (const char* v : values)
        out += element("double", v);
    return out + "</" + name + ">";
}

// Imports one row of a table and returns the stored record.
Json importRow(const char* tableName, const char* storeName, const std::string& fields)
{
    Json store = importText(dictionary(table(tableName, row("17", fields))));
    const Json& stored = rows(store, "model", storeName);
    EXPECT_EQ(stored.size(), 1u) << tableName;
    if (stored.size() != 1)
        return Json();
    EXPECT_EQ(stored[0]["key"], 17);
    return stored[0]["value"];
}

struct TableCase {
    const char* table;
    const char* store;
    std::string fields;
    const char* expected;
};

std::string stiffness(int base)
{
    const char* names[] = {"Area", "Asy", "Asz", "Rxx", "Ryy", "Rzz", "Cyp", "Cym", "Czp", "Czm", "Qyb",
                           "Qzb", "WArea", "dx1", "dy1", "dx2", "dy2", "dx3", "dy3", "dx4", "dy4"};
    std::string out;
    for (int i = 0; i < 21; ++i)
        out += element(names[i], std::to_string(base + i) + ".75");
    std::string scale = "<dScaleFactor>";
    for (int i = 0; i < 6; ++i)
        scale += element("double", std::to_string(base + 30 + i) + ".5");
    return "<Stiffness>" + out + scale + "</dScaleFactor></Stiffness>";
}

std::string stiffnessJson(int base)
{
    const char* names[] = {"Area", "Asy", "Asz", "Rxx", "Ryy", "Rzz", "Cyp", "Cym", "Czp", "Czm", "Qyb",
                           "Qzb", "WArea", "dx1", "dy1", "dx2", "dy2", "dx3", "dy3", "dx4", "dy4"};
    std::string out = "{";
    for (int i = 0; i < 21; ++i)
        out += "\"" + std::string(names[i]) + "\":" + std::to_string(base + i) + ",";
    out += "\"dScaleFactor\":[";
    for (int i = 0; i < 6; ++i)
        out += (i ? "," : "") + std::to_string(base + 30 + i);
    return out + "]}";
}

std::string design(int base)
{
    const char* names[] = {"YBar", "ZBar", "Syy", "Szz", "Zyy", "Zzz", "Roy", "Roz", "Cwp", "TanA", "Rop", "XO",
                           "RO", "Beta"};
    std::string out = "<Design>";
    for (int i = 0; i < 14; ++i)
        out += element(names[i], std::to_string(base + i) + ".75");
    return out + "</Design>";
}

std::string designJson(int base)
{
    const char* names[] = {"YBar", "ZBar", "Syy", "Szz", "Zyy", "Zzz", "Roy", "Roz", "Cwp", "TanA", "Rop", "XO",
                           "RO", "Beta"};
    std::string out = "{";
    for (int i = 0; i < 14; ++i)
        out += (i ? ",\"" : "\"") + std::string(names[i]) + "\":" + std::to_string(base + i);
    return out + "}";
}

std::string shape(const std::string& name, int base)
{
    auto n = [&](int i) { return std::to_string(base + i); };
    return "<" + name + ">" + element("Shape", "s" + n(0)) + element("DBName", "s" + n(1)) +
           element("SName", "s" + n(2)) + element("SName2", "s" + n(3)) + element("PeriIn", n(4) + ".75") +
           element("PeriOut", n(5) + ".75") + element("BuiltUpFlag", n(6) + ".75") +
           doubles("Size", {"0.3", "0.6", "0.9"}) + stiffness(base + 100) + design(base + 200) + "</" + name + ">";
}

std::string shapeJson(int base)
{
    auto n = [&](int i) { return std::to_string(base + i); };
    return "{\"Shape\":\"s" + n(0) + "\",\"DBName\":\"s" + n(1) + "\",\"SName\":\"s" + n(2) + "\",\"SName2\":\"s" +
           n(3) + "\",\"PeriIn\":" + n(4) + ".75,\"PeriOut\":" + n(5) + ".75,\"BuiltUpFlag\":" + n(6) +
           ".75,\"Size\":[[0,0.3],[1,0.6],[2,0.9]],\"Stiffness\":" + stiffnessJson(base + 100) +
           ",\"Design\":" + designJson(base + 200) + "}";
}

std::string analysis(int base)
{
    const char* names[] = {"Elast", "Poisson", "Thermal", "Density", "Fck", "Ftk", "Fc", "Ft", "Fak", "Fa"};
    std::string out = "<Analysis>";
    for (int i = 0; i < 10; ++i)
        out += element(names[i], std::to_string(base + i) + ".75");
    return out + "</Analysis>";
}

std::string analysisJson(int base)
{
    const char* names[] = {"Elast", "Poisson", "Thermal", "Density", "Fck", "Ftk", "Fc", "Ft", "Fak", "Fa"};
    std::string out = "{";
    for (int i = 0; i < 10; ++i)
        out += (i ? ",\"" : "\"") + std::string(names[i]) + "\":" + std::to_string(base + i) + ".75";
    return out + "}";
}

TEST(ModelTables, GeneralTables)
{
    const TableCase cases[] = {
        {"ProjectInfoTable", "ProjectInfo",
         element("Project", "p1") + element("Revision", "p2") + element("Code", "p3") + element("User", "p4") +
             element("Mail", "p5") + element("Address", "p6") + element("Phone", "p7") + element("Fax", "p8") +
             element("Client", "p9") + element("Title", "p10") + element("Comment", "p11") +
             element("StructType", "12.75") + element("Height", "13.75") + element("HeightGrade", "14.75"),
         R"({"Project":"p1","Revision":"p2","Code":"p3","User":"p4","Mail":"p5","Address":"p6","Phone":"p7",
             "Fax":"p8","Client":"p9","Title":"p10","Comment":"p11","StructType":12,"Height":13.75,
             "HeightGrade":14.75})"},
        {"UnitFlagTable", "UnitFlag", element("Length", "1.75") + element("Force", "2.75"),
         R"({"Length":1,"Force":2})"},
        {"DesignCodeTable", "DesignCode",
         element("DesignCode", "c1") + element("DesignSteelCode", "c2") + element("DesignSRCCode", "c3") +
             element("RebarMaterialCode", "c4") + element("SeismicGrade", "c5") + element("SeismicIntensity", "c6"),
         R"({"DesignCode":"c1","DesignSteelCode":"c2","DesignSRCCode":"c3","RebarMaterialCode":"c4",
             "SeismicGrade":"c5","SeismicIntensity":"c6"})"},
        {"MemberEndRlsTable", "MemberEndRls",
         element("nType", "1.75") + element("flagI", "101") + element("fxI", "3.75") + element("fyI", "4.75") +
             element("fzI", "5.75") + element("mxI", "6.75") + element("myI", "7.75") + element("mzI", "8.75") +
             element("flagJ", "010") + element("fxJ", "10.75") + element("fyJ", "11.75") + element("fzJ", "12.75") +
             element("mxJ", "13.75") + element("myJ", "14.75") + element("mzJ", "15.75"),
         R"({"nType":1,"flagI":"101","fxI":3,"fyI":4,"fzI":5,"mxI":6,"myI":7,"mzI":8,"flagJ":"010","fxJ":10,
             "fyJ":11,"fzJ":12,"mxJ":13,"myJ":14,"mzJ":15})"},
        {"MdulTable", "Mdul", element("ModulName", "标准层"), R"({"ModulName":"标准层"})"},
        {"PlanTable", "Plan",
         element("PlanName", "t1") + element("WallType", "t2") + element("SlabType", "t3") +
             element("LoadType", "t4") + element("MatlKColumn", "t5") + element("MatlKBeam", "t6") +
             element("MatlKSlab", "t7") + element("MatlKWall", "t8") + element("MatlKBrace", "t9") +
             element("ThikKSlab", "t10"),
         R"({"PlanName":"t1","WallType":"t2","SlabType":"t3","LoadType":"t4","MatlKColumn":"t5","MatlKBeam":"t6",
             "MatlKSlab":"t7","MatlKWall":"t8","MatlKBrace":"t9","ThikKSlab":"t10"})"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(importRow(c.table, c.store, c.fields), Json::parse(c.expected)) << c.table;

    std::string material = element("Type", "m1") + element("Name", "m2") + element("bChangeSteel", "1") +
                           element("MainRebarMatlName", "m4") + element("SubRebarMatlName", "m5") + "<Data1>" +
                           element("CodeName", "d1") + element("CodeMatlName", "d2") + analysis(10) +
                           "</Data1><Data2>" + element("CodeName", "e1") + element("CodeMatlName", "e2") +
                           analysis(30) + "</Data2>";
    std::string expected = R"({"Type":"m1","Name":"m2","bChangeSteel":"1","MainRebarMatlName":"m4",
        "SubRebarMatlName":"m5","Data1":{"CodeName":"d1","CodeMatlName":"d2","Analysis":)" + analysisJson(10) +
                           R"(},"Data2":{"CodeName":"e1","CodeMatlName":"e2","Analysis":)" + analysisJson(30) + "}}";
    EXPECT_EQ(importRow("DesignMaterialTable", "DesignMaterial", material), Json::parse(expected));
}

TEST(ModelTables, SectionThicknessOpening)
{
    std::string fields = element("Num", "1.75") + element("SType", "2.75") + element("SName", "n3") +
                         element("Shape", "n4") + element("OffsetPoint", "5.75") + element("Lytype", "6.75") +
                         element("Lztype", "7.75") + element("SRCtype", "8.75") + element("Matl_Elast", "9.75") +
                         element("Matl_Density", "10.75") + element("Matl_Poisson_S", "11.75") +
                         element("Matl_Poisson_C", "12.75") + element("Matl_StiffFactor", "13.75") +
                         element("PeriIn", "14.75") + element("PeriOut", "15.75") + element("BuiltUpFlag", "16.75") +
                         element("Symmetric", "2") + element("OffsetCenter", "18.75") +
                         element("HorzOffsetOpt", "19.75") + element("VertOffsetOpt", "20.75") +
                         element("ConsiderShearDeform", "0") + doubles("UserDefOffsetY", {"5", "7"}) +
                         doubles("UserDefOffsetZ", {"-3.9"}) + shape("SectI", 1000) + shape("SectJ", 2000) +
                         stiffness(300) + design(400);
    std::string expected =
        R"({"Num":1,"SType":2,"SName":"n3","Shape":"n4","OffsetPoint":5,"Lytype":6,"Lztype":7,"SRCtype":8,
        "Matl_Elast":9.75,"Matl_Density":10.75,"Matl_Poisson_S":11.75,"Matl_Poisson_C":12.75,"Matl_StiffFactor":13.75,
        "PeriIn":14.75,"PeriOut":15.75,"BuiltUpFlag":16,"Symmetric":true,"OffsetCenter":18,"HorzOffsetOpt":19,
        "VertOffsetOpt":20,"ConsiderShearDeform":false,"UserDefOffsetY":[5,7],"UserDefOffsetZ":[-3,0],"SectI":)" +
        shapeJson(1000) + ",\"SectJ\":" + shapeJson(2000) + ",\"Stiffness\":" + stiffnessJson(300) +
        ",\"Design\":" + designJson(400) + "}";
    EXPECT_EQ(importRow("SectionTable", "Section", fields), Json::parse(expected));

    EXPECT_EQ(importRow("ThicknessTable", "Thickness",
                        element("Num", "1.75") + element("nType", "2.75") + "<Value>" + element("ThickType", "k3") +
                            element("ThickIn", "4.75") + element("ThickOut", "5.75") + "</Value>"),
              Json::parse(R"({"Num":1,"nType":2,"Value":{"ThickType":"k3","ThickIn":4.75,"ThickOut":5.75}})"));
    EXPECT_EQ(importRow("ThicknessTable", "Thickness", element("Num", "3")),
              Json::parse(R"({"Num":3,"nType":0,"Value":{"ThickType":"","ThickIn":0,"ThickOut":0}})"));

    EXPECT_EQ(importRow("OpeningTable", "Opening",
                        element("Num", "1.75") + element("OpeningType", "2.75") + element("Width", "3.75") +
                            element("Height", "4.75") + element("Pline", "0,0 1,0 1,1")),
              Json::parse(R"({"Num":1,"OpeningType":2,"Width":3.75,"Height":4.75,"Pline":"0,0 1,0 1,1"})"));
}

TEST(ModelTables, SectionShapeListAndPartialBlocks)
{
    // An element of another name between "double"s takes a position; a
    // missing "Analysis" leaves the ten constants as constructed.
    Json section = importRow("SectionTable", "Section",
                             "<SectI><Size><double>0.3</double><other>0.6</other><double>0.9</double></Size></SectI>");
    EXPECT_EQ(section["SectI"]["Size"], Json::parse("[[0,0.3],[1,0.6],[2,0.9]]"));
    EXPECT_EQ(section["SectJ"]["Size"], Json::array());
    EXPECT_EQ(section["Stiffness"]["dScaleFactor"], Json::parse("[0,0,0,0,0,0]"));

    Json material = importRow("DesignMaterialTable", "DesignMaterial",
                              "<Data2>" + element("CodeName", "GB") + element("CodeMatlName", "C30") + "</Data2>");
    EXPECT_EQ(material["Data2"]["CodeName"], "GB");
    EXPECT_EQ(material["Data2"]["Analysis"]["Fa"], 0);
    EXPECT_EQ(material["Data1"]["CodeName"], "");
}

TEST(ModelTables, GridTables)
{
    EXPECT_EQ(importRow("FloorTable", "Floor",
                        element("Num", "1.75") + element("StoryName", "第1层") + element("Heigh", "3.75") +
                            element("Elevation", "4.75") + keyRef("MdulK", "S_Mdul_K", "5.75") +
                            keyRef("PlanK", "S_Plan_K", "6")),
              Json::parse(R"({"Num":1,"StoryName":"第1层","Heigh":3.75,"Elevation":4.75,"MdulK":5,"PlanK":6})"));
    EXPECT_EQ(importRow("FloorTable", "Floor", element("Height", "3000"))["Heigh"], 0);
    EXPECT_EQ(importRow("NodeTable", "Node", element("x", "1.75") + element("y", "2.75")),
              Json::parse(R"({"x":1.75,"y":2.75})"));
    EXPECT_EQ(importRow("AxisTable", "Axis",
                        element("Name", "A") + keyRef("GroupKey", "S_AxisGroup_K", "2") +
                            keyRef("StartNodeKey", "S_Node_K", "12") + keyRef("EndNodeKey", "S_Node_K", "4") +
                            keyRef("CenterNodeKey", "S_Node_K", "5")),
              Json::parse(R"({"Name":"A","GroupKey":2,"StartNodeKey":12,"EndNodeKey":4,"CenterNodeKey":5})"));
    // A wrapper of another kind leaves the key as constructed.
    EXPECT_EQ(importRow("AxisTable", "Axis", keyRef("GroupKey", "S_Node_K", "2"))["GroupKey"], 0);
    EXPECT_EQ(importRow("AxisGroupTable", "AxisGroup", element("Name", "G")), Json::parse(R"({"Name":"G"})"));
}

TEST(ModelTables, FramingTables)
{
    EXPECT_EQ(importRow("ElementTable", "Element",
                        element("Elpro", "1.75") + element("Angle", "90.5") + element("MembType", "3.75") +
                            element("Ecx1", "4.75") + element("Ecy1", "5.75") + element("Ecz1", "6.75") +
                            element("Ecx2", "7.75") + element("Ecy2", "8.75") + element("Ecz2", "2.9") +
                            keyRef("ElMatl", "S_DesignMaterial_K", "10") + keyRef("PStorK", "S_Floor_K", "11") +
                            keyList("PNodeKeyList", "S_Node_K", {"7", "3", "7"})),
              Json::parse(R"({"Elpro":1,"Angle":90.5,"MembType":3,"Ecx1":4,"Ecy1":5,"Ecz1":6,"Ecx2":7,"Ecy2":8,
                  "Ecz2":2,"ElMatl":10,"PStorK":11,"PNodeKeyList":[[0,7],[1,3],[2,7]]})"));
    EXPECT_EQ(importRow("BeamTable", "Beam",
                        element("MembType", "1.75") + keyRef("PStorK", "S_Floor_K", "2") +
                            keyList("PElemK", "S_Element_K", {"30", "10"})),
              Json::parse(R"({"MembType":1,"PStorK":2,"PElemK":[[0,30],[1,10]]})"));
    EXPECT_EQ(importRow("BeamGroupTable", "BeamGroup", keyList("BeamList", "S_Beam_K", {"12", "5", "12"})),
              Json::parse(R"({"BeamList":[[5,5],[12,12]]})"));
    EXPECT_EQ(importRow("ColumnTable", "Column",
                        element("MembType", "1.75") + element("MembKind", "2.75") +
                            keyRef("PStorK", "S_Floor_K", "3") + keyList("PElemK", "S_Element_K", {"4"})),
              Json::parse(R"({"MembType":1,"MembKind":2,"PStorK":3,"PElemK":[[0,4]]})"));
    EXPECT_EQ(importRow("ColumnTable", "Column", element("MembKind", "2"))["MembType"], 0);
    EXPECT_EQ(importRow("BraceTable", "Brace",
                        element("MembType", "1.75") + keyRef("PStorK", "S_Floor_K", "2") +
                            keyList("PElemK", "S_Element_K", {"3", "4"})),
              Json::parse(R"({"MembType":1,"PStorK":2,"PElemK":[[0,3],[1,4]]})"));
}

TEST(ModelTables, KeyListEntries)
{
    // Entries start at the first child of the entry name and go on through
    // every following element; an entry without value text repeats the one
    // before it, and the first such entry gets 0.
    std::string list = "<PNodeKeyList><Other><Value>1</Value></Other>"
                       "<S_Node_K/><S_Node_K><Value>4</Value></S_Node_K><X><Value>6</Value></X>"
                       "<S_Node_K><Value/></S_Node_K><S_Node_K/></PNodeKeyList>";
    EXPECT_EQ(importRow("ElementTable", "Element", list)["PNodeKeyList"],
              Json::parse("[[0,0],[1,4],[2,6],[3,6],[4,6]]"));
    EXPECT_EQ(importRow("ElementTable", "Element", element("Elpro", "3"))["PNodeKeyList"], Json::array());
    EXPECT_EQ(importRow("WallColumnTable", "WallColumn",
                        doubles("Lcs", {"1", "", "2"}) + "<Lss><double/><double>5</double></Lss>")["Lcs"],
              Json::parse("[[0,1],[1,1],[2,2]]"));
}

TEST(ModelTables, PlateTables)
{
    EXPECT_EQ(importRow("WallTable", "Wall",
                        element("MembType", "1.75") + keyRef("PStorK", "S_Floor_K", "2") +
                            keyList("PElemK", "S_Element_K", {"3"}) + element("Openings", "  a   b ")),
              Json::parse(R"({"MembType":1,"PStorK":2,"PElemK":[[0,3]],"Openings":"a b"})"));
    EXPECT_EQ(importRow("WallTable", "Wall", "<Openings/>")["Openings"], "");
    EXPECT_EQ(importRow("WallLLTable", "WallLL",
                        element("BetaAngle", "1.75") + element("Ecx1", "2.75") + element("Ecy1", "3.75") +
                            element("Ecz1", "4.75") + element("Ecx2", "5.75") + element("Ecy2", "6.75") +
                            element("Ecz2", "7.75") + element("Width", "250.7") + element("Height", "9.75") +
                            element("ElevDiff", "10.75") + keyRef("MaterialKey", "S_DesignMaterial_K", "11") +
                            keyRef("SectionKey", "S_Section_K", "12") + keyRef("PStorK", "S_Floor_K", "13") +
                            keyRef("NodeKey1", "S_Node_K", "14") + keyRef("NodeKey2", "S_Node_K", "15")),
              Json::parse(R"({"BetaAngle":1,"Ecx1":2,"Ecy1":3,"Ecz1":4,"Ecx2":5,"Ecy2":6,"Ecz2":7,"Width":250,
                  "Height":9,"ElevDiff":10,"MaterialKey":11,"SectionKey":12,"PStorK":13,"NodeKey1":14,"NodeKey2":15})"));
    EXPECT_EQ(importRow("WallColumnTable", "WallColumn",
                        element("WallColumnType", "1.75") + keyRef("NodeKey", "S_Node_K", "2") +
                            keyRef("PStorK", "S_Floor_K", "3") + keyList("WallEleKeys", "S_Element_K", {"8", "3", "8"}) +
                            doubles("Lcs", {"1", "0", "0", "0", "1", "0", "0", "0", "1"}) +
                            doubles("Lss", {"0.5", "1.5", "2.5"})),
              Json::parse(R"({"WallColumnType":1,"NodeKey":2,"PStorK":3,"WallEleKeys":[[3,3],[8,8]],
                  "Lcs":[[0,1],[1,0],[2,0],[3,0],[4,1],[5,0],[6,0],[7,0],[8,1]],"Lss":[[0,0.5],[1,1.5],[2,2.5]]})"));
    std::string supports = "<Supports><S_Support>" + element("BoudaryCondition", "1") +
                           keyList("NodeList", "S_Node_K", {"4", "5"}) + "</S_Support><S_Support>" +
                           element("BoudaryCondition", "2") + keyList("NodeList", "S_Node_K", {"9"}) +
                           "</S_Support><S_Support/></Supports>";
    EXPECT_EQ(importRow("SlabTable", "Slab",
                        element("SlabType", "1.75") + element("ElevationDiff", "-0.5") +
                            element("CantiLength", "3.75") + element("XAngle", "4.75") + element("SlabStyle", "5.75") +
                            keyRef("PStorK", "S_Floor_K", "6") + keyRef("ThicknessKey", "S_Thickness_K", "7") +
                            keyRef("MaterialKey", "S_DesignMaterial_K", "8") + element("Openings", "o9") + supports),
              Json::parse(R"({"SlabType":1,"ElevationDiff":-0.5,"CantiLength":3.75,"XAngle":4.75,"SlabStyle":5,
                  "PStorK":6,"ThicknessKey":7,"MaterialKey":8,"Openings":"o9","Supports":[
                  [0,{"BoudaryCondition":1,"NodeList":[[0,4],[1,5]]}],
                  [1,{"BoudaryCondition":2,"NodeList":[[0,9]]}],
                  [2,{"BoudaryCondition":0,"NodeList":[]}]]})"));
    EXPECT_EQ(importRow("SlabTable", "Slab", element("SlabType", "2"))["Supports"], Json::array());
}

TEST(ModelTables, PlanTextMembersTakeOnlyTheirOwnText)
{
    Json plan = importRow("PlanTable", "Plan", keyRef("MatlKBeam", "S_DesignMaterial_K", "3") + element("ModulName", "x"));
    EXPECT_EQ(plan["MatlKBeam"], "");
    EXPECT_EQ(importRow("MdulTable", "Mdul", element("ModuleName", "x"))["ModulName"], "");
}

TEST(ModelTables, RowsOfOneTableDoNotShareLists)
{
    std::string rowsXml = row("1", keyList("PNodeKeyList", "S_Node_K", {"1", "2"})) +
                          row("2", keyList("PNodeKeyList", "S_Node_K", {"3"}));
    Json store = importText(dictionary(table("ElementTable", rowsXml)));
    const Json& elements = rows(store, "model", "Element");
    ASSERT_EQ(elements.size(), 2u);
    EXPECT_EQ(elements[0]["value"]["PNodeKeyList"], Json::parse("[[0,1],[1,2]]"));
    EXPECT_EQ(elements[1]["value"]["PNodeKeyList"], Json::parse("[[0,3]]"));
}

} // namespace
