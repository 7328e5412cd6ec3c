// The host's key-list types: keyed collections held by pointer inside
// model records. Their storage comes from whoever creates them.
#pragma once

#include "host/TableInterface.h"

namespace building_modelDB {

struct SPNodeKeyList : TableInterface<int, int> {};
struct SBeamList : TableInterface<int, int> {};
struct SWallEleKeys : TableInterface<int, int> {};
struct SLcs : TableInterface<int, double> {};
struct SLss : TableInterface<int, double> {};

} // namespace building_modelDB
