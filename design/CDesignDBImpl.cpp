#include "design/CDesignDBImpl.h"

// The importer's one out-of-line member, which places its vtable here.
CDesignDBImpl::~CDesignDBImpl() = default;
