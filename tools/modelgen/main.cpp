// modelgen: writes a generated building model in the dictionary format.
#include <cstdio>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "tools/modelgen/ModelWriter.h"

namespace {

// "250K", "10M", "1G" or plain bytes.
long long parseSize(const std::string& text)
{
    std::size_t used = 0;
    double value = std::stod(text, &used);
    std::string unit = text.substr(used);
    double scale = unit.empty() || unit == "B" ? 1 : unit == "K" ? 1e3 : unit == "M" ? 1e6 : unit == "G" ? 1e9 : -1;
    if (scale < 0 || value <= 0)
        throw std::invalid_argument("size");
    return static_cast<long long>(value * scale);
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Writes a generated building model (model tables and design results) in the dictionary "
                 "format. The same options and seed always give the same file.",
                 "modelgen"};
    app.allow_windows_style_options(false);
    modelgen::BuildingShape shape;
    std::string output, size;
    app.add_option("-o,--output", output, "File to write ('-' for standard output)")->required();
    app.add_option("--storeys", shape.storeys, "Number of storeys")->check(CLI::Range(1, 1000000));
    app.add_option("--bays-x", shape.baysX, "Bays along x")->check(CLI::Range(1, 10000));
    app.add_option("--bays-y", shape.baysY, "Bays along y")->check(CLI::Range(1, 10000));
    app.add_option("--seed", shape.seed, "Seed of the generated values");
    app.add_option("--size", size, "Approximate file size (e.g. 250K, 10M, 1G); sets the number of storeys")
        ->excludes("--storeys");
    try {
        app.parse(argc, argv);
        if (!size.empty())
            shape.storeys = modelgen::storeysForSize(shape, parseSize(size));
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);
        return code == 0 ? 0 : 2;
    } catch (const std::exception&) {
        std::cerr << "modelgen: --size takes a number with an optional K, M or G\n";
        return 2;
    }

    std::FILE* out = output == "-" ? stdout : std::fopen(output.c_str(), "wb");
    if (!out) {
        std::cerr << "modelgen: cannot write " << output << "\n";
        return 1;
    }
    std::setvbuf(out, nullptr, _IOFBF, 1 << 20);
    long long bytes = modelgen::writeModel(shape, out);
    bool closed = out == stdout ? std::fflush(out) == 0 : std::fclose(out) == 0;
    if (bytes < 0 || !closed) {
        std::cerr << "modelgen: writing " << output << " failed\n";
        return 1;
    }
    std::cerr << "modelgen: " << shape.storeys << " storeys, " << shape.baysX << " x " << shape.baysY << " bays, "
              << bytes << " bytes\n";
    return 0;
}
