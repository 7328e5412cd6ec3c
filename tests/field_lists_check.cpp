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

// The 23 model records and their sub-records.
static_assert(agrees<m::S_ProjectInfo_D>(mf::kProjectInfo));
static_assert(agrees<m::S_UnitFlag_D>(mf::kUnitFlag));
static_assert(agrees<m::S_Section_D>(mf::kSection));
static_assert(agrees<m::S_SectShape>(mf::kSectShape));
static_assert(agrees<m::S_SectStiffness>(mf::kSectStiffness));
static_assert(agrees<m::S_SectDesign>(mf::kSectDesign));
static_assert(agrees<m::S_Thickness_D>(mf::kThickness));
static_assert(agrees<m::S_ThickValue>(mf::kThickValue));
static_assert(agrees<m::S_Opening_D>(mf::kOpening));
static_assert(agrees<m::S_DesignMaterial_D>(mf::kDesignMaterial));
static_assert(agrees<m::S_MatlData>(mf::kMatlData));
static_assert(agrees<m::S_MatlAnalysis>(mf::kMatlAnalysis));
static_assert(agrees<m::S_DesignCode_D>(mf::kDesignCode));
static_assert(agrees<m::S_Floor_D>(mf::kFloor));
static_assert(agrees<m::S_Node_D>(mf::kNode));
static_assert(agrees<m::S_Axis_D>(mf::kAxis));
static_assert(agrees<m::S_AxisGroup_D>(mf::kAxisGroup));
static_assert(agrees<m::S_Element_D>(mf::kElement));
static_assert(agrees<m::S_Beam_D>(mf::kBeam));
static_assert(agrees<m::S_BeamGroup_D>(mf::kBeamGroup));
static_assert(agrees<m::S_Column_D>(mf::kColumn));
static_assert(agrees<m::S_Brace_D>(mf::kBrace));
static_assert(agrees<m::S_Wall_D>(mf::kWall));
static_assert(agrees<m::S_WallLL_D>(mf::kWallLL));
static_assert(agrees<m::S_WallColumn_D>(mf::kWallColumn));
static_assert(agrees<m::S_Slab_D>(mf::kSlab));
static_assert(agrees<m::SS_Support>(mf::kSupport));
static_assert(agrees<m::S_MemberEndRls_D>(mf::kMemberEndRls));
static_assert(agrees<m::S_Mdul_D>(mf::kMdul));
static_assert(agrees<m::S_Plan_D>(mf::kPlan));

// The 7 design records and their sub-records.
static_assert(agrees<d::S_RcDgnGlobal_D>(df::kRcDgnGlobal));
static_assert(agrees<d::S_RcDesignBeam_D>(df::kBeam));
static_assert(agrees<d::S_RcBeamSectionDesign>(df::kBeamSectionDesign));
static_assert(agrees<d::S_RcBarGroup>(df::kBarGroup));
static_assert(agrees<d::S_RcBarLayout>(df::kBarLayout));
static_assert(agrees<d::S_RcStirrupSet>(df::kStirrupSet));
static_assert(agrees<d::S_RcForceSet>(df::kForceSet));
static_assert(agrees<d::S_RcDesignColumn_D>(df::kColumn));
static_assert(agrees<d::S_RcDesignWall_D>(df::kWall));
static_assert(agrees<d::S_RcDesignWallLL_D>(df::kWallLL));
static_assert(agrees<d::S_RcDesignWallColumn_D>(df::kWallColumn));
static_assert(agrees<d::S_RcDesignSlab_D>(df::kSlab));

} // namespace
