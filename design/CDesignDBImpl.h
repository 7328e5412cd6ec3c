// The design importer: 7 table readers around progress steps 24 to 31.
// Each row is read as a chain of fields that stops at the first missing
// element; only a complete row is stored.
#pragma once

#include <tinyxml.h>

#include "document/FieldList.h"
#include "document/ImportObserver.h"
#include "document/SectionIndex.h"
#include "host/CDesignDB.h"

class CMBMBNReaderImpl;

class CDesignDBImpl : public CDesignDB {
public:
    // The readers find their tables in the reader's section index and tell
    // the observer, when there is one, what they read.
    CDesignDBImpl(CMBMBNReaderImpl* reader, document::SectionIndex& sections,
                  document::ImportObserver* observer = nullptr);
    ~CDesignDBImpl() override;

    // Steps 24 to 31 of 31; always true.
    bool importDesignDB();

    // Table readers: false when the table or its first row is missing.
    bool readRcDgnGlobalTable();
    bool readBeamDesignTable();
    bool readColumnDesignTable();
    bool readWallDesignTable();
    bool readWallLLDesignTable();
    bool readWallColumnDesignTable();
    bool readSlabDesignTable();

    // Sub-record readers on their own: true when every field's element was
    // found.
    static bool readBarGroup(const TiXmlHandle& holder, building_designDB::S_RcBarGroup& group);
    static bool readBarLayout(const TiXmlHandle& holder, building_designDB::S_RcBarLayout& layout);
    static bool readStirrupSet(const TiXmlHandle& holder, building_designDB::S_RcStirrupSet& stirrups);
    static bool readForceSet(const TiXmlHandle& holder, building_designDB::S_RcForceSet& forces, bool withT);
    static bool readBeamSectionDesign(const TiXmlHandle& holder, building_designDB::S_RcBeamSectionDesign& section);
    // Positions 0, 1, ... from the "double" children on; always true.
    static bool readValueList(const TiXmlHandle& holder, TableInterface<int, double>* values);

private:
    template <class R, class List>
    bool readTable(const document::TableFields<List>& fields, TableInterface<int, R>* table);

    CMBMBNReaderImpl* m_pReader;
    document::SectionIndex& m_sections;
    document::ImportObserver* m_pObserver;
};
