// A file that is written whole or not at all. The bytes go to a new
// temporary file in the target's folder, which replaces the target only
// once everything was written, flushed and synced; on any failure, or
// when the object is dropped before commit(), the temporary file is
// removed and the target is as it was. A target that exists and is not a
// regular file (a device, a pipe) cannot be replaced: it is written in
// place.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace commands {

class OutputFile {
public:
    // `target` as the user gave it; a symbolic link is followed, so that
    // the file it names is replaced and the link stays.
    explicit OutputFile(const std::string& target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file; false when it cannot be, error() then
    // says why.
    bool open();
    std::FILE* stream() const { return m_stream; }
    // Puts the written file in the target's place; false when writing,
    // flushing or replacing failed, error() then says why.
    bool commit();

    const std::string& error() const { return m_error; }

private:
    void discard();

    std::string m_target; // the file to replace, links followed
    std::string m_temporary; // empty when writing in place
    std::FILE* m_stream = nullptr;
    std::string m_error;
};

// Writes `bytes` to `target` through an OutputFile. False when it cannot,
// with `error` saying so ("cannot write PATH: reason" or "writing PATH
// failed: reason").
bool writeWhole(const std::string& target, std::string_view bytes, std::string& error);

// Flushes standard output and tells whether all that was written to it
// got out; when not, says so on standard error with the system's reason
// ("TOOL: writing standard output failed: No space left on device").
bool standardOutputWritten(const char* tool);

// What the system does for OutputFile, one source file per system.
namespace filesystem {
// A new file at `path`, created for writing only if nothing is there yet;
// null with errno set otherwise.
std::FILE* createNew(const char* path);
// Hands what was written to the storage device; false with errno set.
bool syncToDisk(std::FILE* file);
// Gives the new file the permissions of the one it will replace, if any.
void keepPermissions(const char* existing, std::FILE* replacement);
// Renames `from` over `to`, replacing it in one step; false with errno set.
bool replace(const char* from, const char* to);
// Whether the process may open the existing `path` for writing, asked of
// the system without opening it (opening a pipe and closing it again
// would end its reader's input); false with errno set.
bool mayWrite(const char* path);
// Whether the stream is a terminal (a console on Windows).
bool isTerminal(std::FILE* stream);
} // namespace filesystem

} // namespace commands
