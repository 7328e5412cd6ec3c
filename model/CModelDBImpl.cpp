#include "model/CModelDBImpl.h"

#include "document/ModelTableWalk.h"
#include "model/ModelFields.h"
#include "plugin/CMBMBNReaderImpl.h"
#include "progress/TolvProcessDisplayServerWarper.h"

using namespace building_modelDB;
using document::forEachEntry;
using document::readFields;
using document::textOf;

namespace {

const wchar_t kStepText[] = L"Import All Layer Basic Data";
constexpr int kStepCount = 31;

// An entry's value for a key list: the text of its child "Value", or its
// own text for a list of reals.
const char* keyText(TiXmlElement* entry)
{
    return textOf(document::firstChild(TiXmlHandle(entry), "Value"));
}
const char* ownText(TiXmlElement* entry)
{
    return entry->GetText();
}

enum class Keys { Position, Value };

// Adds one entry per element, from the first one named `first` on. An
// entry without text carries the value of the one before it.
template <class V, class ReadValue>
bool readList(const TiXmlHandle& list, const char* first, TableInterface<int, V>* target, Keys keys,
              const char* (*text)(TiXmlElement*), ReadValue readValue)
{
    V value = V();
    int position = 0;
    forEachEntry(list, first, [&](TiXmlElement* entry) {
        readValue(text(entry), value);
        if (keys == Keys::Position) {
            target->AddData(position, value);
            ++position;
        } else {
            int key = static_cast<int>(value);
            target->AddData(key, value);
        }
    });
    return true;
}

} // namespace

CModelDBImpl::CModelDBImpl(CMBMBNReaderImpl* reader) : m_pReader(reader) {}

CModelDBImpl::~CModelDBImpl() = default;

bool CModelDBImpl::importModelDB()
{
    static constexpr bool (CModelDBImpl::*kSteps[])() = {
        &CModelDBImpl::readProjectInfoTable, &CModelDBImpl::readUnitFlagTable,
        &CModelDBImpl::readSectionTable,     &CModelDBImpl::readThicknessTable,
        &CModelDBImpl::readOpeningTable,     &CModelDBImpl::readDesignMaterialTable,
        &CModelDBImpl::readDesignCodeTable,  &CModelDBImpl::readFloorTable,
        &CModelDBImpl::readNodeTable,        &CModelDBImpl::readAxisTable,
        &CModelDBImpl::readAxisGroupTable,   &CModelDBImpl::readElementTable,
        &CModelDBImpl::readBeamTable,        &CModelDBImpl::readBeamGroupTable,
        &CModelDBImpl::readColumnTable,      &CModelDBImpl::readBraceTable,
        &CModelDBImpl::readWallTable,        &CModelDBImpl::readWallLLTable,
        &CModelDBImpl::readWallColumnTable,  &CModelDBImpl::readSlabTable,
        &CModelDBImpl::readMemberEndRlsTable, &CModelDBImpl::readMdulTable,
        &CModelDBImpl::readPlanTable,
    };
    TolvProcessDisplayServerWarper& progress = TolvProcessDisplayServerWarper::instance();
    progress.setProcessDelayInformation(1, kStepCount);
    int step = 1;
    for (auto read : kSteps) {
        progress.progressMessage(step++, kStepCount, kStepText, L"");
        (this->*read)();
    }
    return true;
}

#define MODEL_TABLE(reader, tableName, table, fields)                                   \
    bool CModelDBImpl::reader()                                                         \
    {                                                                                   \
        return document::walkModelTable(m_pReader->sectionIndex(), tableName, table, fields); \
    }

