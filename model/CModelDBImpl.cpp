#include "model/CModelDBImpl.h"

// The importer's one out-of-line member, which places its vtable here.
CModelDBImpl::~CModelDBImpl() = default;
