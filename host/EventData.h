// The event the host hands to the plug-in's EventDispatcher.
#pragma once

#include <string>

struct EventData {
    void* m_pSender = nullptr; // pointer-sized; the plug-in never reads it
    std::string m_strPath;     // the file to import
};
