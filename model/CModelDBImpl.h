// The model importer: the model registry's 23 tables, one progress step
// each, every field of a row read on its own.
#pragma once

#include "document/TableWalk.h"
#include "host/CModelDB.h"
#include "schema/ModelSchema.h"
#include "section/SectionImporter.h"

class CModelDBImpl : public SectionImporter<CModelDB, document::ModelRows, building_modelDB::fields::kTables> {
public:
    using SectionImporter::SectionImporter;
    ~CModelDBImpl() override;
};
