// The model importer: 23 table readers run in a fixed order, each step
// announced to the progress display.
#pragma once

#include <tinyxml.h>

#include "document/FieldList.h"
#include "document/ImportObserver.h"
#include "document/SectionIndex.h"
#include "host/CModelDB.h"

class CMBMBNReaderImpl;

class CModelDBImpl : public CModelDB {
public:
    // The readers find their tables in the reader's section index and tell
    // the observer, when there is one, what they read.
    CModelDBImpl(CMBMBNReaderImpl* reader, document::SectionIndex& sections,
                 document::ImportObserver* observer = nullptr);
    ~CModelDBImpl() override;

    // Steps 1 to 23 of 31; always true.
    bool importModelDB();

    // Table readers: false when the table or its first row is missing.
    bool readProjectInfoTable();
    bool readUnitFlagTable();
    bool readSectionTable();
    bool readThicknessTable();
    bool readOpeningTable();
    bool readDesignMaterialTable();
    bool readDesignCodeTable();
    bool readFloorTable();
    bool readNodeTable();
    bool readAxisTable();
    bool readAxisGroupTable();
    bool readElementTable();
    bool readBeamTable();
    bool readBeamGroupTable();
    bool readColumnTable();
    bool readBraceTable();
    bool readWallTable();
    bool readWallLLTable();
    bool readWallColumnTable();
    bool readSlabTable();
    bool readMemberEndRlsTable();
    bool readMdulTable();
    bool readPlanTable();

    // Sub-record readers on their own; each always succeeds, and a missing
    // element leaves the sub-record as constructed.
    static bool readMatlData(const TiXmlHandle& holder, building_modelDB::S_MatlData& data);
    static bool readMatlAnalysis(const TiXmlHandle& holder, building_modelDB::S_MatlAnalysis& analysis);
    static bool readSectShape(const TiXmlHandle& holder, building_modelDB::S_SectShape& shape);
    static bool readSectStiffness(const TiXmlHandle& holder, building_modelDB::S_SectStiffness& stiffness);
    static bool readSectDesign(const TiXmlHandle& holder, building_modelDB::S_SectDesign& design);
    static bool readThickValue(const TiXmlHandle& holder, building_modelDB::S_ThickValue& value);

    // List readers: entries added through AddData; always true. An entry
    // without value text repeats the value before it (0 for the first).
    static bool readNodeKeyList(const TiXmlHandle& list, TableInterface<int, int>* keys);
    static bool readElementKeyList(const TiXmlHandle& list, TableInterface<int, int>* keys);
    static bool readBeamKeySet(const TiXmlHandle& list, TableInterface<int, int>* keys);
    static bool readElementKeySet(const TiXmlHandle& list, TableInterface<int, int>* keys);
    static bool readRealList(const TiXmlHandle& list, TableInterface<int, double>* values);
    static bool readSupportList(const TiXmlHandle& list, TableInterface<int, building_modelDB::SS_Support>* supports);
    static bool readSupport(const TiXmlHandle& entry, building_modelDB::SS_Support& support);

private:
    template <class R, class List>
    bool readTable(const document::TableFields<List>& fields, TableInterface<int, R>* table);

    CMBMBNReaderImpl* m_pReader;
    document::SectionIndex& m_sections;
    document::ImportObserver* m_pObserver;
};
