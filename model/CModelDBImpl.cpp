#include "model/CModelDBImpl.h"

#include "document/TableWalk.h"
#include "model/ModelFields.h"
#include "progress/ImportSteps.h"

using namespace building_modelDB;
using document::ModelRows;
using document::readEach;
using document::textOf;
using namespace building_modelDB::fields;

namespace {

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
    document::forEachEntry(list, first, [&](TiXmlElement* entry) {
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

CModelDBImpl::CModelDBImpl(CMBMBNReaderImpl* reader, document::SectionIndex& sections)
    : m_pReader(reader), m_sections(sections)
{
}

CModelDBImpl::~CModelDBImpl() = default;

bool CModelDBImpl::importModelDB()
{
    // One step per table, in this order; each step's message goes out
    // before its reader runs.
    static constexpr bool (CModelDBImpl::*kReaders[])() = {
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
    static_assert(std::size(kReaders) == importsteps::kModelSteps);
    importsteps::announceRange();
    int step = importsteps::kFirstModelStep;
    for (auto read : kReaders) {
        importsteps::announceStep(step++);
        (this->*read)();
    }
    return true;
}

template <class R, class List>
bool CModelDBImpl::readTable(const char* name, TableInterface<int, R>* table, const List& fields)
{
    return document::walkTable<ModelRows>(m_sections, name, table, fields);
}

// clang-format off
bool CModelDBImpl::readProjectInfoTable() { return readTable("ProjectInfoTable", m_pProjectInfo, kProjectInfo); }
bool CModelDBImpl::readUnitFlagTable() { return readTable("UnitFlagTable", m_pUnitFlag, kUnitFlag); }
bool CModelDBImpl::readSectionTable() { return readTable("SectionTable", m_pSection, kSection); }
bool CModelDBImpl::readThicknessTable() { return readTable("ThicknessTable", m_pThickness, kThickness); }
bool CModelDBImpl::readOpeningTable() { return readTable("OpeningTable", m_pOpening, kOpening); }
bool CModelDBImpl::readDesignMaterialTable() { return readTable("DesignMaterialTable", m_pDesignMaterial, kDesignMaterial); }
bool CModelDBImpl::readDesignCodeTable() { return readTable("DesignCodeTable", m_pDesignCode, kDesignCode); }
bool CModelDBImpl::readFloorTable() { return readTable("FloorTable", m_pFloor, kFloor); }
bool CModelDBImpl::readNodeTable() { return readTable("NodeTable", m_pNode, kNode); }
bool CModelDBImpl::readAxisTable() { return readTable("AxisTable", m_pAxis, kAxis); }
bool CModelDBImpl::readAxisGroupTable() { return readTable("AxisGroupTable", m_pAxisGroup, kAxisGroup); }
bool CModelDBImpl::readElementTable() { return readTable("ElementTable", m_pElement, kElement); }
bool CModelDBImpl::readBeamTable() { return readTable("BeamTable", m_pBeam, kBeam); }
bool CModelDBImpl::readBeamGroupTable() { return readTable("BeamGroupTable", m_pBeamGroup, kBeamGroup); }
bool CModelDBImpl::readColumnTable() { return readTable("ColumnTable", m_pColumn, kColumn); }
bool CModelDBImpl::readBraceTable() { return readTable("BraceTable", m_pBrace, kBrace); }
bool CModelDBImpl::readWallTable() { return readTable("WallTable", m_pWall, kWall); }
bool CModelDBImpl::readWallLLTable() { return readTable("WallLLTable", m_pWallLL, kWallLL); }
bool CModelDBImpl::readWallColumnTable() { return readTable("WallColumnTable", m_pWallColumn, kWallColumn); }
bool CModelDBImpl::readSlabTable() { return readTable("SlabTable", m_pSlab, kSlab); }
bool CModelDBImpl::readMemberEndRlsTable() { return readTable("MemberEndRlsTable", m_pMemberEndRls, kMemberEndRls); }
bool CModelDBImpl::readMdulTable() { return readTable("MdulTable", m_pMdul, kMdul); }
bool CModelDBImpl::readPlanTable() { return readTable("PlanTable", m_pPlan, kPlan); }

bool CModelDBImpl::readMatlData(const TiXmlHandle& h, S_MatlData& r) { return readEach<ModelRows>(h, r, kMatlData); }
bool CModelDBImpl::readMatlAnalysis(const TiXmlHandle& h, S_MatlAnalysis& r) { return readEach<ModelRows>(h, r, kMatlAnalysis); }
bool CModelDBImpl::readSectShape(const TiXmlHandle& h, S_SectShape& r) { return readEach<ModelRows>(h, r, kSectShape); }
bool CModelDBImpl::readSectStiffness(const TiXmlHandle& h, S_SectStiffness& r) { return readEach<ModelRows>(h, r, kSectStiffness); }
bool CModelDBImpl::readSectDesign(const TiXmlHandle& h, S_SectDesign& r) { return readEach<ModelRows>(h, r, kSectDesign); }
bool CModelDBImpl::readThickValue(const TiXmlHandle& h, S_ThickValue& r) { return readEach<ModelRows>(h, r, kThickValue); }
bool CModelDBImpl::readSupport(const TiXmlHandle& h, SS_Support& r) { return readEach<ModelRows>(h, r, kSupport); }
// clang-format on

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
    document::forEachEntry(list, "S_Support", [&](TiXmlElement* entry) {
        SS_Support support;
        readSupport(TiXmlHandle(entry), support);
        supports->AddData(position, support);
        ++position;
    });
    return true;
}
