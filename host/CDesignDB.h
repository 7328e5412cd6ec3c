// The host's design store. The fifth table is the host's own and is never
// filled by an importer.
#pragma once

#include "host/DesignRecords.h"
#include "host/HostApi.h"

struct EventData;
struct CDesignDBData;

class HOST_API CDesignDB {
public:
    CDesignDB();
    virtual ~CDesignDB();
#if defined(_MSC_VER) // Microsoft C++ ABI: virtual overloads take their slots in reverse order
    virtual bool setData(EventData* event);
    virtual bool setData(CDesignDBData* data);
#else
    virtual bool setData(CDesignDBData* data);
    virtual bool setData(EventData* event);
#endif

    CDesignDB(const CDesignDB&) = delete;
    CDesignDB& operator=(const CDesignDB&) = delete;

protected:
    TableInterface<int, building_designDB::S_RcDgnGlobal_D>* m_pRcDgnGlobal;
    TableInterface<int, building_designDB::S_RcDesignBeam_D>* m_pRcDesignBeam;
    TableInterface<int, building_designDB::S_RcDesignColumn_D>* m_pRcDesignColumn;
    TableInterface<int, building_designDB::S_RcDesignWall_D>* m_pRcDesignWall;
    TableInterface<int, building_designDB::S_RcDesignWall_D>* m_pRcDesignWallReserved;
    TableInterface<int, building_designDB::S_RcDesignWallLL_D>* m_pRcDesignWallLL;
    TableInterface<int, building_designDB::S_RcDesignWallColumn_D>* m_pRcDesignWallColumn;
    TableInterface<int, building_designDB::S_RcDesignSlab_D>* m_pRcDesignSlab;
};
