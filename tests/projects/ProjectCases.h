#pragma once

// The project files of this folder and what each program makes of them (cases.txt). The tests of
// tesscli and of the editor both read them through this header, so that the two readers of one
// format are held to one set of files and their differences stay side by side in the table.

#include "TessaraContract.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace ProjectCases {

struct Case
{
    std::string path;        // the project file
    std::string commandLine; // what tesscli makes of it
    std::string editor;      // what the editor makes of it
    std::string problem;     // why the case cannot be checked; empty when it can
};

inline std::string Trimmed(const std::string& strText)
{
    const size_t nFirst = strText.find_first_not_of(" \t\r");
    return nFirst == std::string::npos ? std::string()
                                       : strText.substr(nFirst, strText.find_last_not_of(" \t\r") + 1 - nFirst);
}

// Every project file of strDir and every row of its cases.txt, by file name. A file without a row,
// a row without a file or a malformed row is a case with a problem, so the set cannot shrink unseen.
inline std::map<std::string, Case> Read(const std::string& strDir)
{
    std::map<std::string, Case> cases;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(strDir, error)) {
        if (entry.path().extension() == ".tsp")
            cases[entry.path().filename().string()] = {entry.path().string(), "", "", "not in cases.txt"};
    }
    std::ifstream table(strDir + "/cases.txt");
    if (error || !table || cases.empty())
        cases["cases.txt"].problem = "no project files or no cases.txt in " + strDir;

    std::string strLine;
    for (int nLine = 1; std::getline(table, strLine); ++nLine) {
        const std::string strTrimmed = Trimmed(strLine);
        if (strTrimmed.empty() || strTrimmed[0] == '#')
            continue;
        std::vector<std::string> columns;
        for (size_t nStart = 0, nEnd = 0; nEnd != std::string::npos; nStart = nEnd + 1) {
            nEnd = strLine.find('|', nStart);
            columns.push_back(Trimmed(strLine.substr(nStart, nEnd - nStart)));
        }
        const std::string strWhere = "cases.txt:" + std::to_string(nLine);
        if (columns.size() != 3 || columns[1].empty() || columns[2].empty()) {
            cases[strWhere].problem = strWhere + ": not three columns (file | tesscli | editor)";
            continue;
        }
        Case& entry = cases[columns[0]];
        if (entry.path.empty())
            entry.problem = strWhere + ": no such file in " + strDir;
        else if (!entry.commandLine.empty())
            entry.problem = strWhere + ": named twice";
        else
            entry.problem.clear();
        entry.commandLine = columns[1];
        entry.editor = columns[2] == "=" ? columns[1] : columns[2];
    }
    return cases;
}

// A loaded record in plain types; each test fills one from its reader's record.
struct Record
{
    unsigned int flags = 0;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> tray;
    int overlap = 0;
    int regionWidth = 0;
    int regionHeight = 0;
    std::string background; // "#rrggbb", or "invalid"
    std::string transparency;
    bool stackImages = false;
    bool autoOrient = false;
};

inline std::string List(const std::vector<std::string>& names)
{
    std::string strList;
    for (const std::string& strName : names)
        strList += (strList.empty() ? "" : ",") + strName;
    return "[" + strList + "]";
}

// The one-line form of cases.txt: every member whose flag is set, and as "unset:name=value" one whose
// flag is off but whose value differs from a fresh record's, since nothing reads such a value.
inline std::string Summary(const Record& loaded, const Record& fresh)
{
    using Flags = Contract::SettingsFlags;
    const auto texts = [](const Record& record) {
        std::string strRows;
        for (const auto& row : record.rows)
            strRows += List(row);
        return std::vector<std::pair<unsigned int, std::string>>{
            {Flags::FlagRows, "rows=" + strRows},
            {Flags::FlagTray, "tray=" + List(record.tray)},
            {Flags::FlagOverlap, "overlap=" + std::to_string(record.overlap)},
            {Flags::FlagRegion,
             "region=" + std::to_string(record.regionWidth) + "x" + std::to_string(record.regionHeight)},
            {Flags::FlagBackground, "background=" + record.background},
            {Flags::FlagTransparency, "transparency=" + record.transparency},
            {Flags::FlagStackImages, std::string("stack=") + (record.stackImages ? "true" : "false")},
            {Flags::FlagAutoOrient, std::string("orient=") + (record.autoOrient ? "true" : "false")}};
    };
    const auto members = texts(loaded);
    const auto freshMembers = texts(fresh);
    std::string strSummary;
    for (size_t i = 0; i < members.size(); ++i) {
        const bool bSet = (loaded.flags & members[i].first) != 0;
        if (bSet || members[i].second != freshMembers[i].second)
            strSummary += (strSummary.empty() ? "" : " ") + std::string(bSet ? "" : "unset:") + members[i].second;
    }
    return strSummary;
}

} // namespace ProjectCases
