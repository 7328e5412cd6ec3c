#include "hostsim/runner/PluginLibrary.h"

#include <filesystem>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#if defined(_WIN32)

PluginLibrary::PluginLibrary(const std::string& path)
{
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        m_error = "LoadLibrary failed with error " + std::to_string(GetLastError());
        return;
    }
    m_handle = module;
    m_dispatch = reinterpret_cast<int (*)(EventData*)>(reinterpret_cast<void*>(GetProcAddress(module, "EventDispatcher")));
    if (!m_dispatch) {
        m_error = "no EventDispatcher export";
        unload();
    }
}

void PluginLibrary::unload()
{
    if (m_handle)
        FreeLibrary(static_cast<HMODULE>(m_handle));
    m_handle = nullptr;
    m_dispatch = nullptr;
}

std::string defaultPluginPath()
{
    wchar_t exe[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    return (std::filesystem::path(std::wstring(exe, length)).parent_path() / PLUGIN_FILE_NAME).string();
}

#else

PluginLibrary::PluginLibrary(const std::string& path)
{
    m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        const char* message = dlerror();
        m_error = message ? message : "dlopen failed";
        return;
    }
    m_dispatch = reinterpret_cast<int (*)(EventData*)>(dlsym(m_handle, "EventDispatcher"));
    if (!m_dispatch) {
        m_error = "no EventDispatcher export";
        unload();
    }
}

void PluginLibrary::unload()
{
    if (m_handle)
        dlclose(m_handle);
    m_handle = nullptr;
    m_dispatch = nullptr;
}

std::string defaultPluginPath()
{
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return (exe.parent_path() / PLUGIN_FILE_NAME).string();
}

#endif
