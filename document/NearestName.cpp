#include "document/NearestName.h"

#include <algorithm>
#include <cctype>

namespace document {

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// Edits (insertions, deletions, substitutions and swaps of neighbours)
// that make one text the other.
std::size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

} // namespace

std::string nearestName(const std::string& name, const std::vector<std::string>& known)
{
    // A name far longer than any known one cannot be within two edits;
    // this also keeps a hostile name from costing quadratic time.
    constexpr std::size_t kLongest = 256;
    std::string best;
    std::size_t bestDistance = 3;
    for (const std::string& candidate : known) {
        if (name.size() > candidate.size() + 2 || candidate.size() > name.size() + 2 || name.size() > kLongest)
            continue;
        std::size_t distance = lower(candidate) == lower(name) ? 0 : editDistance(name, candidate);
        if (distance < bestDistance || (distance == bestDistance && distance < 3 && candidate < best)) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace document
