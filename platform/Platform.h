// What the plug-in needs of the operating system and the host's
// application framework. One source file per system implements it.
#pragma once

#include <cstdio>
#include <string>

namespace platform {

using LibraryHandle = void*;

// Loads a library by file name with the system's ordinary search; null on failure.
LibraryHandle loadLibrary(const std::wstring& fileName);
// The address of an exported entry point, or null.
void* findSymbol(LibraryHandle library, const char* name);
void freeLibrary(LibraryHandle library);

// The framework's modal message box with an OK button; an error shows the
// error icon, a warning the warning icon.
enum class MessageKind { Notice, Warning, Error };
void showMessageBox(const std::wstring& text, MessageKind kind = MessageKind::Notice);

// What a path names, as far as reading it whole goes.
enum class FileKind { Regular, Pipe, Directory, Device, Other };

// A file opened to be read whole, or why it was not.
struct InputFile {
    std::FILE* file = nullptr; // to be closed by the caller
    FileKind kind = FileKind::Other;
    int error = 0;             // errno, when the path could not be looked at or opened
};

// Opens `path` (narrow, as the system takes it) for reading raw bytes, but
// only when it names a regular file or a pipe: a directory, a device or a
// socket is not opened at all, so that nothing reads without end or waits
// for input. A pipe with nobody writing to it opens at once and reads as
// empty.
InputFile openForReading(const char* path);

// A narrow path as the user reads it: in the system code page on Windows,
// UTF-8 elsewhere (a byte that is not UTF-8 shows as U+FFFD).
std::wstring pathText(const char* path);

} // namespace platform
