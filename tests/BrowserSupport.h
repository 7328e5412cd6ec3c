// Pages in a real browser, for the page tests: headless Chromium run on a
// file, the DOM after the page's script ran, screenshots and their pixels,
// the members the plans list, and a member pointed at.
#pragma once

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace browsertest {

// Chromium's path ($CHROMIUM, else /usr/bin/chromium), "" when missing.
std::string browser();

// Without Chromium a test is skipped, except in CI, where it fails.
#define NEED_BROWSER()                                                                                           \
    if (browsertest::browser().empty()) {                                                                        \
        const char* ci = std::getenv("CI");                                                                      \
        if (ci && std::string(ci) == "true")                                                                     \
            FAIL() << "Chromium is not installed (/usr/bin/chromium, Debian's package chromium); "              \
                      "scripts/setup.sh installs it";                                                            \
        GTEST_SKIP() << "Chromium is not installed (/usr/bin/chromium); bash scripts/setup.sh installs it";     \
    }

// Runs headless Chromium on a file with a fresh profile; its standard
// output (the DOM, with --dump-dom, after the page's script ran).
std::string runBrowser(const std::string& options, const std::string& file, const std::string& fragment = "");

// The DOM of a page after its script ran; fails the test when the script
// did not run to its end or found paths it cannot match with their keys.
std::string dom(const std::string& file, const std::string& fragment = "");

// The share of a screenshot's pixels that are not the page's background,
// and of those in each marked style's colour.
struct Pixels {
    double drawn = 0, red = 0, green = 0, amber = 0;
};
// Takes a 1280 x 900 screenshot of the page at `fragment` into `png`.
Pixels screenshot(const std::string& html, const std::string& fragment, const std::string& png);

// A path or text of a storey's plan that lists members: the section of
// the storey ("f1-s3"), its plan's data-floor, its class ("k-beam warn"),
// its table and its members' keys in order.
struct Listed {
    std::string section;
    int floor;
    std::string css;
    std::string table;
    std::vector<int> keys;
};
std::vector<Listed> listedMembers(const std::string& dom);

// Points at the middle of the first member of the first path that
// `selector` finds once the page's script ran (drawn by the path, or by
// the shared definition it uses); that member's key and the tooltip's text.
struct Pointed {
    std::string key;
    std::string tip;
};
Pointed pointAt(const std::string& html, const std::string& selector, const std::string& fragment);

// Points at the first node of every member of every path that `selector`
// finds, one after the other, moved by `offset` times half the path's
// stroke width right and down (0.8: near a symbol's corner): per member its
// key and the first line of the tooltip then shown ("" when none was).
std::vector<std::pair<std::string, std::string>> pointAtEach(const std::string& html, const std::string& selector,
                                                             const std::string& fragment, double offset = 0);

} // namespace browsertest
