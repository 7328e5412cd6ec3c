// Construction, copying and destruction of the host records, driven by
// their field lists: scalars start at zero, texts empty, and every list
// pointer owns a list of its own.
#include <algorithm>
#include <type_traits>

#include "keylists/KeyListImpls.h"
#include "schema/Records.h"

namespace hoststore {
namespace {

template <class T>
void initValue(T& value)
{
    if constexpr (std::is_pointer_v<T>)
        value = new typename ListImpl<std::remove_pointer_t<T>>::type();
    else if constexpr (std::is_arithmetic_v<T>)
        value = T();
    else if constexpr (std::is_array_v<T>)
        for (auto& item : value)
            initValue(item);
    // Texts and sub-records are already constructed by their own constructors.
}

template <class T>
void copyValue(T& target, const T& source)
{
    if constexpr (std::is_pointer_v<T>) {
        using Impl = typename ListImpl<std::remove_pointer_t<T>>::type;
        *static_cast<Impl*>(target) = *static_cast<const Impl*>(source);
    } else if constexpr (std::is_array_v<T>) {
        std::copy(std::begin(source), std::end(source), std::begin(target));
    } else {
        target = source;
    }
}

template <class T>
void destroyValue(T& value)
{
    if constexpr (std::is_pointer_v<T>) {
        delete static_cast<typename ListImpl<std::remove_pointer_t<T>>::type*>(value);
        value = nullptr;
    }
}

template <class R>
void initRecord(R& record)
{
    schema::forEachMember<R>([&](const auto& f) { initValue(record.*f.member); });
}

template <class R>
void copyRecord(R& target, const R& source)
{
    schema::forEachMember<R>([&](const auto& f) { copyValue(target.*f.member, source.*f.member); });
}

template <class R>
void destroyRecord(R& record)
{
    schema::forEachMember<R>([&](const auto& f) { destroyValue(record.*f.member); });
}

} // namespace
} // namespace hoststore

using namespace hoststore;
using namespace building_modelDB;
using namespace building_designDB;

// A record without lists: its constructor zeroes it; copies are member-wise.
#define PLAIN_RECORD(R) \
    R::R() { initRecord(*this); }

// A record that owns lists: copies get lists of their own.
#define RECORD_WITH_LISTS(R)                                \
    R::R() { initRecord(*this); }                           \
    R::R(const R& other) : R() { copyRecord(*this, other); } \
    R& R::operator=(const R& other)                         \
    {                                                       \
        if (this != &other)                                 \
            copyRecord(*this, other);                       \
        return *this;                                       \
    }                                                       \
    R::~R() { destroyRecord(*this); }

PLAIN_RECORD(S_ProjectInfo_D)
PLAIN_RECORD(S_UnitFlag_D)
PLAIN_RECORD(S_SectStiffness)
PLAIN_RECORD(S_SectDesign)
RECORD_WITH_LISTS(S_SectShape)
PLAIN_RECORD(S_Section_D)
PLAIN_RECORD(S_ThickValue)
PLAIN_RECORD(S_Thickness_D)
PLAIN_RECORD(S_Opening_D)
PLAIN_RECORD(S_MatlAnalysis)
PLAIN_RECORD(S_MatlData)
PLAIN_RECORD(S_DesignMaterial_D)
PLAIN_RECORD(S_DesignCode_D)
PLAIN_RECORD(S_Floor_D)
PLAIN_RECORD(S_Node_D)
PLAIN_RECORD(S_Axis_D)
PLAIN_RECORD(S_AxisGroup_D)
RECORD_WITH_LISTS(S_Element_D)
RECORD_WITH_LISTS(S_Beam_D)
RECORD_WITH_LISTS(S_BeamGroup_D)
RECORD_WITH_LISTS(S_Column_D)
RECORD_WITH_LISTS(S_Brace_D)
RECORD_WITH_LISTS(S_Wall_D)
PLAIN_RECORD(S_WallLL_D)
RECORD_WITH_LISTS(S_WallColumn_D)
RECORD_WITH_LISTS(SS_Support)
RECORD_WITH_LISTS(S_Slab_D)
PLAIN_RECORD(S_MemberEndRls_D)
PLAIN_RECORD(S_Mdul_D)
PLAIN_RECORD(S_Plan_D)

PLAIN_RECORD(S_RcDgnGlobal_D)
PLAIN_RECORD(S_RcBarGroup)
PLAIN_RECORD(S_RcBarLayout)
PLAIN_RECORD(S_RcStirrupSet)
PLAIN_RECORD(S_RcForceSet)
PLAIN_RECORD(S_RcBeamSectionDesign)
PLAIN_RECORD(S_RcDesignBeam_D)
PLAIN_RECORD(S_RcDesignColumn_D)
PLAIN_RECORD(S_RcDesignWall_D)
PLAIN_RECORD(S_RcDesignWallLL_D)
PLAIN_RECORD(S_RcDesignWallColumn_D)
RECORD_WITH_LISTS(S_RcDesignSlab_D)