MODEL_TABLE(readProjectInfoTable, "ProjectInfoTable", m_pProjectInfo, kProjectInfoFields)
MODEL_TABLE(readUnitFlagTable, "UnitFlagTable", m_pUnitFlag, kUnitFlagFields)
MODEL_TABLE(readSectionTable, "SectionTable", m_pSection, kSectionFields)
MODEL_TABLE(readThicknessTable, "ThicknessTable", m_pThickness, kThicknessFields)
MODEL_TABLE(readOpeningTable, "OpeningTable", m_pOpening, kOpeningFields)
MODEL_TABLE(readDesignMaterialTable, "DesignMaterialTable", m_pDesignMaterial, kDesignMaterialFields)
MODEL_TABLE(readDesignCodeTable, "DesignCodeTable", m_pDesignCode, kDesignCodeFields)
MODEL_TABLE(readFloorTable, "FloorTable", m_pFloor, kFloorFields)
MODEL_TABLE(readNodeTable, "NodeTable", m_pNode, kNodeFields)
MODEL_TABLE(readAxisTable, "AxisTable", m_pAxis, kAxisFields)
MODEL_TABLE(readAxisGroupTable, "AxisGroupTable", m_pAxisGroup, kAxisGroupFields)
MODEL_TABLE(readElementTable, "ElementTable", m_pElement, kElementFields)
MODEL_TABLE(readBeamTable, "BeamTable", m_pBeam, kBeamFields)
MODEL_TABLE(readBeamGroupTable, "BeamGroupTable", m_pBeamGroup, kBeamGroupFields)
MODEL_TABLE(readColumnTable, "ColumnTable", m_pColumn, kColumnFields)
MODEL_TABLE(readBraceTable, "BraceTable", m_pBrace, kBraceFields)
MODEL_TABLE(readWallTable, "WallTable", m_pWall, kWallFields)
MODEL_TABLE(readWallLLTable, "WallLLTable", m_pWallLL, kWallLLFields)
MODEL_TABLE(readWallColumnTable, "WallColumnTable", m_pWallColumn, kWallColumnFields)
MODEL_TABLE(readSlabTable, "SlabTable", m_pSlab, kSlabFields)
MODEL_TABLE(readMemberEndRlsTable, "MemberEndRlsTable", m_pMemberEndRls, kMemberEndRlsFields)
MODEL_TABLE(readMdulTable, "MdulTable", m_pMdul, kMdulFields)
MODEL_TABLE(readPlanTable, "PlanTable", m_pPlan, kPlanFields)

#undef MODEL_TABLE

bool CModelDBImpl::readMatlData(const TiXmlHandle& holder, S_MatlData& data)
{
    readFields(holder, data, kMatlDataFields);
    return true;
}

bool CModelDBImpl::readMatlAnalysis(const TiXmlHandle& holder, S_MatlAnalysis& analysis)
{
    readFields(holder, analysis, kMatlAnalysisFields);
    return true;
}

bool CModelDBImpl::readSectShape(const TiXmlHandle& holder, S_SectShape& shape)
{
    readFields(holder, shape, kSectShapeFields);
    return true;
}

bool CModelDBImpl::readSectStiffness(const TiXmlHandle& holder, S_SectStiffness& stiffness)
{
    readFields(holder, stiffness, kSectStiffnessFields);
    return true;
}

bool CModelDBImpl::readSectDesign(const TiXmlHandle& holder, S_SectDesign& design)
{
    readFields(holder, design, kSectDesignFields);
    return true;
}

bool CModelDBImpl::readThickValue(const TiXmlHandle& holder, S_ThickValue& value)
{
    readFields(holder, value, kThickValueFields);
    return true;
}

bool CModelDBImpl::readSupport(const TiXmlHandle& entry, SS_Support& support)
{
    readFields(entry, support, kSupportFields);
    return true;
}

bool CModelDBImpl::readNodeKeyList(const TiXmlHandle& list, TableInterface<int, int>* keys)
{
    return readList(list, "S_Node_K", keys, Keys::Position, keyText, document::readInt);
}

bool CModelDBImpl::readElementKeyList(const TiXmlHandle& list, TableInterface<int, int>* keys)
{
    return readList(list, "S_Element_K", keys, Keys::Position, keyText, document::readInt);
}

bool CModelDBImpl::readBeamKeySet(const TiXmlHandle& list, TableInterface<int, int>* keys)
{
    return readList(list, "S_Beam_K", keys, Keys::Value, keyText, document::readInt);
}

bool CModelDBImpl::readElementKeySet(const TiXmlHandle& list, TableInterface<int, int>* keys)
{
    return readList(list, "S_Element_K", keys, Keys::Value, keyText, document::readInt);
}

bool CModelDBImpl::readRealList(const TiXmlHandle& list, TableInterface<int, double>* values)
{
    return readList(list, "double", values, Keys::Position, ownText, document::readReal);
}

bool CModelDBImpl::readSupportList(const TiXmlHandle& list, TableInterface<int, SS_Support>* supports)
{
    int position = 0;
    forEachEntry(list, "S_Support", [&](TiXmlElement* entry) {
        SS_Support support;
        readSupport(TiXmlHandle(entry), support);
        supports->AddData(position, support);
        ++position;
    });
    return true;
}
