// dictcheck's --html and --svg-dir: their targets checked before any file
// is imported, each file's plan read while the store holds its import,
// and the page written once every file was checked.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tools/report/FileReport.h"
#include "tools/htmlreport/HtmlPage.h"

namespace htmlreport {

class PlanOutputs {
public:
    // Either may be empty: that output is not wanted.
    PlanOutputs(std::string htmlPath, std::string svgDir);

    bool wanted() const { return !m_htmlPath.empty() || !m_svgDir.empty(); }

    // Whether the targets may be written, told on standard error when not:
    // the page's target as --json's is checked (and must not be --json's
    // own), the SVG folder must be one or be possible.
    bool targetsAccepted(const std::vector<std::string>& files, const std::string& jsonPath);

    // After a file was checked, with the store holding its import: adds
    // its part to the page and writes its SVG files (named "fileN-..."
    // after its place among the files when there are several). False,
    // after saying why, when a file cannot be written or the plans cannot
    // be drawn (out of memory, say); a page that lost a part is not
    // written.
    bool addFile(const dictcheck::FileReport& report, const nlohmann::ordered_json& reportJson);

    // Writes the page; false, after saying why, when it cannot be.
    bool finish();

private:
    std::string m_htmlPath;
    std::string m_svgDir;
    std::size_t m_fileCount = 0;
    std::size_t m_added = 0;
    Page m_page;
    std::string m_pageLost; // why the page cannot be whole, once a part of it failed
};

} // namespace htmlreport
