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

// The framework's modal message box with an OK button; an error shows the
// error icon.
enum class MessageKind { Notice, Error };
void showMessageBox(const std::wstring& text, MessageKind kind = MessageKind::Notice);

// A narrow path as the user reads it: in the system code page on Windows,
// UTF-8 elsewhere (a byte that is not UTF-8 shows as U+FFFD).
std::wstring pathText(const char* path);

} // namespace platform
