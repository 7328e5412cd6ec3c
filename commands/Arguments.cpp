#include "commands/Arguments.h"

#include <cstdio>

namespace commands {

int parseArguments(CLI::App& app, int argc, char** argv, const char* tool)
{
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "%s: %s (see '%s --help')\n", tool, e.what(), tool);
        return 2;
    }
    return -1;
}

} // namespace commands
