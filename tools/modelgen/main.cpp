// modelgen: writes a generated building model in the dictionary format.
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/modelgen/ModelWriter.h"

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

// Sizes: a number with an optional unit in either case, turned into bytes
// by CLI11's unit converter; they must come to at least one byte.
CLI::Validator sizeInBytes()
{
    CLI::AsNumberWithUnit units(std::map<std::string, double>{
        {"b", 1}, {"k", 1e3}, {"kb", 1e3}, {"m", 1e6}, {"mb", 1e6}, {"g", 1e9}, {"gb", 1e9}});
    return CLI::Validator(
        [units](std::string& text) -> std::string {
            std::string given = text;
            double value = 0;
            try {
                units(text);
                auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
                if (error != std::errc() || stop != text.data() + text.size())
                    value = 0;
            } catch (const CLI::ValidationError&) {
                value = 0;
            }
            if (std::isfinite(value) && value >= 1)
                return "";
            return "takes a size of at least 1 byte with an optional unit K, M or G, such as 250K, 10M or 1g; "
                   "not '" + given + "'";
        },
        "");
}

// "1 storey", "2 storeys".
std::string count(long long n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string grid(const modelgen::BuildingShape& shape)
{
    return std::to_string(shape.baysX) + " x " + std::to_string(shape.baysY) +
           (shape.baysX == 1 && shape.baysY == 1 ? " bay" : " bays");
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Writes a generated building model (model tables and design results) in the dictionary "
                 "format. The same options and seed always give the same file.",
                 "modelgen"};
    app.allow_windows_style_options(false);
    // Left-over arguments are refused below, named in the order given
    // (CLI11's own message lists them in reverse).
    app.allow_extras();
    app.option_defaults()->always_capture_default();
    app.footer("Exit status: 0 when the file is written, 1 when it cannot be written, 2 for bad arguments.");
    modelgen::BuildingShape shape;
    std::string output;
    double size = 0;
    app.add_option("-o,--output", output, "File to write ('-' for standard output)")->required();
    app.add_option("--storeys", shape.storeys, "Number of storeys")->check(CLI::Range(1, modelgen::kMaxStoreys));
    app.add_option("--bays-x", shape.baysX, "Bays along x")->check(CLI::Range(1, 10000));
    app.add_option("--bays-y", shape.baysY, "Bays along y")->check(CLI::Range(1, 10000));
    app.add_option("--seed", shape.seed, "Seed of the generated values")->check(kSeed);
    CLI::Option* sizeOption =
        app.add_option("--size", size,
                       "Approximate file size in bytes, with an optional unit K, M or G (powers of 1000, either "
                       "case), e.g. 250K, 10M, 1g; sets the number of storeys")
            ->transform(sizeInBytes())
            ->type_name("SIZE")
            ->default_str("") // none: the storeys' default applies
            ->excludes("--storeys");
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "modelgen: " << e.what() << "\n";
        return 2;
    }
    if (std::vector<std::string> extras = app.remaining(); !extras.empty()) {
        std::cerr << "modelgen: unexpected argument" << (extras.size() == 1 ? "" : "s") << ":";
        for (const std::string& extra : extras)
            std::cerr << " " << extra;
        std::cerr << "\n";
        return 2;
    }

    // Sizes beyond any model are clamped before they reach integer bytes.
    long long target = size > 1e18 ? 1000000000000000000LL : std::llround(size);
    bool sizeUnmet = false;
    if (*sizeOption) {
        modelgen::SizeSteps steps = modelgen::sizeSteps(shape);
        shape.storeys = modelgen::storeysForSize(steps, target);
        long long largest = steps.oneStorey + (modelgen::kMaxStoreys - 1LL) * steps.perStorey;
        sizeUnmet = target < steps.oneStorey || target > largest + steps.perStorey / 2;
    }

    std::FILE* out = output == "-" ? stdout : std::fopen(output.c_str(), "wb");
    if (!out) {
        std::cerr << "modelgen: cannot write " << output << ": " << std::strerror(errno) << "\n";
        return 1;
    }
    std::setvbuf(out, nullptr, _IOFBF, 1 << 20);
    long long bytes = modelgen::writeModel(shape, out);
    bool closed = out == stdout ? std::fflush(out) == 0 : std::fclose(out) == 0;
    if (bytes < 0 || !closed) {
        std::cerr << "modelgen: writing " << output << " failed: " << std::strerror(errno) << "\n";
        return 1;
    }
    if (sizeUnmet)
        std::cerr << "modelgen: note: no model of " << grid(shape) << " is as "
                  << (shape.storeys == 1 ? "small" : "large") << " as " << count(target, "byte", "bytes")
                  << "; wrote the " << (shape.storeys == 1 ? "smallest" : "largest") << ", "
                  << count(bytes, "byte", "bytes") << "\n";
    std::cerr << "modelgen: " << count(shape.storeys, "storey", "storeys") << ", " << grid(shape) << ", "
              << count(bytes, "byte", "bytes") << "\n";
    return 0;
}
