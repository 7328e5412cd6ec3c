#include "tools/htmlreport/PlanOutputs.h"

#include <cstdio>

#include "commands/Console.h"
#include "commands/OutputFile.h"
#include "commands/OutputTarget.h"
#include "commands/TextDecoder.h"
#include "tools/plan/PlanSvg.h"

namespace htmlreport {

namespace {

const char* const kTool = "dictcheck";

} // namespace

PlanOutputs::PlanOutputs(std::string htmlPath, std::string svgDir)
    : m_htmlPath(std::move(htmlPath)), m_svgDir(std::move(svgDir))
{
}

bool PlanOutputs::targetsAccepted(const std::vector<std::string>& files, const std::string& jsonPath)
{
    m_fileCount = files.size();
    if (!m_htmlPath.empty()) {
        if (m_htmlPath == "-") {
            commands::print(stderr, "%s: --html takes a file to write, not '-' (see 'dictcheck --help')\n", kTool);
            return false;
        }
        if (!jsonPath.empty() && jsonPath != "-" && commands::sameFile(jsonPath, m_htmlPath)) {
            commands::print(stderr, "%s: the --html target %s is also the --json target; give another path\n", kTool,
                         m_htmlPath.c_str());
            return false;
        }
        std::string refusal = commands::refusedTarget(kTool, m_htmlPath, files,
                                                      commands::pageOutput("--html", "report page", kPageStart));
        if (!refusal.empty()) {
            commands::put(stderr, refusal);
            return false;
        }
        if (!commands::writableTarget(kTool, m_htmlPath))
            return false;
    }
    if (m_svgDir.empty())
        return true;
    // Every plan file the folder already holds under a name a plan may
    // take: only earlier plans of dictcheck are replaced.
    commands::OutputKind svg{"--svg-dir",
                             "plan",
                             {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", plan::kSvgFormat},
                             std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?> ") + plan::kSvgFormat,
                             {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
                              "class=\"plan\""}};
    std::string refusal = commands::refusedInFolder(kTool, m_svgDir, files, svg, isSvgFileName);
    if (!refusal.empty()) {
        commands::put(stderr, refusal);
        return false;
    }
    return commands::writableFolder(kTool, m_svgDir);
}

namespace {

// Runs `step`; false, with what it threw in `why`, when it threw.
template <class Step>
bool attempted(std::string& why, Step&& step)
{
    try {
        step();
        return true;
    } catch (const std::bad_alloc&) {
        why = "out of memory";
    } catch (const std::exception& e) {
        why = e.what();
    }
    return false;
}

} // namespace

bool PlanOutputs::addFile(const dictcheck::FileReport& report, const nlohmann::ordered_json& reportJson)
{
    ++m_added;
    plan::Plan plan;
    std::string why;
    if (!attempted(why, [&] {
            plan = plan::readPlan(designTablesHeld(report));
            // Texts of a file that declares another encoding are drawn decoded.
            commands::TextDecoder decode(report.encoding);
            if (decode.active())
                plan::decodeTexts(plan, [&](const std::string& text) { return decode(text); });
        })) {
        m_pageLost = m_pageLost.empty() ? why : m_pageLost;
        commands::print(stderr, "%s: the plans of %s could not be drawn: %s\n", kTool, report.path.c_str(),
                        why.c_str());
        return false;
    }
    // A page that lost a file's part is not written: it would tell of
    // fewer files than were checked.
    if (!m_htmlPath.empty() && m_pageLost.empty() &&
        !attempted(m_pageLost, [&] { m_page.addFile(report, reportJson, plan); }))
        m_page = Page();
    if (m_svgDir.empty())
        return true;
    std::string prefix = m_fileCount > 1 ? "file" + std::to_string(m_added) + "-" : "";
    std::string error;
    bool written = false;
    if (!attempted(why, [&] { written = writeSvgFiles(m_svgDir, prefix, plan, error); }))
        error = "the plans of " + report.path + " could not be written: " + why;
    if (written)
        return true;
    commands::print(stderr, "%s: %s\n", kTool, error.c_str());
    return false;
}

bool PlanOutputs::finish()
{
    if (m_htmlPath.empty())
        return true;
    std::string error;
    if (!m_pageLost.empty())
        error = "the page was not written: " + m_pageLost;
    else if (!attempted(error, [&] { commands::writeWhole(m_htmlPath, m_page.html(), error); }))
        error = "the page was not written: " + error;
    if (error.empty())
        return true;
    commands::print(stderr, "%s: %s\n", kTool, error.c_str());
    return false;
}

} // namespace htmlreport
