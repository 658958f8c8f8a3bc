#pragma once

#include "data/DataCollector.h"

namespace Core {
class TessaraProject;
}

namespace Data {

// Forwards the rows and settings of a loaded project to the data set.
class DataCollector_Project : public DataCollector
{
public:
    explicit DataCollector_Project(const Core::TessaraProject& project) : m_project(project) {}

    bool CollectData() override;

private:
    const Core::TessaraProject& m_project;
};

} // namespace Data
