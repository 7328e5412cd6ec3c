#include "PlanModels.h"

#include "tools/modelgen/RowBuilder.h"

namespace planmodels {

using namespace building_modelDB;
using namespace building_designDB;
using modelgen::Completion;
using modelgen::Row;
using testsupport::row;
using testsupport::table;

namespace {

// A row of exactly the fields given, never completed by defaults: a test
// model holds only what its test puts in. Texts the helpers take (names,
// coordinates, elevations) stand in the file as given, so a test can
// write an escape or a value no number would print as.
template <class R>
Row<R> given()
{
    return Row<R>(Completion::AsGiven);
}

template <class R>
std::string keyed(int key, const Row<R>& fields, const std::string& more = "")
{
    return row(std::to_string(key), fields.fields() + more);
}

template <class R>
const char* tableName()
{
    return modelgen::tableOf<R>().name;
}

} // namespace

std::string floorRow(int key, int number, const std::string& name, const std::string& elevation)
{
    return keyed(key, given<S_Floor_D>()
                          .set(&S_Floor_D::Num, number)
                          .text(&S_Floor_D::StoryName, name)
                          .set(&S_Floor_D::Heigh, 3000.0)
                          .text(&S_Floor_D::Elevation, elevation));
}

std::string nodeRow(int key, const std::string& x, const std::string& y)
{
    return keyed(key, given<S_Node_D>().text(&S_Node_D::x, x).text(&S_Node_D::y, y));
}

std::string elementRow(int key, int storey, const std::vector<int>& nodes)
{
    return keyed(key, given<S_Element_D>().set(&S_Element_D::PStorK, storey).set(&S_Element_D::PNodeKeyList, nodes));
}

template <class R>
std::string memberRow(int key, int storey, const std::vector<int>& elements, const std::string& more)
{
    return keyed(key, given<R>().set(&R::PStorK, storey).set(&R::PElemK, elements), more);
}

template <class R>
std::string memberRowWithoutElements(int key, int storey)
{
    return keyed(key, given<R>().set(&R::PStorK, storey));
}

template std::string memberRow<S_Beam_D>(int, int, const std::vector<int>&, const std::string&);
template std::string memberRow<S_Column_D>(int, int, const std::vector<int>&, const std::string&);
template std::string memberRow<S_Brace_D>(int, int, const std::vector<int>&, const std::string&);
template std::string memberRow<S_Wall_D>(int, int, const std::vector<int>&, const std::string&);
template std::string memberRowWithoutElements<S_Beam_D>(int, int);
template std::string memberRowWithoutElements<S_Column_D>(int, int);
template std::string memberRowWithoutElements<S_Brace_D>(int, int);
template std::string memberRowWithoutElements<S_Wall_D>(int, int);

std::string wallBeamRow(int key, int storey, int node1, int node2)
{
    return keyed(key, given<S_WallLL_D>()
                          .set(&S_WallLL_D::PStorK, storey)
                          .set(&S_WallLL_D::NodeKey1, node1)
                          .set(&S_WallLL_D::NodeKey2, node2));
}

std::string wallColumnRow(int key, int storey, int node)
{
    return keyed(key,
                 given<S_WallColumn_D>().set(&S_WallColumn_D::NodeKey, node).set(&S_WallColumn_D::PStorK, storey));
}

std::string slabRow(int key, int storey, const std::vector<std::vector<int>>& supports, const std::string& openings)
{
    std::vector<SS_Support> list(supports.size());
    for (std::size_t i = 0; i < supports.size(); ++i) {
        list[i].BoudaryCondition = 1;
        modelgen::addEntries(list[i], &SS_Support::NodeList, supports[i]);
    }
    Row<S_Slab_D> slab = given<S_Slab_D>();
    slab.set(&S_Slab_D::PStorK, storey);
    if (!openings.empty())
        slab.text(&S_Slab_D::Openings, openings);
    return keyed(key, slab.set(&S_Slab_D::Supports, list));
}

std::string slabRowWithoutSupports(int key, int storey)
{
    return keyed(key, given<S_Slab_D>().set(&S_Slab_D::PStorK, storey));
}

std::string axisRow(int key, const std::string& name, int start, int end)
{
    return keyed(key, given<S_Axis_D>()
                          .text(&S_Axis_D::Name, name)
                          .set(&S_Axis_D::StartNodeKey, start)
                          .set(&S_Axis_D::EndNodeKey, end));
}

std::string wallColumnDesignRow(int key, const std::string& mainAs)
{
    using D = S_RcDesignWallColumn_D;
    Row<D> design = given<D>();
    for (std::string D::*grade : {&D::SeismicGrade, &D::SeismicIntensity, &D::MainBarGrade, &D::HoopBarGrade})
        design.set(grade, std::string("x"));
    design.text(&D::ReqMainAs, mainAs).set(&D::ReqHoopAs, std::string("0.5"));
    for (std::string D::*field : {&D::LemdaVs, &D::HoopDia, &D::HoopSpace})
        design.set(field, std::string("1"));
    return keyed(key, design);
}

std::string Model::xml() const
{
    return testsupport::dictionary(
        table(tableName<S_Opening_D>(), openings) + table(tableName<S_Floor_D>(), floors) +
            table(tableName<S_Node_D>(), nodes) + table(tableName<S_Axis_D>(), axes) +
            table(tableName<S_Element_D>(), elements) + table(tableName<S_Beam_D>(), beams) +
            table(tableName<S_Column_D>(), columns) + table(tableName<S_Brace_D>(), braces) +
            table(tableName<S_Wall_D>(), walls) + table(tableName<S_WallLL_D>(), wallBeams) +
            table(tableName<S_WallColumn_D>(), wallColumns) + table(tableName<S_Slab_D>(), slabs),
        design);
}

} // namespace planmodels
