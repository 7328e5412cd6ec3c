#include "hostsim/runner/PluginLibrary.h"

#include <filesystem>

#if defined(_WIN32)
#include <windows.h>

#include "text/Utf8.h"
#else
#include <dlfcn.h>
#endif

namespace {

// The path as given, made absolute against the current folder.
std::filesystem::path absolute(const std::string& path)
{
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(std::filesystem::path(path), error);
    return error ? std::filesystem::path(path) : full;
}

} // namespace

#if defined(_WIN32)

PluginLibrary::PluginLibrary(const std::string& path)
{
    // A full path, so that the system looks nowhere else.
    HMODULE module = LoadLibraryW(absolute(path).wstring().c_str());
    if (!module) {
        DWORD code = GetLastError();
        wchar_t* text = nullptr;
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        std::wstring reason = text ? text : L"";
        LocalFree(text);
        while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L'.'))
            reason.pop_back();
        m_error = platform::toUtf8(reason) + " (error " + std::to_string(code) + ")";
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
    // A path with a slash, so that the loader searches nowhere else.
    m_handle = dlopen(absolute(path).c_str(), RTLD_NOW | RTLD_LOCAL);
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
