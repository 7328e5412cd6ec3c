// Built on demand by two tests: as it stands it must compile; with
// WRONG_TABLE it pairs the node field list with the beam table, which the
// registry must refuse at compile time.
#include "schema/ModelSchema.h"

namespace building_modelDB::fields {

struct ProbeTables : CModelDB {
    static constexpr auto registry()
    {
#ifdef WRONG_TABLE
        return tableRegistry(tableEntry("NodeTable", kNode, &ProbeTables::m_pBeam, "Node"));
#else
        return tableRegistry(tableEntry("NodeTable", kNode, &ProbeTables::m_pNode, "Node"));
#endif
    }
};
constexpr auto kProbe = ProbeTables::registry();
static_assert(schema::tableCount(kProbe) == 1);

} // namespace building_modelDB::fields
