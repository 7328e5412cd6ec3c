// How the store sees each record: its members, named and in order. One
// list per record serves construction, copying, destruction and the JSON
// dump.
#pragma once

#include <tuple>

#include "host/DesignRecords.h"
#include "host/ModelRecords.h"

namespace hoststore {

template <class R, class M>
struct Member {
    const char* name;
    M R::*ptr;
};

template <class R, class M>
constexpr Member<R, M> member(const char* name, M R::*ptr)
{
    return {name, ptr};
}

// Specialised for every record and sub-record: `members` is a tuple of
// Member in member order.
template <class R>
struct Members;

template <class R, class F>
void forEachMember(F&& f)
{
    std::apply([&](const auto&... m) { (f(m), ...); }, Members<R>::members);
}

template <class R, class = void>
struct IsDescribed : std::false_type {};
template <class R>
struct IsDescribed<R, std::void_t<decltype(Members<R>::members)>> : std::true_type {};

using namespace building_modelDB;
using namespace building_designDB;

#define M(R, name) member(#name, &R::name)

template <> struct Members<S_ProjectInfo_D> {
    using R = S_ProjectInfo_D;
    static constexpr auto members = std::make_tuple(
        M(R, Project), M(R, Revision), M(R, Code), M(R, User), M(R, Mail), M(R, Address), M(R, Phone),
        M(R, Fax), M(R, Client), M(R, Title), M(R, Comment), M(R, StructType), M(R, Height),
        M(R, HeightGrade));
};

template <> struct Members<S_UnitFlag_D> {
    using R = S_UnitFlag_D;
    static constexpr auto members = std::make_tuple(M(R, Length), M(R, Force));
};

template <> struct Members<S_SectStiffness> {
    using R = S_SectStiffness;
    static constexpr auto members = std::make_tuple(
        M(R, Area), M(R, Asy), M(R, Asz), M(R, Rxx), M(R, Ryy), M(R, Rzz), M(R, Cyp), M(R, Cym),
        M(R, Czp), M(R, Czm), M(R, Qyb), M(R, Qzb), M(R, WArea), M(R, dx1), M(R, dy1), M(R, dx2),
        M(R, dy2), M(R, dx3), M(R, dy3), M(R, dx4), M(R, dy4), M(R, dScaleFactor));
};

template <> struct Members<S_SectDesign> {
    using R = S_SectDesign;
    static constexpr auto members = std::make_tuple(
        M(R, YBar), M(R, ZBar), M(R, Syy), M(R, Szz), M(R, Zyy), M(R, Zzz), M(R, Roy), M(R, Roz),
        M(R, Cwp), M(R, TanA), M(R, Rop), M(R, XO), M(R, RO), M(R, Beta));
};

template <> struct Members<S_SectShape> {
    using R = S_SectShape;
    static constexpr auto members = std::make_tuple(
        M(R, Shape), M(R, DBName), M(R, SName), M(R, SName2), M(R, PeriIn), M(R, PeriOut),
        M(R, BuiltUpFlag), M(R, Size), M(R, Stiffness), M(R, Design));
};

template <> struct Members<S_Section_D> {
    using R = S_Section_D;
    static constexpr auto members = std::make_tuple(
        M(R, Num), M(R, SType), M(R, SName), M(R, Shape), M(R, OffsetPoint), M(R, Lytype),
        M(R, Lztype), M(R, SRCtype), M(R, Matl_Elast), M(R, Matl_Density), M(R, Matl_Poisson_S),
        M(R, Matl_Poisson_C), M(R, Matl_StiffFactor), M(R, PeriIn), M(R, PeriOut), M(R, BuiltUpFlag),
        M(R, Symmetric), M(R, OffsetCenter), M(R, HorzOffsetOpt), M(R, VertOffsetOpt),
        M(R, ConsiderShearDeform), M(R, UserDefOffsetY), M(R, UserDefOffsetZ), M(R, SectI),
        M(R, SectJ), M(R, Stiffness), M(R, Design));
};

template <> struct Members<S_ThickValue> {
    using R = S_ThickValue;
    static constexpr auto members = std::make_tuple(M(R, ThickType), M(R, ThickIn), M(R, ThickOut));
};

template <> struct Members<S_Thickness_D> {
    using R = S_Thickness_D;
    static constexpr auto members = std::make_tuple(M(R, Num), M(R, nType), M(R, Value));
};

template <> struct Members<S_Opening_D> {
    using R = S_Opening_D;
    static constexpr auto members =
        std::make_tuple(M(R, Num), M(R, OpeningType), M(R, Width), M(R, Height), M(R, Pline));
};

template <> struct Members<S_MatlAnalysis> {
    using R = S_MatlAnalysis;
    static constexpr auto members = std::make_tuple(
        M(R, Elast), M(R, Poisson), M(R, Thermal), M(R, Density), M(R, Fck), M(R, Ftk), M(R, Fc),
        M(R, Ft), M(R, Fak), M(R, Fa));
};

template <> struct Members<S_MatlData> {
    using R = S_MatlData;
    static constexpr auto members = std::make_tuple(M(R, CodeName), M(R, CodeMatlName), M(R, Analysis));
};

template <> struct Members<S_DesignMaterial_D> {
    using R = S_DesignMaterial_D;
    static constexpr auto members = std::make_tuple(
        M(R, Type), M(R, Name), M(R, bChangeSteel), M(R, MainRebarMatlName), M(R, SubRebarMatlName),
        M(R, Data1), M(R, Data2));
};

template <> struct Members<S_DesignCode_D> {
    using R = S_DesignCode_D;
    static constexpr auto members = std::make_tuple(
        M(R, DesignCode), M(R, DesignSteelCode), M(R, DesignSRCCode), M(R, RebarMaterialCode),
        M(R, SeismicGrade), M(R, SeismicIntensity));
};

template <> struct Members<S_Floor_D> {
    using R = S_Floor_D;
    static constexpr auto members =
        std::make_tuple(M(R, Num), M(R, StoryName), M(R, Heigh), M(R, Elevation), M(R, MdulK), M(R, PlanK));
};

template <> struct Members<S_Node_D> {
    using R = S_Node_D;
    static constexpr auto members = std::make_tuple(M(R, x), M(R, y));
};

template <> struct Members<S_Axis_D> {
    using R = S_Axis_D;
    static constexpr auto members =
        std::make_tuple(M(R, Name), M(R, GroupKey), M(R, StartNodeKey), M(R, EndNodeKey), M(R, CenterNodeKey));
};

template <> struct Members<S_AxisGroup_D> {
    using R = S_AxisGroup_D;
    static constexpr auto members = std::make_tuple(M(R, Name));
};

template <> struct Members<S_Element_D> {
    using R = S_Element_D;
    static constexpr auto members = std::make_tuple(
        M(R, Elpro), M(R, Angle), M(R, MembType), M(R, Ecx1), M(R, Ecy1), M(R, Ecz1), M(R, Ecx2),
        M(R, Ecy2), M(R, Ecz2), M(R, ElMatl), M(R, PStorK), M(R, PNodeKeyList));
};

template <> struct Members<S_Beam_D> {
    using R = S_Beam_D;
    static constexpr auto members = std::make_tuple(M(R, MembType), M(R, PStorK), M(R, PElemK));
};

template <> struct Members<S_BeamGroup_D> {
    using R = S_BeamGroup_D;
    static constexpr auto members = std::make_tuple(M(R, BeamList));
};

template <> struct Members<S_Column_D> {
    using R = S_Column_D;
    static constexpr auto members = std::make_tuple(M(R, MembType), M(R, MembKind), M(R, PStorK), M(R, PElemK));
};

template <> struct Members<S_Brace_D> {
    using R = S_Brace_D;
    static constexpr auto members = std::make_tuple(M(R, MembType), M(R, PStorK), M(R, PElemK));
};

template <> struct Members<S_Wall_D> {
    using R = S_Wall_D;
    static constexpr auto members = std::make_tuple(M(R, MembType), M(R, PStorK), M(R, PElemK), M(R, Openings));
};

template <> struct Members<S_WallLL_D> {
    using R = S_WallLL_D;
    static constexpr auto members = std::make_tuple(
        M(R, BetaAngle), M(R, Ecx1), M(R, Ecy1), M(R, Ecz1), M(R, Ecx2), M(R, Ecy2), M(R, Ecz2),
        M(R, Width), M(R, Height), M(R, ElevDiff), M(R, MaterialKey), M(R, SectionKey), M(R, PStorK),
        M(R, NodeKey1), M(R, NodeKey2));
};

template <> struct Members<S_WallColumn_D> {
    using R = S_WallColumn_D;
    static constexpr auto members = std::make_tuple(
        M(R, WallColumnType), M(R, NodeKey), M(R, PStorK), M(R, WallEleKeys), M(R, Lcs), M(R, Lss));
};

template <> struct Members<SS_Support> {
    using R = SS_Support;
    static constexpr auto members = std::make_tuple(M(R, BoudaryCondition), M(R, NodeList));
};

template <> struct Members<S_Slab_D> {
    using R = S_Slab_D;
    static constexpr auto members = std::make_tuple(
        M(R, SlabType), M(R, ElevationDiff), M(R, CantiLength), M(R, XAngle), M(R, SlabStyle),
        M(R, PStorK), M(R, ThicknessKey), M(R, MaterialKey), M(R, Openings), M(R, Supports));
};

template <> struct Members<S_MemberEndRls_D> {
    using R = S_MemberEndRls_D;
    static constexpr auto members = std::make_tuple(
        M(R, nType), M(R, flagI), M(R, fxI), M(R, fyI), M(R, fzI), M(R, mxI), M(R, myI), M(R, mzI),
        M(R, flagJ), M(R, fxJ), M(R, fyJ), M(R, fzJ), M(R, mxJ), M(R, myJ), M(R, mzJ));
};

template <> struct Members<S_Mdul_D> {
    using R = S_Mdul_D;
    static constexpr auto members = std::make_tuple(M(R, ModulName));
};

template <> struct Members<S_Plan_D> {
    using R = S_Plan_D;
    static constexpr auto members = std::make_tuple(
        M(R, PlanName), M(R, WallType), M(R, SlabType), M(R, LoadType), M(R, MatlKColumn), M(R, MatlKBeam),
        M(R, MatlKSlab), M(R, MatlKWall), M(R, MatlKBrace), M(R, ThikKSlab));
};

template <> struct Members<S_RcDgnGlobal_D> {
    using R = S_RcDgnGlobal_D;
    static constexpr auto members = std::make_tuple(M(R, Gamma0));
};

template <> struct Members<S_RcBarGroup> {
    using R = S_RcBarGroup;
    static constexpr auto members = std::make_tuple(M(R, RebarName), M(R, Grade), M(R, Dia), M(R, Number));
};

template <> struct Members<S_RcBarLayout> {
    using R = S_RcBarLayout;
    static constexpr auto members =
        std::make_tuple(M(R, RebarName), M(R, Grade), M(R, Number), M(R, Dia), M(R, Space));
};

template <> struct Members<S_RcStirrupSet> {
    using R = S_RcStirrupSet;
    static constexpr auto members =
        std::make_tuple(M(R, RebarName), M(R, Grade), M(R, Dia), M(R, Space), M(R, Legs));
};

template <> struct Members<S_RcForceSet> {
    using R = S_RcForceSet;
    static constexpr auto members = std::make_tuple(M(R, N), M(R, Mx), M(R, My), M(R, Vx), M(R, Vy), M(R, T));
};

template <> struct Members<S_RcBeamSectionDesign> {
    using R = S_RcBeamSectionDesign;
    static constexpr auto members = std::make_tuple(
        M(R, MainBarGrade), M(R, StirrupGrade), M(R, SideBarGrade), M(R, ReqAsTop), M(R, ReqAsTopCorner),
        M(R, ReqAsTopMiddle), M(R, ReqAsBottom), M(R, ReqAsTorsion), M(R, ReqAsStirrup), M(R, StirrupSpace),
        M(R, MaxRebarRatio), M(R, MinRebarRatio), M(R, StirrupBar), M(R, SideBar), M(R, TopCornerBar),
        M(R, TopMiddleBar), M(R, BottomBar), M(R, Force), M(R, Force_Q), M(R, Force_K));
};

template <> struct Members<S_RcDesignBeam_D> {
    using R = S_RcDesignBeam_D;
    static constexpr auto members = std::make_tuple(
        M(R, TopCovering), M(R, BottomCovering), M(R, SideCovering), M(R, SeismicGrade),
        M(R, SeismicIntensity), M(R, ISection), M(R, MSection), M(R, JSection));
};

template <> struct Members<S_RcDesignColumn_D> {
    using R = S_RcDesignColumn_D;
    static constexpr auto members = std::make_tuple(
        M(R, Covering), M(R, SeismicGrade), M(R, SeismicIntensity), M(R, NFcA), M(R, K_Major), M(R, K_Minor),
        M(R, MainBarGrade), M(R, StirrupGrade), M(R, ReqCornerAs), M(R, ReqMajorAxisAs), M(R, ReqMinorAxisAs),
        M(R, ReqMajorStirrupAsOfCenter), M(R, ReqMinorStirrupAsOfCenter), M(R, ReqMajorStirrupAsOfEnd),
        M(R, ReqMinorStirrupAsOfEnd), M(R, StirrupSpace), M(R, CornerBar), M(R, MidMajorAxisBar),
        M(R, MidMinorAxisBar), M(R, StirrupBarOfCircle), M(R, MajorStirrupBarOfCenter),
        M(R, MinorStirrupBarOfCenter), M(R, MajorStirrupBarOfEnd), M(R, MinorStirrupBarOfEnd), M(R, ForceUp),
        M(R, ForceCent), M(R, ForceDown));
};

template <> struct Members<S_RcDesignWall_D> {
    using R = S_RcDesignWall_D;
    static constexpr auto members = std::make_tuple(
        M(R, Dw), M(R, De), M(R, Qe), M(R, Qi), M(R, SeismicGrade), M(R, SeismicIntensity), M(R, NFcA),
        M(R, HBarGrade), M(R, VBarGrade), M(R, ReqAsHorizontal), M(R, ReqAsVertical), M(R, HorSpace),
        M(R, VerRate), M(R, ForceUp), M(R, ForceDown));
};

template <> struct Members<S_RcDesignWallLL_D> {
    using R = S_RcDesignWallLL_D;
    static constexpr auto members = std::make_tuple(
        M(R, SeismicGrade), M(R, SeismicIntensity), M(R, MainBarGrade), M(R, StirrupBarGrade), M(R, Space),
        M(R, ReqTopAs), M(R, ReqBottomAs), M(R, ReqStirrupAs), M(R, ReqSideAs), M(R, TopRebar),
        M(R, BottomRebar), M(R, StirrupRebar));
};

template <> struct Members<S_RcDesignWallColumn_D> {
    using R = S_RcDesignWallColumn_D;
    static constexpr auto members = std::make_tuple(
        M(R, SeismicGrade), M(R, SeismicIntensity), M(R, MainBarGrade), M(R, HoopBarGrade), M(R, ReqMainAs),
        M(R, ReqHoopAs), M(R, LemdaVs), M(R, HoopDia), M(R, HoopSpace));
};

template <> struct Members<S_RcDesignSlab_D> {
    using R = S_RcDesignSlab_D;
    static constexpr auto members = std::make_tuple(
        M(R, WeaponLoad), M(R, NuclearWeaponLoad), M(R, BottomBarGrade), M(R, TopBarGrade),
        M(R, SupportBarGrade), M(R, ReqBottomAs_X), M(R, ReqBottomAs_Y), M(R, ReqTopAs_X), M(R, ReqTopAs_Y),
        M(R, ReqSupportAs), M(R, MomemtKOnX), M(R, MomemtKOnY), M(R, MomentKOnSupports), M(R, MomemtQOnX),
        M(R, MomemtQOnY), M(R, MomentQOnSupports));
};

#undef M

} // namespace hoststore
