#include "BrowserSupport.h"

#include <filesystem>
#include <regex>
#include <sstream>
#include <unistd.h>

#include <gtest/gtest.h>
#include <png.h>

#include "TestSupport.h"

namespace browsertest {

using namespace testsupport;
namespace fs = std::filesystem;

std::string browser()
{
    const char* named = std::getenv("CHROMIUM");
    for (std::string path : {std::string(named ? named : ""), std::string("/usr/bin/chromium")})
        if (!path.empty() && access(path.c_str(), X_OK) == 0)
            return path;
    return "";
}

std::string runBrowser(const std::string& options, const std::string& file, const std::string& fragment)
{
    TempFile profile("", "unused");
    std::string line = quote(browser()) +
                       " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
                       "--disable-background-networking --disable-component-update --disable-sync --hide-scrollbars "
                       "--user-data-dir=" + quote(fs::path(profile.path()).parent_path().string() + "/profile") +
                       " --virtual-time-budget=10000 " + options + " " +
                       quote("file://" + fs::absolute(file).string() + fragment) + " 2>/dev/null";
    CommandResult result = run(line);
    EXPECT_EQ(result.status, 0) << line;
    return result.out;
}

std::string dom(const std::string& file, const std::string& fragment)
{
    std::string out = runBrowser("--dump-dom", file, fragment);
    std::size_t at = out.find("<body");
    std::string body = at == std::string::npos ? "" : out.substr(at, out.find('>', at) - at);
    EXPECT_NE(body.find("data-ready=\"yes\""), std::string::npos) << "the page's script did not run to its end";
    EXPECT_EQ(body.find("data-broken"), std::string::npos) << "paths the script cannot match with their keys: "
                                                           << body;
    return out;
}

namespace {

Pixels pixelsOf(const std::string& png)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, png.c_str()))
        return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        return {};
    Pixels share;
    std::size_t count = pixels.size() / 3;
    for (std::size_t i = 0; i < count; ++i) {
        int r = pixels[3 * i], g = pixels[3 * i + 1], b = pixels[3 * i + 2];
        if (r < 240 || g < 240 || b < 240)
            share.drawn += 1.0 / count;
        if (r > 200 && g < 60 && b < 60)
            share.red += 1.0 / count;
        if (r < 80 && g > 120 && b < 100)
            share.green += 1.0 / count;
        if (r > 200 && g > 110 && g < 180 && b < 60)
            share.amber += 1.0 / count;
    }
    return share;
}

} // namespace

Pixels screenshot(const std::string& html, const std::string& fragment, const std::string& png)
{
    fs::remove(png);
    runBrowser("--window-size=1280,900 --screenshot=" + quote(png), html, fragment);
    return pixelsOf(png);
}

std::vector<Listed> listedMembers(const std::string& dom)
{
    std::vector<Listed> found;
    std::regex section("<section class=\"storey\" id=\"([^\"]+)\"");
    std::regex plan("<svg class=\"plan\"[^>]* data-floor=\"(-?[0-9]+)\"");
    std::regex listed("class=\"([^\"]*)\"[^>]*? data-table=\"([A-Za-z]+)\" data-keys=\"([-0-9 ]*)\"");
    for (std::sregex_iterator s(dom.begin(), dom.end(), section), end; s != end; ++s) {
        std::size_t from = static_cast<std::size_t>(s->position());
        std::string storey = dom.substr(from, dom.find("</section>", from) - from);
        std::smatch svg;
        if (!std::regex_search(storey, svg, plan))
            continue;
        std::string drawing = storey.substr(static_cast<std::size_t>(svg.position()));
        drawing = drawing.substr(0, drawing.find("</svg>"));
        for (std::sregex_iterator k(drawing.begin(), drawing.end(), listed); k != end; ++k) {
            Listed entry{(*s)[1], std::stoi(svg[1]), (*k)[1], (*k)[2], {}};
            std::istringstream keys((*k)[3].str());
            for (int key; keys >> key;)
                entry.keys.push_back(key);
            found.push_back(std::move(entry));
        }
    }
    return found;
}

