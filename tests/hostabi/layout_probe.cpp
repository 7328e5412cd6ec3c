// Compiled, never linked, by host_abi_test under each C++ ABI with clang's
// vtable layout dump. Every function below makes the compiler lay out the
// vtable of one class the host and the plug-in call each other through.
// The static_asserts of the included headers (sProgressBar's offsets, the
// key-list sizes) run in each of these compiles too.
#include "design/CDesignDBImpl.h"
#include "host/CDesignDB.h"
#include "host/CMBMBNReader.h"
#include "host/CModelDB.h"
#include "host/KeyLists.h"
#include "host/ProgressRecords.h"
#include "keylists/KeyListImpls.h"
#include "model/CModelDBImpl.h"
#include "plugin/CMBMBNReaderImpl.h"
#include "progress/TolvProcessDisplayServerWarper.h"

// sProgressBar's offsets are asserted for 64-bit targets, which these are.
static_assert(sizeof(void*) == 8, "the layout checks need a 64-bit target");

using namespace building_modelDB;

template <class Table>
int callThrough(Table* table)
{
    return table->GetSize();
}

template int callThrough(TableInterface<int, int>*);
template int callThrough(TableInterface<int, double>*);
template int callThrough(TableInterface<int, S_Node_D>*);
template int callThrough(TCopyPolicy<int, int>*);
template int callThrough(TCopyPolicy<int, double>*);

void destroy(CMBMBNReader* p) { delete p; }
void destroy(CModelDB* p) { delete p; }
void destroy(CDesignDB* p) { delete p; }
void destroy(CMBMBNReaderImpl* p) { delete p; }
void destroy(CModelDBImpl* p) { delete p; }
void destroy(CDesignDBImpl* p) { delete p; }
void destroy(TolvProcessDisplayServerWarper* p) { delete p; }
void destroy(CObject* p) { delete p; }

void construct()
{
    TCopyPolicyImplMap<int, int> intPolicy;
    TCopyPolicyImplMap<int, double> realPolicy;
    SPNodeKeyListImpl nodes;
    SBeamListImpl beams;
    SWallEleKeysImpl wallElements;
    SLcsImpl lcs;
    SLssImpl lss;
    sProgressBar bar(1000);
}
