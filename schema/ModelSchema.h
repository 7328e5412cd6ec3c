// Every model record and sub-record, described once: element, member and
// kind, in member order; and the model section's tables.
#pragma once

#include "host/CModelDB.h"
#include "host/ModelRecords.h"
#include "schema/Fields.h"
#include "schema/Tables.h"

namespace building_modelDB::fields {

using schema::asFlag;
using schema::asInt;
using schema::asIntsFromDoubles;
using schema::asReal;
using schema::asText;
using schema::EntryKeys;
using schema::EntryList;
using schema::recordList;
using schema::field;
using schema::fieldList;
using schema::keyRef;
using schema::subRecord;
using schema::tableEntry;
using schema::tableRegistry;

// Key lists and lists of reals held by records: entries from the first
// child of the name on, keyed by position or by their own value.
constexpr EntryList<int> nodeKeys{"S_Node_K", EntryKeys::Position, "Value"};
constexpr EntryList<int> elementKeys{"S_Element_K", EntryKeys::Position, "Value"};
constexpr EntryList<int> beamKeySet{"S_Beam_K", EntryKeys::Value, "Value"};
constexpr EntryList<int> elementKeySet{"S_Element_K", EntryKeys::Value, "Value"};
constexpr EntryList<double> reals{"double", EntryKeys::Position, nullptr};

constexpr auto kProjectInfo = fieldList(
    field("Project", &S_ProjectInfo_D::Project, asText),
    field("Revision", &S_ProjectInfo_D::Revision, asText),
    field("Code", &S_ProjectInfo_D::Code, asText),
    field("User", &S_ProjectInfo_D::User, asText),
    field("Mail", &S_ProjectInfo_D::Mail, asText),
    field("Address", &S_ProjectInfo_D::Address, asText),
    field("Phone", &S_ProjectInfo_D::Phone, asText),
    field("Fax", &S_ProjectInfo_D::Fax, asText),
    field("Client", &S_ProjectInfo_D::Client, asText),
    field("Title", &S_ProjectInfo_D::Title, asText),
    field("Comment", &S_ProjectInfo_D::Comment, asText),
    field("StructType", &S_ProjectInfo_D::StructType, asInt),
    field("Height", &S_ProjectInfo_D::Height, asReal),
    field("HeightGrade", &S_ProjectInfo_D::HeightGrade, asReal));

constexpr auto kUnitFlag = fieldList(
    field("Length", &S_UnitFlag_D::Length, asInt),
    field("Force", &S_UnitFlag_D::Force, asInt));

constexpr auto kSectStiffness = fieldList(
    field("Area", &S_SectStiffness::Area, asInt),
    field("Asy", &S_SectStiffness::Asy, asInt),
    field("Asz", &S_SectStiffness::Asz, asInt),
    field("Rxx", &S_SectStiffness::Rxx, asInt),
    field("Ryy", &S_SectStiffness::Ryy, asInt),
    field("Rzz", &S_SectStiffness::Rzz, asInt),
    field("Cyp", &S_SectStiffness::Cyp, asInt),
    field("Cym", &S_SectStiffness::Cym, asInt),
    field("Czp", &S_SectStiffness::Czp, asInt),
    field("Czm", &S_SectStiffness::Czm, asInt),
    field("Qyb", &S_SectStiffness::Qyb, asInt),
    field("Qzb", &S_SectStiffness::Qzb, asInt),
    field("WArea", &S_SectStiffness::WArea, asInt),
    field("dx1", &S_SectStiffness::dx1, asInt),
    field("dy1", &S_SectStiffness::dy1, asInt),
    field("dx2", &S_SectStiffness::dx2, asInt),
    field("dy2", &S_SectStiffness::dy2, asInt),
    field("dx3", &S_SectStiffness::dx3, asInt),
    field("dy3", &S_SectStiffness::dy3, asInt),
    field("dx4", &S_SectStiffness::dx4, asInt),
    field("dy4", &S_SectStiffness::dy4, asInt),
    field("dScaleFactor", &S_SectStiffness::dScaleFactor, asIntsFromDoubles));

constexpr auto kSectDesign = fieldList(
    field("YBar", &S_SectDesign::YBar, asInt),
    field("ZBar", &S_SectDesign::ZBar, asInt),
    field("Syy", &S_SectDesign::Syy, asInt),
    field("Szz", &S_SectDesign::Szz, asInt),
    field("Zyy", &S_SectDesign::Zyy, asInt),
    field("Zzz", &S_SectDesign::Zzz, asInt),
    field("Roy", &S_SectDesign::Roy, asInt),
    field("Roz", &S_SectDesign::Roz, asInt),
    field("Cwp", &S_SectDesign::Cwp, asInt),
    field("TanA", &S_SectDesign::TanA, asInt),
    field("Rop", &S_SectDesign::Rop, asInt),
    field("XO", &S_SectDesign::XO, asInt),
    field("RO", &S_SectDesign::RO, asInt),
    field("Beta", &S_SectDesign::Beta, asInt));

constexpr auto kSectShape = fieldList(
    field("Shape", &S_SectShape::Shape, asText),
    field("DBName", &S_SectShape::DBName, asText),
    field("SName", &S_SectShape::SName, asText),
    field("SName2", &S_SectShape::SName2, asText),
    field("PeriIn", &S_SectShape::PeriIn, asReal),
    field("PeriOut", &S_SectShape::PeriOut, asReal),
    field("BuiltUpFlag", &S_SectShape::BuiltUpFlag, asReal),
    field("Size", &S_SectShape::Size, reals),
    field("Stiffness", &S_SectShape::Stiffness, subRecord(kSectStiffness)),
    field("Design", &S_SectShape::Design, subRecord(kSectDesign)));

constexpr auto kSection = fieldList(
    field("Num", &S_Section_D::Num, asInt),
    field("SType", &S_Section_D::SType, asInt),
    field("SName", &S_Section_D::SName, asText),
    field("Shape", &S_Section_D::Shape, asText),
    field("OffsetPoint", &S_Section_D::OffsetPoint, asInt),
    field("Lytype", &S_Section_D::Lytype, asInt),
    field("Lztype", &S_Section_D::Lztype, asInt),
    field("SRCtype", &S_Section_D::SRCtype, asInt),
    field("Matl_Elast", &S_Section_D::Matl_Elast, asReal),
    field("Matl_Density", &S_Section_D::Matl_Density, asReal),
    field("Matl_Poisson_S", &S_Section_D::Matl_Poisson_S, asReal),
    field("Matl_Poisson_C", &S_Section_D::Matl_Poisson_C, asReal),
    field("Matl_StiffFactor", &S_Section_D::Matl_StiffFactor, asReal),
    field("PeriIn", &S_Section_D::PeriIn, asReal),
    field("PeriOut", &S_Section_D::PeriOut, asReal),
    field("BuiltUpFlag", &S_Section_D::BuiltUpFlag, asInt),
    field("Symmetric", &S_Section_D::Symmetric, asFlag),
    field("OffsetCenter", &S_Section_D::OffsetCenter, asInt),
    field("HorzOffsetOpt", &S_Section_D::HorzOffsetOpt, asInt),
    field("VertOffsetOpt", &S_Section_D::VertOffsetOpt, asInt),
    field("ConsiderShearDeform", &S_Section_D::ConsiderShearDeform, asFlag),
    field("UserDefOffsetY", &S_Section_D::UserDefOffsetY, asIntsFromDoubles),
    field("UserDefOffsetZ", &S_Section_D::UserDefOffsetZ, asIntsFromDoubles),
    field("SectI", &S_Section_D::SectI, subRecord(kSectShape)),
    field("SectJ", &S_Section_D::SectJ, subRecord(kSectShape)),
    field("Stiffness", &S_Section_D::Stiffness, subRecord(kSectStiffness)),
    field("Design", &S_Section_D::Design, subRecord(kSectDesign)));

constexpr auto kThickValue = fieldList(
    field("ThickType", &S_ThickValue::ThickType, asText),
    field("ThickIn", &S_ThickValue::ThickIn, asReal),
    field("ThickOut", &S_ThickValue::ThickOut, asReal));

constexpr auto kThickness = fieldList(
    field("Num", &S_Thickness_D::Num, asInt),
    field("nType", &S_Thickness_D::nType, asInt),
    field("Value", &S_Thickness_D::Value, subRecord(kThickValue)));

constexpr auto kOpening = fieldList(
    field("Num", &S_Opening_D::Num, asInt),
    field("OpeningType", &S_Opening_D::OpeningType, asInt),
    field("Width", &S_Opening_D::Width, asReal),
    field("Height", &S_Opening_D::Height, asReal),
    field("Pline", &S_Opening_D::Pline, asText));

constexpr auto kMatlAnalysis = fieldList(
    field("Elast", &S_MatlAnalysis::Elast, asReal),
    field("Poisson", &S_MatlAnalysis::Poisson, asReal),
    field("Thermal", &S_MatlAnalysis::Thermal, asReal),
    field("Density", &S_MatlAnalysis::Density, asReal),
    field("Fck", &S_MatlAnalysis::Fck, asReal),
    field("Ftk", &S_MatlAnalysis::Ftk, asReal),
    field("Fc", &S_MatlAnalysis::Fc, asReal),
    field("Ft", &S_MatlAnalysis::Ft, asReal),
    field("Fak", &S_MatlAnalysis::Fak, asReal),
    field("Fa", &S_MatlAnalysis::Fa, asReal));

constexpr auto kMatlData = fieldList(
    field("CodeName", &S_MatlData::CodeName, asText),
    field("CodeMatlName", &S_MatlData::CodeMatlName, asText),
    field("Analysis", &S_MatlData::Analysis, subRecord(kMatlAnalysis)));

constexpr auto kDesignMaterial = fieldList(
    field("Type", &S_DesignMaterial_D::Type, asText),
    field("Name", &S_DesignMaterial_D::Name, asText),
    field("bChangeSteel", &S_DesignMaterial_D::bChangeSteel, asText),
    field("MainRebarMatlName", &S_DesignMaterial_D::MainRebarMatlName, asText),
    field("SubRebarMatlName", &S_DesignMaterial_D::SubRebarMatlName, asText),
    field("Data1", &S_DesignMaterial_D::Data1, subRecord(kMatlData)),
    field("Data2", &S_DesignMaterial_D::Data2, subRecord(kMatlData)));

constexpr auto kDesignCode = fieldList(
    field("DesignCode", &S_DesignCode_D::DesignCode, asText),
    field("DesignSteelCode", &S_DesignCode_D::DesignSteelCode, asText),
    field("DesignSRCCode", &S_DesignCode_D::DesignSRCCode, asText),
    field("RebarMaterialCode", &S_DesignCode_D::RebarMaterialCode, asText),
    field("SeismicGrade", &S_DesignCode_D::SeismicGrade, asText),
    field("SeismicIntensity", &S_DesignCode_D::SeismicIntensity, asText));

constexpr auto kFloor = fieldList(
    field("Num", &S_Floor_D::Num, asInt),
    field("StoryName", &S_Floor_D::StoryName, asText),
    field("Heigh", &S_Floor_D::Heigh, asReal),
    field("Elevation", &S_Floor_D::Elevation, asReal),
    field("MdulK", &S_Floor_D::MdulK, keyRef("S_Mdul_K")),
    field("PlanK", &S_Floor_D::PlanK, keyRef("S_Plan_K")));

constexpr auto kNode = fieldList(
    field("x", &S_Node_D::x, asReal),
    field("y", &S_Node_D::y, asReal));

constexpr auto kAxis = fieldList(
    field("Name", &S_Axis_D::Name, asText),
    field("GroupKey", &S_Axis_D::GroupKey, keyRef("S_AxisGroup_K")),
    field("StartNodeKey", &S_Axis_D::StartNodeKey, keyRef("S_Node_K")),
    field("EndNodeKey", &S_Axis_D::EndNodeKey, keyRef("S_Node_K")),
    field("CenterNodeKey", &S_Axis_D::CenterNodeKey, keyRef("S_Node_K")));

constexpr auto kAxisGroup = fieldList(
    field("Name", &S_AxisGroup_D::Name, asText));

constexpr auto kElement = fieldList(
    field("Elpro", &S_Element_D::Elpro, asInt),
    field("Angle", &S_Element_D::Angle, asReal),
    field("MembType", &S_Element_D::MembType, asInt),
    field("Ecx1", &S_Element_D::Ecx1, asInt),
    field("Ecy1", &S_Element_D::Ecy1, asInt),
    field("Ecz1", &S_Element_D::Ecz1, asInt),
    field("Ecx2", &S_Element_D::Ecx2, asInt),
    field("Ecy2", &S_Element_D::Ecy2, asInt),
    field("Ecz2", &S_Element_D::Ecz2, asInt),
    field("ElMatl", &S_Element_D::ElMatl, keyRef("S_DesignMaterial_K")),
    field("PStorK", &S_Element_D::PStorK, keyRef("S_Floor_K")),
    field("PNodeKeyList", &S_Element_D::PNodeKeyList, nodeKeys));

constexpr auto kBeam = fieldList(
    field("MembType", &S_Beam_D::MembType, asInt),
    field("PStorK", &S_Beam_D::PStorK, keyRef("S_Floor_K")),
    field("PElemK", &S_Beam_D::PElemK, elementKeys));

constexpr auto kBeamGroup = fieldList(
    field("BeamList", &S_BeamGroup_D::BeamList, beamKeySet));

constexpr auto kColumn = fieldList(
    field("MembType", &S_Column_D::MembType, asInt),
    field("MembKind", &S_Column_D::MembKind, asInt),
    field("PStorK", &S_Column_D::PStorK, keyRef("S_Floor_K")),
    field("PElemK", &S_Column_D::PElemK, elementKeys));

constexpr auto kBrace = fieldList(
    field("MembType", &S_Brace_D::MembType, asInt),
    field("PStorK", &S_Brace_D::PStorK, keyRef("S_Floor_K")),
    field("PElemK", &S_Brace_D::PElemK, elementKeys));

constexpr auto kWall = fieldList(
    field("MembType", &S_Wall_D::MembType, asInt),
    field("PStorK", &S_Wall_D::PStorK, keyRef("S_Floor_K")),
    field("PElemK", &S_Wall_D::PElemK, elementKeys),
    field("Openings", &S_Wall_D::Openings, asText));

constexpr auto kWallLL = fieldList(
    field("BetaAngle", &S_WallLL_D::BetaAngle, asInt),
    field("Ecx1", &S_WallLL_D::Ecx1, asInt),
    field("Ecy1", &S_WallLL_D::Ecy1, asInt),
    field("Ecz1", &S_WallLL_D::Ecz1, asInt),
    field("Ecx2", &S_WallLL_D::Ecx2, asInt),
    field("Ecy2", &S_WallLL_D::Ecy2, asInt),
    field("Ecz2", &S_WallLL_D::Ecz2, asInt),
    field("Width", &S_WallLL_D::Width, asInt),
    field("Height", &S_WallLL_D::Height, asInt),
    field("ElevDiff", &S_WallLL_D::ElevDiff, asInt),
    field("MaterialKey", &S_WallLL_D::MaterialKey, keyRef("S_DesignMaterial_K")),
    field("SectionKey", &S_WallLL_D::SectionKey, keyRef("S_Section_K")),
    field("PStorK", &S_WallLL_D::PStorK, keyRef("S_Floor_K")),
    field("NodeKey1", &S_WallLL_D::NodeKey1, keyRef("S_Node_K")),
    field("NodeKey2", &S_WallLL_D::NodeKey2, keyRef("S_Node_K")));

constexpr auto kWallColumn = fieldList(
    field("WallColumnType", &S_WallColumn_D::WallColumnType, asInt),
    field("NodeKey", &S_WallColumn_D::NodeKey, keyRef("S_Node_K")),
    field("PStorK", &S_WallColumn_D::PStorK, keyRef("S_Floor_K")),
    field("WallEleKeys", &S_WallColumn_D::WallEleKeys, elementKeySet),
    field("Lcs", &S_WallColumn_D::Lcs, reals),
    field("Lss", &S_WallColumn_D::Lss, reals));

constexpr auto kSupport = fieldList(
    field("BoudaryCondition", &SS_Support::BoudaryCondition, asInt),
    field("NodeList", &SS_Support::NodeList, nodeKeys));

constexpr auto supports = recordList("S_Support", kSupport);

constexpr auto kSlab = fieldList(
    field("SlabType", &S_Slab_D::SlabType, asInt),
    field("ElevationDiff", &S_Slab_D::ElevationDiff, asReal),
    field("CantiLength", &S_Slab_D::CantiLength, asReal),
    field("XAngle", &S_Slab_D::XAngle, asReal),
    field("SlabStyle", &S_Slab_D::SlabStyle, asInt),
    field("PStorK", &S_Slab_D::PStorK, keyRef("S_Floor_K")),
    field("ThicknessKey", &S_Slab_D::ThicknessKey, keyRef("S_Thickness_K")),
    field("MaterialKey", &S_Slab_D::MaterialKey, keyRef("S_DesignMaterial_K")),
    field("Openings", &S_Slab_D::Openings, asText),
    field("Supports", &S_Slab_D::Supports, supports));

constexpr auto kMemberEndRls = fieldList(
    field("nType", &S_MemberEndRls_D::nType, asInt),
    field("flagI", &S_MemberEndRls_D::flagI, asText),
    field("fxI", &S_MemberEndRls_D::fxI, asInt),
    field("fyI", &S_MemberEndRls_D::fyI, asInt),
    field("fzI", &S_MemberEndRls_D::fzI, asInt),
    field("mxI", &S_MemberEndRls_D::mxI, asInt),
    field("myI", &S_MemberEndRls_D::myI, asInt),
    field("mzI", &S_MemberEndRls_D::mzI, asInt),
    field("flagJ", &S_MemberEndRls_D::flagJ, asText),
    field("fxJ", &S_MemberEndRls_D::fxJ, asInt),
    field("fyJ", &S_MemberEndRls_D::fyJ, asInt),
    field("fzJ", &S_MemberEndRls_D::fzJ, asInt),
    field("mxJ", &S_MemberEndRls_D::mxJ, asInt),
    field("myJ", &S_MemberEndRls_D::myJ, asInt),
    field("mzJ", &S_MemberEndRls_D::mzJ, asInt));

constexpr auto kMdul = fieldList(
    field("ModulName", &S_Mdul_D::ModulName, asText));

constexpr auto kPlan = fieldList(
    field("PlanName", &S_Plan_D::PlanName, asText),
    field("WallType", &S_Plan_D::WallType, asText),
    field("SlabType", &S_Plan_D::SlabType, asText),
    field("LoadType", &S_Plan_D::LoadType, asText),
    field("MatlKColumn", &S_Plan_D::MatlKColumn, asText),
    field("MatlKBeam", &S_Plan_D::MatlKBeam, asText),
    field("MatlKSlab", &S_Plan_D::MatlKSlab, asText),
    field("MatlKWall", &S_Plan_D::MatlKWall, asText),
    field("MatlKBrace", &S_Plan_D::MatlKBrace, asText),
    field("ThikKSlab", &S_Plan_D::ThikKSlab, asText));

// The model section's tables, in the order they are imported, one
// progress step each. The host tables are protected members of the
// store's base class, which a class derived from it may name.
struct ModelTables : CModelDB {
    static constexpr auto registry()
    {
        return tableRegistry(
            tableEntry("ProjectInfoTable", kProjectInfo, &ModelTables::m_pProjectInfo, "ProjectInfo"),
            tableEntry("UnitFlagTable", kUnitFlag, &ModelTables::m_pUnitFlag, "UnitFlag"),
            tableEntry("SectionTable", kSection, &ModelTables::m_pSection, "Section"),
            tableEntry("ThicknessTable", kThickness, &ModelTables::m_pThickness, "Thickness"),
            tableEntry("OpeningTable", kOpening, &ModelTables::m_pOpening, "Opening"),
            tableEntry("DesignMaterialTable", kDesignMaterial, &ModelTables::m_pDesignMaterial, "DesignMaterial"),
            tableEntry("DesignCodeTable", kDesignCode, &ModelTables::m_pDesignCode, "DesignCode"),
            tableEntry("FloorTable", kFloor, &ModelTables::m_pFloor, "Floor"),
            tableEntry("NodeTable", kNode, &ModelTables::m_pNode, "Node"),
            tableEntry("AxisTable", kAxis, &ModelTables::m_pAxis, "Axis"),
            tableEntry("AxisGroupTable", kAxisGroup, &ModelTables::m_pAxisGroup, "AxisGroup"),
            tableEntry("ElementTable", kElement, &ModelTables::m_pElement, "Element"),
            tableEntry("BeamTable", kBeam, &ModelTables::m_pBeam, "Beam"),
            tableEntry("BeamGroupTable", kBeamGroup, &ModelTables::m_pBeamGroup, "BeamGroup"),
            tableEntry("ColumnTable", kColumn, &ModelTables::m_pColumn, "Column"),
            tableEntry("BraceTable", kBrace, &ModelTables::m_pBrace, "Brace"),
            tableEntry("WallTable", kWall, &ModelTables::m_pWall, "Wall"),
            tableEntry("WallLLTable", kWallLL, &ModelTables::m_pWallLL, "WallLL"),
            tableEntry("WallColumnTable", kWallColumn, &ModelTables::m_pWallColumn, "WallColumn"),
            tableEntry("SlabTable", kSlab, &ModelTables::m_pSlab, "Slab"),
            tableEntry("MemberEndRlsTable", kMemberEndRls, &ModelTables::m_pMemberEndRls, "MemberEndRls"),
            tableEntry("MdulTable", kMdul, &ModelTables::m_pMdul, "Mdul"),
            tableEntry("PlanTable", kPlan, &ModelTables::m_pPlan, "Plan"));
    }
};
inline constexpr auto kTables = ModelTables::registry();

} // namespace building_modelDB::fields
