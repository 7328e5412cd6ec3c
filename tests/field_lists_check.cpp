// Compile-time check that every reader's field list and the store's
// member list of its record agree: the same members, under the same names,
// in the same order. A field pointed at another member, or a list that
// misses, adds or reorders one, fails the build here.
#include <tuple>
#include <utility>

#include "design/DesignFields.h"
#include "hostsim/store/Members.h"
#include "model/ModelFields.h"

namespace {

constexpr bool sameText(const char* a, const char* b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

template <class A, class B>
constexpr bool sameMember(A, B)
{
    return false;
}
template <class R, class M>
constexpr bool sameMember(M R::*a, M R::*b)
{
    return a == b;
}

template <class Fields, class Members, std::size_t... I>
constexpr bool agreeAt(const Fields& fields, const Members& members, std::index_sequence<I...>)
{
    return ((sameMember(std::get<I>(fields).member, std::get<I>(members).ptr) &&
             sameText(std::get<I>(fields).element, std::get<I>(members).name)) &&
            ...);
}

template <class R, class Fields>
constexpr bool agrees(const Fields& fields)
{
    using Members = std::decay_t<decltype(hoststore::Members<R>::members)>;
    if constexpr (std::tuple_size_v<Fields> != std::tuple_size_v<Members>)
        return false;
    else
        return agreeAt(fields, hoststore::Members<R>::members, std::make_index_sequence<std::tuple_size_v<Fields>>());
}

namespace m = building_modelDB;
namespace mf = building_modelDB::fields;
namespace d = building_designDB;
namespace df = building_designDB::fields;

// Every table's record, through the registries: the walk finds each
// table's list, so a new table is checked without a line here.
template <class Registry>
constexpr bool tablesAgree(const Registry& registry)
{
    return std::apply(
        [](const auto&... entry) {
            return (agrees<typename std::decay_t<decltype(entry)>::Record>(entry.fields) && ...);
        },
        registry);
}
static_assert(tablesAgree(mf::kTables));
static_assert(tablesAgree(df::kTables));

// The sub-records.
static_assert(agrees<m::S_SectShape>(mf::kSectShape));
static_assert(agrees<m::S_SectStiffness>(mf::kSectStiffness));
static_assert(agrees<m::S_SectDesign>(mf::kSectDesign));
static_assert(agrees<m::S_ThickValue>(mf::kThickValue));
static_assert(agrees<m::S_MatlData>(mf::kMatlData));
static_assert(agrees<m::S_MatlAnalysis>(mf::kMatlAnalysis));
static_assert(agrees<m::SS_Support>(mf::kSupport));
static_assert(agrees<d::S_RcBeamSectionDesign>(df::kBeamSectionDesign));
static_assert(agrees<d::S_RcBarGroup>(df::kBarGroup));
static_assert(agrees<d::S_RcBarLayout>(df::kBarLayout));
static_assert(agrees<d::S_RcStirrupSet>(df::kStirrupSet));
static_assert(agrees<d::S_RcForceSet>(df::kForceSet));

// The check itself: a list with one field pointed at a neighbouring
// member, or with two fields swapped, does not agree.
constexpr auto kFloorWrongMember = document::fieldList(
    document::field("Num", &m::S_Floor_D::Num, document::asInt),
    document::field("StoryName", &m::S_Floor_D::StoryName, document::asText),
    document::field("Heigh", &m::S_Floor_D::Heigh, document::asReal),
    document::field("Elevation", &m::S_Floor_D::Heigh, document::asReal),
    document::field("MdulK", &m::S_Floor_D::MdulK, document::keyRef("S_Mdul_K")),
    document::field("PlanK", &m::S_Floor_D::PlanK, document::keyRef("S_Plan_K")));
static_assert(!agrees<m::S_Floor_D>(kFloorWrongMember));
constexpr auto kUnitFlagSwapped = document::fieldList(
    document::field("Force", &m::S_UnitFlag_D::Force, document::asInt),
    document::field("Length", &m::S_UnitFlag_D::Length, document::asInt));
static_assert(!agrees<m::S_UnitFlag_D>(kUnitFlagSwapped));
constexpr auto kUnitFlagMisnamed = document::fieldList(
    document::field("Length", &m::S_UnitFlag_D::Force, document::asInt),
    document::field("Force", &m::S_UnitFlag_D::Length, document::asInt));
static_assert(!agrees<m::S_UnitFlag_D>(kUnitFlagMisnamed));

} // namespace
