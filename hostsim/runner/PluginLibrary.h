// The plug-in, loaded at run time by path, as the host loads it.
#pragma once

#include <string>

struct EventData;

class PluginLibrary {
public:
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary() { unload(); }
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool loaded() const { return m_dispatch != nullptr; }
    const std::string& error() const { return m_error; }
    int dispatch(EventData* event) const { return m_dispatch(event); }
    void unload();

private:
    void* m_handle = nullptr;
    int (*m_dispatch)(EventData*) = nullptr;
    std::string m_error;
};

// The plug-in built beside the hostsim executable.
std::string defaultPluginPath();
