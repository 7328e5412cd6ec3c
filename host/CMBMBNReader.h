// The host's reader base class; the plug-in supplies importFile.
#pragma once

#include "host/HostApi.h"

struct EventData;

class HOST_API CMBMBNReader {
public:
    CMBMBNReader();
    virtual ~CMBMBNReader();
    virtual bool setData(EventData* event);
    virtual bool importFile(const char* path) = 0;

    CMBMBNReader(const CMBMBNReader&) = delete;
    CMBMBNReader& operator=(const CMBMBNReader&) = delete;

protected:
    EventData* m_pEvent;
};
