#pragma once

#include "data/DataCollector.h"

namespace Collectors {

class TessaraProject;

// Forwards the rows and settings of a loaded project to the data set.
class DataCollector_Project : public Data::DataCollector
{
public:
    explicit DataCollector_Project(const TessaraProject& project) : m_project(project) {}

    bool CollectData() override;

private:
    const TessaraProject& m_project;
};

} // namespace Collectors
