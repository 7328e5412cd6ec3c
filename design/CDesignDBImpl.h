// The design importer: the design registry's 7 tables around progress
// steps 24 to 31. Each row is read as a chain of fields that stops at the
// first missing element; only a complete row is stored.
#pragma once

#include "document/TableWalk.h"
#include "host/CDesignDB.h"
#include "schema/DesignSchema.h"
#include "section/SectionImporter.h"

class CDesignDBImpl : public SectionImporter<CDesignDB, document::DesignRows, building_designDB::fields::kTables> {
public:
    using SectionImporter::SectionImporter;
    ~CDesignDBImpl() override;
};
