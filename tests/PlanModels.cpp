#include "PlanModels.h"

namespace planmodels {

using testsupport::element;
using testsupport::row;
using testsupport::table;

std::string keyRef(const std::string& name, const std::string& wrapper, int key)
{
    return "<" + name + "><" + wrapper + "><Value>" + std::to_string(key) + "</Value></" + wrapper + "></" + name +
           ">";
}

std::string keyList(const std::string& name, const std::string& entry, const std::vector<int>& keys)
{
    std::string out = "<" + name + ">";
    for (int k : keys)
        out += "<" + entry + "><Value>" + std::to_string(k) + "</Value></" + entry + ">";
    return out + "</" + name + ">";
}

std::string floorRow(int key, int number, const std::string& name, const std::string& elevation)
{
    return row(std::to_string(key), element("Num", std::to_string(number)) + element("StoryName", name) +
                                        element("Heigh", "3000") + element("Elevation", elevation));
}

std::string nodeRow(int key, const std::string& x, const std::string& y)
{
    return row(std::to_string(key), element("x", x) + element("y", y));
}

std::string elementRow(int key, int storey, const std::vector<int>& nodes)
{
    return row(std::to_string(key),
               keyRef("PStorK", "S_Floor_K", storey) + keyList("PNodeKeyList", "S_Node_K", nodes));
}

std::string memberRow(int key, int storey, const std::vector<int>& elements, const std::string& more)
{
    return row(std::to_string(key),
               keyRef("PStorK", "S_Floor_K", storey) + keyList("PElemK", "S_Element_K", elements) + more);
}

std::string wallBeamRow(int key, int storey, int node1, int node2)
{
    return row(std::to_string(key), keyRef("PStorK", "S_Floor_K", storey) + keyRef("NodeKey1", "S_Node_K", node1) +
                                        keyRef("NodeKey2", "S_Node_K", node2));
}

std::string wallColumnRow(int key, int storey, int node)
{
    return row(std::to_string(key), keyRef("NodeKey", "S_Node_K", node) + keyRef("PStorK", "S_Floor_K", storey));
}

std::string slabRow(int key, int storey, const std::vector<std::vector<int>>& supports, const std::string& openings)
{
    std::string list = "<Supports>";
    for (const auto& nodes : supports)
        list += "<S_Support>" + element("BoudaryCondition", "1") + keyList("NodeList", "S_Node_K", nodes) +
                "</S_Support>";
    list += "</Supports>";
    return row(std::to_string(key), keyRef("PStorK", "S_Floor_K", storey) +
                                        (openings.empty() ? "" : element("Openings", openings)) + list);
}

std::string slabRowWithoutSupports(int key, int storey)
{
    return row(std::to_string(key), keyRef("PStorK", "S_Floor_K", storey));
}

std::string axisRow(int key, const std::string& name, int start, int end)
{
    return row(std::to_string(key), element("Name", name) + keyRef("StartNodeKey", "S_Node_K", start) +
                                        keyRef("EndNodeKey", "S_Node_K", end));
}

std::string wallColumnDesignRow(int key, const std::string& mainAs)
{
    std::string fields;
    for (const char* name : {"SeismicGrade", "SeismicIntensity", "MainBarGrade", "HoopBarGrade"})
        fields += element(name, "x");
    fields += element("ReqMainAs", mainAs) + element("ReqHoopAs", "0.5");
    for (const char* name : {"LemdaVs", "HoopDia", "HoopSpace"})
        fields += element(name, "1");
    return row(std::to_string(key), fields);
}

std::string Model::xml() const
{
    return testsupport::dictionary(
        table("OpeningTable", openings) + table("FloorTable", floors) + table("NodeTable", nodes) +
            table("AxisTable", axes) + table("ElementTable", elements) + table("BeamTable", beams) +
            table("ColumnTable", columns) + table("BraceTable", braces) + table("WallTable", walls) +
            table("WallLLTable", wallBeams) + table("WallColumnTable", wallColumns) + table("SlabTable", slabs),
        design);
}

} // namespace planmodels
