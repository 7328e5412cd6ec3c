// What the plug-in needs of the operating system and the host's
// application framework. One source file per system implements it.
#pragma once

#include <string>

namespace platform {

using LibraryHandle = void*;

// Loads a library by file name with the system's ordinary search; null on failure.
LibraryHandle loadLibrary(const std::wstring& fileName);
// The address of an exported entry point, or null.
void* findSymbol(LibraryHandle library, const char* name);
void freeLibrary(LibraryHandle library);

// The framework's modal message box with an OK button.
void showMessageBox(const std::wstring& text);

} // namespace platform
