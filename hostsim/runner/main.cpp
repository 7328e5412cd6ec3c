// hostsim plays the host application: it loads the import plug-in, sends
// it one event per file, unloads it, then shows and dumps the store.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "host/EventData.h"
#include "hostsim/runner/PluginLibrary.h"
#include "hostsim/store/Store.h"

namespace fs = std::filesystem;

namespace {

// Whether the host could read the file itself: an existing regular file
// that opens for reading.
bool readable(const std::string& path)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return false;
    std::ifstream file(path, std::ios::binary);
    return file.good();
}

void printSummary(std::FILE* out, std::size_t files, std::size_t unreadable)
{
    std::fprintf(out, "Imported %zu file(s)", files);
    if (unreadable)
        std::fprintf(out, ", %zu of them unreadable", unreadable);
    std::fprintf(out, ".\n");
    long long totals[2] = {0, 0};
    std::string section;
    for (const auto& count : hoststore::countRecords()) {
        if (count.section != section) {
            section = count.section;
            std::fprintf(out, "%s tables:\n", section.c_str());
        }
        std::fprintf(out, "  %-20s %10lld\n", count.table.c_str(), count.records);
        totals[section == "model" ? 0 : 1] += count.records;
    }
    std::fprintf(out, "Records: %lld model, %lld design, %lld in all.\n", totals[0], totals[1],
                 totals[0] + totals[1]);
}

bool writeDump(const std::string& path)
{
    if (path == "-")
        return hoststore::writeJson(stdout);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::cerr << "hostsim: cannot write " << path << "\n";
        return false;
    }
    bool written = hoststore::writeJson(file);
    written = (std::fclose(file) == 0) && written;
    if (!written)
        std::cerr << "hostsim: writing " << path << " failed\n";
    return written;
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Plays the host application: loads the import plug-in, sends it one event per FILE "
                 "(in order, in one process), unloads it, prints how many records each table of the "
                 "store holds and, with --json, writes the store as JSON.\n"
                 "Exit status: 0 when every file was readable, 1 when any was not, 2 on bad arguments.",
                 "hostsim"};
    // Paths may start with '/', also on Windows: no "/option" spellings.
    app.allow_windows_style_options(false);
    std::string jsonPath;
    std::string pluginPath;
    std::vector<std::string> files;
    app.add_option("--json", jsonPath, "Write the store as JSON to PATH ('-' for standard output)")
        ->option_text("PATH");
    app.add_option("--plugin", pluginPath, "The plug-in library (default: the one built beside hostsim)")
        ->option_text("PATH");
    app.add_option("FILE", files, "Dictionary files to import")->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return 2;
    }

    if (pluginPath.empty())
        pluginPath = defaultPluginPath();
    PluginLibrary plugin(pluginPath);
    if (!plugin.loaded()) {
        std::cerr << "hostsim: cannot load the plug-in " << pluginPath << ": " << plugin.error() << "\n";
        return 2;
    }

    std::size_t unreadable = 0;
    for (const std::string& file : files) {
        if (!readable(file)) {
            std::cerr << "hostsim: warning: cannot read " << file << "\n";
            ++unreadable;
        }
        EventData event;
        event.m_strPath = file; // sent as given, readable or not
        plugin.dispatch(&event);
    }
    plugin.unload();

    bool jsonToStdout = jsonPath == "-";
    printSummary(jsonToStdout ? stderr : stdout, files.size(), unreadable);
    if (!jsonPath.empty() && !writeDump(jsonPath))
        return 1;
    return unreadable ? 1 : 0;
}
