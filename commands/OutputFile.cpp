#include "commands/OutputFile.h"

#include "commands/Console.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <random>
#include <system_error>

namespace commands {

namespace fs = std::filesystem;

OutputFile::OutputFile(const std::string& target) : m_target(target)
{
    std::error_code error;
    if (fs::is_symlink(target, error)) {
        fs::path resolved = fs::weakly_canonical(target, error);
        if (!error)
            m_target = resolved.string();
    }
}

OutputFile::~OutputFile()
{
    discard();
}

bool OutputFile::open()
{
    std::error_code error;
    fs::file_status status = fs::status(m_target, error);
    if (fs::is_directory(status)) {
        m_error = std::strerror(EISDIR);
        return false;
    }
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        errno = 0;
        if ((m_stream = std::fopen(m_target.c_str(), "wb")))
            return true;
        m_error = std::strerror(errno);
        return false;
    }
    // Beside the target, so that the rename never crosses file systems;
    // a random part, so that two runs never take the same name.
    std::random_device entropy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(entropy()));
        std::string name = m_target + suffix;
        errno = 0;
        if ((m_stream = filesystem::createNew(name.c_str()))) {
            m_temporary = name;
            filesystem::keepPermissions(m_target.c_str(), m_stream);
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    m_error = std::strerror(errno);
    return false;
}

bool OutputFile::commit()
{
    if (!m_stream) {
        m_error = "not open";
        return false;
    }
    errno = 0;
    bool inPlace = m_temporary.empty();
    bool written = !std::ferror(m_stream) && std::fflush(m_stream) == 0 && (inPlace || filesystem::syncToDisk(m_stream));
    int error = errno;
    std::FILE* stream = m_stream;
    m_stream = nullptr;
    if (std::fclose(stream) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && !inPlace && !filesystem::replace(m_temporary.c_str(), m_target.c_str())) {
        written = false;
        error = errno;
    }
    if (!written) {
        m_error = std::strerror(error != 0 ? error : EIO);
        discard();
        return false;
    }
    m_temporary.clear();
    return true;
}

void OutputFile::discard()
{
    if (m_stream) {
        std::fclose(m_stream);
        m_stream = nullptr;
    }
    if (!m_temporary.empty()) {
        std::remove(m_temporary.c_str());
        m_temporary.clear();
    }
}

bool writeWhole(const std::string& target, std::string_view bytes, std::string& error)
{
    OutputFile file(target);
    if (!file.open()) {
        error = "cannot write " + target + ": " + file.error();
        return false;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.stream()) != bytes.size()) {
        error = "writing " + target + " failed: " + std::strerror(errno);
        return false;
    }
    if (!file.commit()) {
        error = "writing " + target + " failed: " + file.error();
        return false;
    }
    return true;
}

bool standardOutputWritten(const char* tool)
{
    // The first failure's reason: a later call may fail otherwise. A write
    // that failed earlier left its reason in errno, unless something has
    // failed since.
    int earlier = std::ferror(stdout) ? errno : 0;
    errno = 0;
    bool written = static_cast<bool>(std::cout.flush());
    int error = errno;
    written = std::fflush(stdout) == 0 && written;
    if (error == 0)
        error = errno;
    if (written && !std::ferror(stdout))
        return true;
    if (error == 0)
        error = earlier != 0 ? earlier : EIO;
    print(stderr, "%s: writing standard output failed: %s\n", tool, std::strerror(error));
    return false;
}

} // namespace commands
