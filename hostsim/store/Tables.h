// The store's tables as one set, once: the store keeps its live tables in
// it, and a command that compares two imports takes the rows out into a
// set of plain maps (takeRows) before the next import fills the store
// again. The named lists give the store's name of each table, model tables
// then design tables, in store order; generic code walks them.
#pragma once

#include <map>
#include <tuple>

#include "host/DesignRecords.h"
#include "host/HostApi.h"
#include "host/ModelRecords.h"

namespace hoststore {

template <template <class> class Table>
struct TableSet {
    Table<building_modelDB::S_ProjectInfo_D> ProjectInfo;
    Table<building_modelDB::S_UnitFlag_D> UnitFlag;
    Table<building_modelDB::S_Section_D> Section;
    Table<building_modelDB::S_Thickness_D> Thickness;
    Table<building_modelDB::S_Opening_D> Opening;
    Table<building_modelDB::S_DesignMaterial_D> DesignMaterial;
    Table<building_modelDB::S_DesignCode_D> DesignCode;
    Table<building_modelDB::S_Floor_D> Floor;
    Table<building_modelDB::S_Node_D> Node;
    Table<building_modelDB::S_Axis_D> Axis;
    Table<building_modelDB::S_AxisGroup_D> AxisGroup;
    Table<building_modelDB::S_Element_D> Element;
    Table<building_modelDB::S_Beam_D> Beam;
    Table<building_modelDB::S_BeamGroup_D> BeamGroup;
    Table<building_modelDB::S_Column_D> Column;
    Table<building_modelDB::S_Brace_D> Brace;
    Table<building_modelDB::S_Wall_D> Wall;
    Table<building_modelDB::S_WallLL_D> WallLL;
    Table<building_modelDB::S_WallColumn_D> WallColumn;
    Table<building_modelDB::S_Slab_D> Slab;
    Table<building_modelDB::S_MemberEndRls_D> MemberEndRls;
    Table<building_modelDB::S_Mdul_D> Mdul;
    Table<building_modelDB::S_Plan_D> Plan;

    Table<building_designDB::S_RcDgnGlobal_D> RcDgnGlobal;
    Table<building_designDB::S_RcDesignBeam_D> RcDesignBeam;
    Table<building_designDB::S_RcDesignColumn_D> RcDesignColumn;
    Table<building_designDB::S_RcDesignWall_D> RcDesignWall;
    // The host's second wall design table, which no import writes to.
    Table<building_designDB::S_RcDesignWall_D> RcDesignWallReserved;
    Table<building_designDB::S_RcDesignWallLL_D> RcDesignWallLL;
    Table<building_designDB::S_RcDesignWallColumn_D> RcDesignWallColumn;
    Table<building_designDB::S_RcDesignSlab_D> RcDesignSlab;
};

// A table of a set under the store's name for it.
template <class Set, class T, class R>
struct NamedTable {
    using Record = R;
    const char* name;
    T Set::*table;
};

template <class R, class Set, class T>
constexpr NamedTable<Set, T, R> named(const char* name, T Set::*table)
{
    return {name, table};
}

template <class Set>
constexpr auto modelTables()
{
    namespace m = building_modelDB;
    return std::make_tuple(
        named<m::S_ProjectInfo_D>("ProjectInfo", &Set::ProjectInfo),
        named<m::S_UnitFlag_D>("UnitFlag", &Set::UnitFlag), named<m::S_Section_D>("Section", &Set::Section),
        named<m::S_Thickness_D>("Thickness", &Set::Thickness), named<m::S_Opening_D>("Opening", &Set::Opening),
        named<m::S_DesignMaterial_D>("DesignMaterial", &Set::DesignMaterial),
        named<m::S_DesignCode_D>("DesignCode", &Set::DesignCode), named<m::S_Floor_D>("Floor", &Set::Floor),
        named<m::S_Node_D>("Node", &Set::Node), named<m::S_Axis_D>("Axis", &Set::Axis),
        named<m::S_AxisGroup_D>("AxisGroup", &Set::AxisGroup), named<m::S_Element_D>("Element", &Set::Element),
        named<m::S_Beam_D>("Beam", &Set::Beam), named<m::S_BeamGroup_D>("BeamGroup", &Set::BeamGroup),
        named<m::S_Column_D>("Column", &Set::Column), named<m::S_Brace_D>("Brace", &Set::Brace),
        named<m::S_Wall_D>("Wall", &Set::Wall), named<m::S_WallLL_D>("WallLL", &Set::WallLL),
        named<m::S_WallColumn_D>("WallColumn", &Set::WallColumn), named<m::S_Slab_D>("Slab", &Set::Slab),
        named<m::S_MemberEndRls_D>("MemberEndRls", &Set::MemberEndRls), named<m::S_Mdul_D>("Mdul", &Set::Mdul),
        named<m::S_Plan_D>("Plan", &Set::Plan));
}

template <class Set>
constexpr auto designTables()
{
    namespace d = building_designDB;
    return std::make_tuple(
        named<d::S_RcDgnGlobal_D>("RcDgnGlobal", &Set::RcDgnGlobal),
        named<d::S_RcDesignBeam_D>("RcDesignBeam", &Set::RcDesignBeam),
        named<d::S_RcDesignColumn_D>("RcDesignColumn", &Set::RcDesignColumn),
        named<d::S_RcDesignWall_D>("RcDesignWall", &Set::RcDesignWall),
        named<d::S_RcDesignWallLL_D>("RcDesignWallLL", &Set::RcDesignWallLL),
        named<d::S_RcDesignWallColumn_D>("RcDesignWallColumn", &Set::RcDesignWallColumn),
        named<d::S_RcDesignSlab_D>("RcDesignSlab", &Set::RcDesignSlab));
}

template <class Tuple, class F>
void forEachTable(const Tuple& list, F&& f)
{
    std::apply([&](const auto&... t) { (f(t), ...); }, list);
}

// The rows of a table taken out of the store: key to record, ascending.
template <class R>
using Rows = std::map<int, R>;
using StoreRows = TableSet<Rows>;

// Moves every table's rows out of the store into the returned set, leaving
// the store empty. Nothing is copied: taking the rows costs no memory, and
// the next import fills the store again from nothing.
HOST_API StoreRows takeRows();

} // namespace hoststore
