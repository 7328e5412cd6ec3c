// Every design record and sub-record, described once: element, member and
// kind, in member order (a design row is read as a chain over its list);
// and the design section's tables.
#pragma once

#include "host/CDesignDB.h"
#include "host/DesignRecords.h"
#include "schema/Fields.h"
#include "schema/Tables.h"

namespace building_designDB::fields {

using schema::asText;
using schema::EntryKeys;
using schema::EntryList;
using schema::field;
using schema::fieldList;
using schema::optional;
using schema::subRecord;
using schema::subRecords;
using schema::subRecordUpTo;
using schema::tableEntry;
using schema::tableRegistry;

constexpr auto kRcDgnGlobal = fieldList(
    field("Gamma0", &S_RcDgnGlobal_D::Gamma0, asText));

constexpr auto kBarGroup = fieldList(
    field("RebarName", &S_RcBarGroup::RebarName, asText),
    field("Grade", &S_RcBarGroup::Grade, asText),
    field("Dia", &S_RcBarGroup::Dia, asText),
    field("Number", &S_RcBarGroup::Number, asText));

constexpr auto kBarLayout = fieldList(
    field("RebarName", &S_RcBarLayout::RebarName, asText),
    field("Grade", &S_RcBarLayout::Grade, asText),
    field("Number", &S_RcBarLayout::Number, asText),
    field("Dia", &S_RcBarLayout::Dia, asText),
    field("Space", &S_RcBarLayout::Space, asText));

constexpr auto kStirrupSet = fieldList(
    field("RebarName", &S_RcStirrupSet::RebarName, asText),
    field("Grade", &S_RcStirrupSet::Grade, asText),
    field("Dia", &S_RcStirrupSet::Dia, asText),
    field("Space", &S_RcStirrupSet::Space, asText),
    field("Legs", &S_RcStirrupSet::Legs, asText));

constexpr auto kForceSet = fieldList(
    field("N", &S_RcForceSet::N, asText),
    field("Mx", &S_RcForceSet::Mx, asText),
    field("My", &S_RcForceSet::My, asText),
    field("Vx", &S_RcForceSet::Vx, asText),
    field("Vy", &S_RcForceSet::Vy, asText),
    field("T", &S_RcForceSet::T, asText));

// A force set read without its last link, "T", which keeps its value.
constexpr std::size_t kForceSetLinksWithoutT = std::tuple_size_v<decltype(kForceSet)> - 1;
constexpr auto forceSetWithoutT = subRecordUpTo<kForceSetLinksWithoutT>(kForceSet);

constexpr auto kBeamSectionDesign = fieldList(
    field("MainBarGrade", &S_RcBeamSectionDesign::MainBarGrade, asText),
    field("StirrupGrade", &S_RcBeamSectionDesign::StirrupGrade, asText),
    field("SideBarGrade", &S_RcBeamSectionDesign::SideBarGrade, asText),
    field("ReqAsTop", &S_RcBeamSectionDesign::ReqAsTop, asText),
    field("ReqAsTopCorner", &S_RcBeamSectionDesign::ReqAsTopCorner, asText),
    field("ReqAsTopMiddle", &S_RcBeamSectionDesign::ReqAsTopMiddle, asText),
    field("ReqAsBottom", &S_RcBeamSectionDesign::ReqAsBottom, asText),
    field("ReqAsTorsion", &S_RcBeamSectionDesign::ReqAsTorsion, asText),
    field("ReqAsStirrup", &S_RcBeamSectionDesign::ReqAsStirrup, asText),
    field("StirrupSpace", &S_RcBeamSectionDesign::StirrupSpace, asText),
    field("MaxRebarRatio", &S_RcBeamSectionDesign::MaxRebarRatio, asText),
    field("MinRebarRatio", &S_RcBeamSectionDesign::MinRebarRatio, asText),
    field("StirrupBar", &S_RcBeamSectionDesign::StirrupBar, subRecord(kBarLayout)),
    field("SideBar", &S_RcBeamSectionDesign::SideBar, subRecord(kBarGroup)),
    field("TopCornerBar", &S_RcBeamSectionDesign::TopCornerBar, asText),
    field("TopMiddleBar", &S_RcBeamSectionDesign::TopMiddleBar, asText),
    field("BottomBar", &S_RcBeamSectionDesign::BottomBar, asText),
    field("Force", &S_RcBeamSectionDesign::Force, subRecord(kForceSet)),
    field("Force_Q", &S_RcBeamSectionDesign::Force_Q, subRecord(kForceSet)),
    field("Force_K", &S_RcBeamSectionDesign::Force_K, subRecord(kForceSet)));

constexpr auto kBeam = fieldList(
    field("TopCovering", &S_RcDesignBeam_D::TopCovering, asText),
    field("BottomCovering", &S_RcDesignBeam_D::BottomCovering, asText),
    field("SideCovering", &S_RcDesignBeam_D::SideCovering, asText),
    field("SeismicGrade", &S_RcDesignBeam_D::SeismicGrade, asText),
    field("SeismicIntensity", &S_RcDesignBeam_D::SeismicIntensity, asText),
    field("ISection", &S_RcDesignBeam_D::ISection, subRecord(kBeamSectionDesign)),
    field("MSection", &S_RcDesignBeam_D::MSection, subRecord(kBeamSectionDesign)),
    field("JSection", &S_RcDesignBeam_D::JSection, subRecord(kBeamSectionDesign)));

constexpr auto kColumn = fieldList(
    field("Covering", &S_RcDesignColumn_D::Covering, asText),
    field("SeismicGrade", &S_RcDesignColumn_D::SeismicGrade, asText),
    field("SeismicIntensity", &S_RcDesignColumn_D::SeismicIntensity, asText),
    field("NFcA", &S_RcDesignColumn_D::NFcA, asText),
    field("K_Major", &S_RcDesignColumn_D::K_Major, asText),
    field("K_Minor", &S_RcDesignColumn_D::K_Minor, asText),
    field("MainBarGrade", &S_RcDesignColumn_D::MainBarGrade, asText),
    field("StirrupGrade", &S_RcDesignColumn_D::StirrupGrade, asText),
    field("ReqCornerAs", &S_RcDesignColumn_D::ReqCornerAs, asText),
    field("ReqMajorAxisAs", &S_RcDesignColumn_D::ReqMajorAxisAs, asText),
    field("ReqMinorAxisAs", &S_RcDesignColumn_D::ReqMinorAxisAs, asText),
    field("ReqMajorStirrupAsOfCenter", &S_RcDesignColumn_D::ReqMajorStirrupAsOfCenter, asText),
    field("ReqMinorStirrupAsOfCenter", &S_RcDesignColumn_D::ReqMinorStirrupAsOfCenter, asText),
    field("ReqMajorStirrupAsOfEnd", &S_RcDesignColumn_D::ReqMajorStirrupAsOfEnd, asText),
    field("ReqMinorStirrupAsOfEnd", &S_RcDesignColumn_D::ReqMinorStirrupAsOfEnd, asText),
    field("StirrupSpace", &S_RcDesignColumn_D::StirrupSpace, asText),
    field("CornerBar", &S_RcDesignColumn_D::CornerBar, subRecord(kBarGroup)),
    field("MidMajorAxisBar", &S_RcDesignColumn_D::MidMajorAxisBar, subRecord(kBarGroup)),
    field("MidMinorAxisBar", &S_RcDesignColumn_D::MidMinorAxisBar, subRecord(kBarGroup)),
    field("StirrupBarOfCircle", &S_RcDesignColumn_D::StirrupBarOfCircle, subRecord(kBarLayout)),
    field("MajorStirrupBarOfCenter", &S_RcDesignColumn_D::MajorStirrupBarOfCenter, subRecord(kBarLayout)),
    field("MinorStirrupBarOfCenter", &S_RcDesignColumn_D::MinorStirrupBarOfCenter, subRecord(kBarLayout)),
    field("MajorStirrupBarOfEnd", &S_RcDesignColumn_D::MajorStirrupBarOfEnd, subRecord(kBarLayout)),
    field("MinorStirrupBarOfEnd", &S_RcDesignColumn_D::MinorStirrupBarOfEnd, subRecord(kBarLayout)),
    field("ForceUp", &S_RcDesignColumn_D::ForceUp, subRecord(kForceSet)),
    field("ForceCent", &S_RcDesignColumn_D::ForceCent, subRecord(kForceSet)),
    field("ForceDown", &S_RcDesignColumn_D::ForceDown, subRecord(kForceSet)));

constexpr auto kWall = fieldList(
    field("Dw", &S_RcDesignWall_D::Dw, asText),
    field("De", &S_RcDesignWall_D::De, asText),
    field("Qe", &S_RcDesignWall_D::Qe, asText),
    field("Qi", &S_RcDesignWall_D::Qi, asText),
    field("SeismicGrade", &S_RcDesignWall_D::SeismicGrade, asText),
    field("SeismicIntensity", &S_RcDesignWall_D::SeismicIntensity, asText),
    field("NFcA", &S_RcDesignWall_D::NFcA, asText),
    field("HBarGrade", &S_RcDesignWall_D::HBarGrade, asText),
    field("VBarGrade", &S_RcDesignWall_D::VBarGrade, asText),
    field("ReqAsHorizontal", &S_RcDesignWall_D::ReqAsHorizontal, asText),
    field("ReqAsVertical", &S_RcDesignWall_D::ReqAsVertical, asText),
    field("HorSpace", &S_RcDesignWall_D::HorSpace, asText),
    field("VerRate", &S_RcDesignWall_D::VerRate, asText),
    field("ForceUp", &S_RcDesignWall_D::ForceUp, forceSetWithoutT),
    field("ForceDown", &S_RcDesignWall_D::ForceDown, subRecord(kForceSet)));

// "BottomRebar" is two links: the first and the second element of the name.
constexpr auto kWallLL = fieldList(
    field("SeismicGrade", &S_RcDesignWallLL_D::SeismicGrade, asText),
    field("SeismicIntensity", &S_RcDesignWallLL_D::SeismicIntensity, asText),
    field("MainBarGrade", &S_RcDesignWallLL_D::MainBarGrade, asText),
    field("StirrupBarGrade", &S_RcDesignWallLL_D::StirrupBarGrade, asText),
    field("Space", &S_RcDesignWallLL_D::Space, asText),
    field("ReqTopAs", &S_RcDesignWallLL_D::ReqTopAs, asText),
    field("ReqBottomAs", &S_RcDesignWallLL_D::ReqBottomAs, asText),
    field("ReqStirrupAs", &S_RcDesignWallLL_D::ReqStirrupAs, asText),
    field("ReqSideAs", &S_RcDesignWallLL_D::ReqSideAs, asText),
    field("TopRebar", &S_RcDesignWallLL_D::TopRebar, subRecord(kBarGroup)),
    field("BottomRebar", &S_RcDesignWallLL_D::BottomRebar, subRecords(kBarGroup)),
    field("StirrupRebar", &S_RcDesignWallLL_D::StirrupRebar, subRecord(kStirrupSet)));

constexpr auto kWallColumn = fieldList(
    field("SeismicGrade", &S_RcDesignWallColumn_D::SeismicGrade, asText),
    field("SeismicIntensity", &S_RcDesignWallColumn_D::SeismicIntensity, asText),
    field("MainBarGrade", &S_RcDesignWallColumn_D::MainBarGrade, asText),
    field("HoopBarGrade", &S_RcDesignWallColumn_D::HoopBarGrade, asText),
    field("ReqMainAs", &S_RcDesignWallColumn_D::ReqMainAs, asText),
    field("ReqHoopAs", &S_RcDesignWallColumn_D::ReqHoopAs, asText),
    field("LemdaVs", &S_RcDesignWallColumn_D::LemdaVs, asText),
    field("HoopDia", &S_RcDesignWallColumn_D::HoopDia, asText),
    field("HoopSpace", &S_RcDesignWallColumn_D::HoopSpace, asText));

// The value lists never fail a row, present or not.
constexpr EntryList<double> values{"double", EntryKeys::Position, nullptr};
constexpr auto valueList = optional(values);

constexpr auto kSlab = fieldList(
    field("WeaponLoad", &S_RcDesignSlab_D::WeaponLoad, asText),
    field("NuclearWeaponLoad", &S_RcDesignSlab_D::NuclearWeaponLoad, asText),
    field("BottomBarGrade", &S_RcDesignSlab_D::BottomBarGrade, asText),
    field("TopBarGrade", &S_RcDesignSlab_D::TopBarGrade, asText),
    field("SupportBarGrade", &S_RcDesignSlab_D::SupportBarGrade, asText),
    field("ReqBottomAs_X", &S_RcDesignSlab_D::ReqBottomAs_X, asText),
    field("ReqBottomAs_Y", &S_RcDesignSlab_D::ReqBottomAs_Y, asText),
    field("ReqTopAs_X", &S_RcDesignSlab_D::ReqTopAs_X, asText),
    field("ReqTopAs_Y", &S_RcDesignSlab_D::ReqTopAs_Y, asText),
    field("ReqSupportAs", &S_RcDesignSlab_D::ReqSupportAs, valueList),
    field("MomemtKOnX", &S_RcDesignSlab_D::MomemtKOnX, asText),
    field("MomemtKOnY", &S_RcDesignSlab_D::MomemtKOnY, asText),
    field("MomentKOnSupports", &S_RcDesignSlab_D::MomentKOnSupports, valueList),
    field("MomemtQOnX", &S_RcDesignSlab_D::MomemtQOnX, asText),
    field("MomemtQOnY", &S_RcDesignSlab_D::MomemtQOnY, asText),
    field("MomentQOnSupports", &S_RcDesignSlab_D::MomentQOnSupports, valueList));

// The design section's tables, in the order they are imported. The wall
// design table takes two progress steps: the host reserves a table beside
// it that no reader fills, and its step's message goes out back to back
// with the wall table's. The host tables are protected members of the
// store's base class, which a class derived from it may name.
struct DesignTables : CDesignDB {
    static constexpr auto registry()
    {
        return tableRegistry(
            tableEntry("RcDgnGlobalTable", kRcDgnGlobal, &DesignTables::m_pRcDgnGlobal, "RcDgnGlobal"),
            tableEntry("BeamTable", kBeam, &DesignTables::m_pRcDesignBeam, "RcDesignBeam"),
            tableEntry("ColumnTable", kColumn, &DesignTables::m_pRcDesignColumn, "RcDesignColumn"),
            tableEntry("WallTable", kWall, &DesignTables::m_pRcDesignWall, "RcDesignWall", 2),
            tableEntry("WallLLTable", kWallLL, &DesignTables::m_pRcDesignWallLL, "RcDesignWallLL"),
            tableEntry("WallColumnTable", kWallColumn, &DesignTables::m_pRcDesignWallColumn, "RcDesignWallColumn"),
            tableEntry("SlabTable", kSlab, &DesignTables::m_pRcDesignSlab, "RcDesignSlab"));
    }
};
inline constexpr auto kTables = DesignTables::registry();

} // namespace building_designDB::fields
