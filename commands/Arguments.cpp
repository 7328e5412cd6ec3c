#include "commands/Arguments.h"

#include "commands/Console.h"

#include <cstdio>
#include <string>

namespace commands {

int parseArguments(CLI::App& app, int argc, char** argv, const char* tool)
{
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        // An option nobody knows is named first: it is most often why the
        // rest did not parse (a FILE reported missing, say).
        std::string unknown;
        for (const std::string& argument : app.remaining())
            if (argument.size() > 1 && argument[0] == '-')
                unknown += (unknown.empty() ? "" : ", ") + argument;
        if (!unknown.empty())
            print(stderr, "%s: unknown option %s (see '%s --help')\n", tool, unknown.c_str(), tool);
        else
            print(stderr, "%s: %s (see '%s --help')\n", tool, e.what(), tool);
        return 2;
    }
    return -1;
}

} // namespace commands