Pointed pointAt(const std::string& html, const std::string& selector, const std::string& fragment)
{
    // After the page's script: point at the middle of the first segment
    // (or at the dot) of the path's first member, or of the definition it
    // draws when the path draws nothing itself, and keep the tooltip.
    std::string page = readFile(html);
    const std::string pointer = R"(<script>
setTimeout(function () {
  var path = document.querySelector(')" + selector + R"(');
  var key = path.getAttribute('data-keys').split(' ')[0];
  var d = path.getAttribute('d'), uses = path.getAttribute('data-uses');
  if (!d && uses) d = document.getElementById(uses.split(' ')[0].split(',')[0]).getAttribute('d');
  var t = d.match(/[MLZh]|[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?/g);
  var x = +t[1], y = +t[2];
  if (t[3] === 'L') { x = (x + +t[4]) / 2; y = (y + +t[5]) / 2; }
  var p = new DOMPoint(x, y).matrixTransform(path.getScreenCTM());
  path.ownerSVGElement.dispatchEvent(new PointerEvent('pointermove', {clientX: p.x, clientY: p.y, bubbles: true}));
  document.body.setAttribute('data-pointed', key);
  document.body.setAttribute('data-tip', document.getElementById('tip').innerText);
}, 100);
</script></body>)";
    page.replace(page.rfind("</body>"), 7, pointer);
    TempFile pointed(page, "pointed.html");
    std::string out = dom(pointed.path(), fragment);
    std::smatch key, tip;
    Pointed result;
    if (std::regex_search(out, key, std::regex("data-pointed=\"([0-9]+)\"")))
        result.key = key[1];
    if (std::regex_search(out, tip, std::regex("data-tip=\"([^\"]*)\"")))
        result.tip = tip[1];
    EXPECT_NE(result.key, "") << "nothing was pointed at: " << selector;
    return result;
}

std::vector<std::pair<std::string, std::string>> pointAtEach(const std::string& html, const std::string& selector,
                                                             const std::string& fragment, double offset)
{
    std::string page = readFile(html);
    const std::string pointer = R"(<script>
setTimeout(function () {
  var results = [];
  document.querySelectorAll(')" + selector + R"(').forEach(function (path) {
    var keys = path.getAttribute('data-keys').split(' ');
    var parts = (path.getAttribute('data-parts') || keys.map(function () { return '1'; }).join(' ')).split(' ');
    var t = path.getAttribute('d').match(/[MLZh]|[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?/g);
    var shift = )" + std::to_string(offset) + R"( * (+path.getAttribute('stroke-width') || 0) / 2;
    var starts = [];
    for (var i = 0; i < t.length; i++) if (t[i] === 'M') starts.push([+t[i + 1], +t[i + 2]]);
    for (var k = 0, s = 0; k < keys.length; s += +parts[k], k++) {
      // The plan's y runs up: right and down on the screen is +x, -y.
      var p = new DOMPoint(starts[s][0] + shift, starts[s][1] - shift).matrixTransform(path.getScreenCTM());
      var tip = document.getElementById('tip');
      tip.textContent = '';
      path.ownerSVGElement.dispatchEvent(new PointerEvent('pointermove', {clientX: p.x, clientY: p.y, bubbles: true}));
      var title = tip.style.display === 'none' || !tip.firstChild ? '' : tip.firstChild.textContent;
      results.push(keys[k] + '=' + title);
    }
  });
  document.body.setAttribute('data-each', results.join('|'));
}, 100);
</script></body>)";
    page.replace(page.rfind("</body>"), 7, pointer);
    TempFile pointed(page, "pointed-each.html");
    std::string out = dom(pointed.path(), fragment);
    std::smatch each;
    std::vector<std::pair<std::string, std::string>> result;
    if (!std::regex_search(out, each, std::regex("data-each=\"([^\"]*)\"")))
        return result;
    std::string list = each[1];
    for (std::size_t start = 0; start < list.size();) {
        std::size_t end = list.find('|', start);
        if (end == std::string::npos)
            end = list.size();
        std::string item = list.substr(start, end - start);
        std::size_t equals = item.find('=');
        result.emplace_back(item.substr(0, equals), equals == std::string::npos ? "" : item.substr(equals + 1));
        start = end + 1;
    }
    return result;
}

} // namespace browsertest
