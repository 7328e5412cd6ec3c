// modelgen: writes a generated building model in the dictionary format.
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "commands/Arguments.h"
#include "commands/Console.h"
#include "commands/OutputFile.h"
#include "commands/OutputTarget.h"
#include "tools/modelgen/ModelWriter.h"
#include "tools/modelgen/SizeOption.h"

namespace {

// Seeds are whole numbers from 0 to 2^64-1, checked on the text: the
// conversion to an unsigned number would wrap "-1" and saturate what is
// too big.
const CLI::Validator kSeed(
    [](std::string& text) -> std::string {
        std::uint64_t value = 0;
        const char* end = text.data() + text.size();
        auto [stop, error] = std::from_chars(text.data(), end, value);
        if (error == std::errc() && stop == end)
            return "";
        return "takes a whole number from 0 to 18446744073709551615, not '" + text + "'";
    },
    "");

int run(int argc, char** argv);

} // namespace

int main(int argc, char** argv)
{
    return commands::guarded("modelgen", 1, [&] { return run(argc, argv); });
}

namespace {

// The command line: the building's shape, or the size to fit it to, and
// the file to write.
struct Arguments {
    modelgen::BuildingShape shape;
    std::string output;
    double size = 0;
    bool sized = false; // --size was given
};

// Reads the command line into `args`: -1 to go on, else the exit status
// (--help, --version, or a bad or left-over argument, said on standard
// error).
int readOptions(int argc, char** argv, Arguments& args)
{
    CLI::App app{"Writes a generated building model (model tables and design results) in the dictionary "
                 "format. The same options and seed always give the same file.",
                 "modelgen"};
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string("modelgen ") + DICTIMPORT_VERSION);
    // Left-over arguments are refused below, named in the order given
    // (CLI11's own message lists them in reverse).
    app.allow_extras();
    app.option_defaults()->always_capture_default();
    app.footer("Exit status: 0 when the file is written; 2 for bad arguments, an --output that cannot be written "
               "or exists and is not a model modelgen wrote (nothing is written then), or a write that failed "
               "part-way (an earlier file of that name is left as it was); 1 when it ran out of memory.");
    modelgen::BuildingShape& shape = args.shape;
    app.add_option("-o,--output", args.output, "File to write ('-' for standard output)")->required();
    app.add_option("--storeys", shape.storeys, "Number of storeys")->check(CLI::Range(1, modelgen::kMaxStoreys));
    app.add_option("--bays-x", shape.baysX, "Bays along x")->check(CLI::Range(1, 10000));
    app.add_option("--bays-y", shape.baysY, "Bays along y")->check(CLI::Range(1, 10000));
    app.add_option("--seed", shape.seed, "Seed of the generated values")->check(kSeed);
    CLI::Option* sizeOption =
        app.add_option("--size", args.size,
                       "Approximate file size in bytes, with an optional unit K, M or G (powers of 1000, either "
                       "case), e.g. 250K, 10M, 1g; sets the number of storeys")
            ->transform(modelgen::sizeInBytes())
            ->type_name("SIZE")
            ->default_str("") // none: the storeys' default applies
            ->excludes("--storeys");
    if (int status = commands::parseArguments(app, argc, argv, "modelgen"); status >= 0)
        return status;
    if (std::vector<std::string> extras = app.remaining(); !extras.empty()) {
        std::string line = std::string("modelgen: unexpected argument") + (extras.size() == 1 ? "" : "s") + ":";
        for (const std::string& extra : extras)
            line += " " + extra;
        commands::put(stderr, line + " (see 'modelgen --help')\n");
        return 2;
    }
    args.sized = static_cast<bool>(*sizeOption);
    return -1;
}

// Whether the output may be written; false after saying why not. Only a
// model modelgen wrote is replaced: a real model of the same name is not
// lost to a generated one.
bool checkTarget(const std::string& output)
{
    if (output == "-")
        return true;
    std::string refusal = commands::refusedTarget(
        "modelgen", output, {},
        commands::OutputKind{"--output", "model", {std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>") +
                                                    modelgen::kModelFormat},
                             std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>") + modelgen::kModelFormat});
    if (!refusal.empty()) {
        commands::put(stderr, refusal);
        return false;
    }
    return commands::writableTarget("modelgen", output);
}

// Writes the model of `shape` to `output` ('-' for standard output), whole
// or not at all: an earlier file stays as it was unless the new one is
// complete. The bytes written, or -1 after saying why that failed.
long long writeFile(const modelgen::BuildingShape& shape, const std::string& output)
{
    commands::OutputFile file(output);
    if (output != "-" && !file.open()) {
        commands::print(stderr, "modelgen: cannot write %s: %s\n", output.c_str(), file.error().c_str());
        return -1;
    }
    std::FILE* out = output == "-" ? stdout : file.stream();
    std::setvbuf(out, nullptr, _IOFBF, 1 << 20);
    long long bytes = modelgen::writeModel(shape, out);
    if (bytes < 0 || (out == stdout && std::fflush(out) != 0)) {
        commands::print(stderr, "modelgen: writing %s failed: %s\n", output.c_str(), std::strerror(errno));
        return -1;
    }
    if (out != stdout && !file.commit()) {
        commands::print(stderr, "modelgen: writing %s failed: %s\n", output.c_str(), file.error().c_str());
        return -1;
    }
    return bytes;
}

// Tells on standard error what was written, and how far it is from the
// size asked for when that could not be met.
void tellWritten(const modelgen::SizeFit& fit, const modelgen::BuildingShape& shape, long long bytes)
{
    if (!fit.met)
        commands::put(stderr, "modelgen: note: " + modelgen::unmetSizeNote(fit, bytes, "wrote") + "\n");
    commands::put(stderr, "modelgen: " + modelgen::count(shape.storeys, "storey", "storeys") + ", " +
                              modelgen::grid(shape) + ", " + modelgen::count(bytes, "byte", "bytes") + "\n");
}

int run(int argc, char** argv)
{
    Arguments args;
    if (int status = readOptions(argc, argv, args); status >= 0)
        return status;
    if (!checkTarget(args.output))
        return 2;
    modelgen::SizeFit fit{args.shape, 0, true};
    if (args.sized) {
        fit = modelgen::fitSize(args.shape, args.size);
        args.shape = fit.shape;
    }
    long long bytes = writeFile(args.shape, args.output);
    if (bytes < 0)
        return 2;
    tellWritten(fit, args.shape, bytes);
    return 0;
}

} // namespace
