// Small models for the plan's tests, written table by table, so that a
// test changes one table to put one fault in. Rows are host records
// written by their field lists (tools/modelgen/RowBuilder.h), holding the
// fields given and no others.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "host/ModelRecords.h"

namespace planmodels {

std::string floorRow(int key, int number, const std::string& name, const std::string& elevation);
std::string nodeRow(int key, const std::string& x, const std::string& y);
std::string elementRow(int key, int storey, const std::vector<int>& nodes);
// A beam, column, brace or wall row (R): its storey and elements, then
// `more` as it stands in the file.
template <class R = building_modelDB::S_Beam_D>
std::string memberRow(int key, int storey, const std::vector<int>& elements, const std::string& more = "");
// The same naming its storey alone.
template <class R>
std::string memberRowWithoutElements(int key, int storey);
std::string wallBeamRow(int key, int storey, int node1, int node2);
std::string wallColumnRow(int key, int storey, int node);
// A slab whose supports name these nodes, one list per support.
std::string slabRow(int key, int storey, const std::vector<std::vector<int>>& supports,
                    const std::string& openings = "");
std::string slabRowWithoutSupports(int key, int storey);
std::string axisRow(int key, const std::string& name, int start, int end);
// A wall column's design row, stored whole.
std::string wallColumnDesignRow(int key, const std::string& mainAs);

// Two storeys on a 6 m square: on storey 2 one of each member kind, all
// on nodes 1 to 4 and elements 1 to 4; nodes 5 to 8 one level down for
// the column. Each table's rows can be replaced or added to.
struct Model {
    std::string floors = floorRow(1, 1, "F1", "0") + floorRow(2, 2, "F2", "3000");
    std::string nodes = nodeRow(1, "0", "0") + nodeRow(2, "6000", "0") + nodeRow(3, "6000", "6000") +
                        nodeRow(4, "0", "6000") + nodeRow(5, "0", "0");
    std::string axes = axisRow(1, "A", 1, 2) + axisRow(2, "1", 1, 4);
    std::string elements = elementRow(1, 2, {1, 2}) + elementRow(2, 2, {5, 1}) + elementRow(3, 2, {2, 3}) +
                           elementRow(4, 2, {4, 3});
    std::string beams = memberRow(1, 2, {1});
    std::string columns = memberRow<building_modelDB::S_Column_D>(1, 2, {2});
    std::string braces = memberRow<building_modelDB::S_Brace_D>(1, 2, {3});
    std::string walls = memberRow<building_modelDB::S_Wall_D>(1, 2, {4});
    std::string wallBeams = wallBeamRow(1, 2, 4, 3);
    std::string wallColumns = wallColumnRow(1, 2, 3);
    std::string slabs = slabRow(1, 2, {{1, 2}, {2, 3}, {3, 4}, {4, 1}});
    std::string openings;
    std::string design;

    std::string xml() const;
};

} // namespace planmodels
