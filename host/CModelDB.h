// The host's model store: the 23 model tables, in import order.
#pragma once

#include "host/HostApi.h"
#include "host/ModelRecords.h"

struct EventData;
struct CModelDBData;

class HOST_API CModelDB {
public:
    CModelDB();
    virtual ~CModelDB();
#if defined(_MSC_VER) // Microsoft C++ ABI: virtual overloads take their slots in reverse order
    virtual bool setData(EventData* event);
    virtual bool setData(CModelDBData* data);
#else
    virtual bool setData(CModelDBData* data);
    virtual bool setData(EventData* event);
#endif

    CModelDB(const CModelDB&) = delete;
    CModelDB& operator=(const CModelDB&) = delete;

protected:
    TableInterface<int, building_modelDB::S_ProjectInfo_D>* m_pProjectInfo;
    TableInterface<int, building_modelDB::S_UnitFlag_D>* m_pUnitFlag;
    TableInterface<int, building_modelDB::S_Section_D>* m_pSection;
    TableInterface<int, building_modelDB::S_Thickness_D>* m_pThickness;
    TableInterface<int, building_modelDB::S_Opening_D>* m_pOpening;
    TableInterface<int, building_modelDB::S_DesignMaterial_D>* m_pDesignMaterial;
    TableInterface<int, building_modelDB::S_DesignCode_D>* m_pDesignCode;
    TableInterface<int, building_modelDB::S_Floor_D>* m_pFloor;
    TableInterface<int, building_modelDB::S_Node_D>* m_pNode;
    TableInterface<int, building_modelDB::S_Axis_D>* m_pAxis;
    TableInterface<int, building_modelDB::S_AxisGroup_D>* m_pAxisGroup;
    TableInterface<int, building_modelDB::S_Element_D>* m_pElement;
    TableInterface<int, building_modelDB::S_Beam_D>* m_pBeam;
    TableInterface<int, building_modelDB::S_BeamGroup_D>* m_pBeamGroup;
    TableInterface<int, building_modelDB::S_Column_D>* m_pColumn;
    TableInterface<int, building_modelDB::S_Brace_D>* m_pBrace;
    TableInterface<int, building_modelDB::S_Wall_D>* m_pWall;
    TableInterface<int, building_modelDB::S_WallLL_D>* m_pWallLL;
    TableInterface<int, building_modelDB::S_WallColumn_D>* m_pWallColumn;
    TableInterface<int, building_modelDB::S_Slab_D>* m_pSlab;
    TableInterface<int, building_modelDB::S_MemberEndRls_D>* m_pMemberEndRls;
    TableInterface<int, building_modelDB::S_Mdul_D>* m_pMdul;
    TableInterface<int, building_modelDB::S_Plan_D>* m_pPlan;
};
