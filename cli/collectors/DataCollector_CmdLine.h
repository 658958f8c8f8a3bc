#pragma once

#include "data/DataCollector.h"

namespace CmdLine {
class TessaraCmdLine;
}

namespace Collectors {

// Forwards the parsed switches to the data set, one step per switch in a fixed order; run after
// a project's collector so that switches override the project.
class DataCollector_CmdLine : public Data::DataCollector
{
public:
    explicit DataCollector_CmdLine(const CmdLine::TessaraCmdLine& cmdLine) : m_cmdLine(cmdLine) {}

    bool CollectData() override;

private:
    bool CollectFiles(Data::DataSet& dataSet) const;
    bool CollectGrid(Data::DataSet& dataSet) const;
    bool CollectImageOptions(Data::DataSet& dataSet) const;
    bool CollectOutputOptions(Data::DataSet& dataSet) const;

    const CmdLine::TessaraCmdLine& m_cmdLine;
};

} // namespace Collectors
