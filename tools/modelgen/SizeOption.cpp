#include "tools/modelgen/SizeOption.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <map>

namespace modelgen {

CLI::Validator sizeInBytes(const std::string& bareUnit)
{
    CLI::AsNumberWithUnit units(std::map<std::string, double>{
        {"b", 1}, {"k", 1e3}, {"kb", 1e3}, {"m", 1e6}, {"mb", 1e6}, {"g", 1e9}, {"gb", 1e9}});
    std::string hint = bareUnit == "B" ? "a size of at least 1 byte with an optional unit K, M or G, such as 250K, "
                                         "10M or 1g"
                                       : "sizes of at least 1 byte, in " + bareUnit +
                                             "B or with a unit B, K, M or G, such as 250K, 10 or 1g";
    return CLI::Validator(
        [units, bareUnit, hint](std::string& text) -> std::string {
            std::string given = text;
            bool bare = !text.empty() && (std::isdigit(static_cast<unsigned char>(text.back())) || text.back() == '.');
            if (bare)
                text += bareUnit;
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
            text = given;
            return "takes " + hint + "; not '" + given + "'";
        },
        "");
}

SizeFit fitSize(BuildingShape grid, double bytes)
{
    // Sizes beyond any model are clamped before they reach integer bytes.
    long long target = bytes > 1e18 ? 1000000000000000000LL : std::llround(bytes);
    SizeSteps steps = sizeSteps(grid);
    grid.storeys = storeysForSize(steps, target);
    long long largest = steps.oneStorey + (kMaxStoreys - 1LL) * steps.perStorey;
    return {grid, target, target >= steps.oneStorey && target <= largest + steps.perStorey / 2};
}

std::string count(long long n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string grid(const BuildingShape& shape)
{
    return std::to_string(shape.baysX) + " x " + std::to_string(shape.baysY) +
           (shape.baysX == 1 && shape.baysY == 1 ? " bay" : " bays");
}

std::string unmetSizeNote(const SizeFit& fit, long long bytes, const char* done)
{
    bool small = fit.shape.storeys == 1;
    return "no model of " + grid(fit.shape) + " is as " + (small ? "small" : "large") + " as " +
           count(fit.target, "byte", "bytes") + "; " + done + " the " + (small ? "smallest" : "largest") + ", " +
           count(bytes, "byte", "bytes");
}

} // namespace modelgen
