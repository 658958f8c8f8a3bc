// tesscli's project reader, followed by the data set built from what it read.
#include "collectors/DataCollector_Project.h"
#include "collectors/TessaraProject.h"
#include "data/DataSet.h"
#include "FuzzInputFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static FuzzInputFile s_input;
    Collectors::TessaraProject project;
    if (!project.LoadProject(s_input.Write(pData, nSize)))
        return 0;
    Collectors::DataCollector_Project collector(project);
    Data::DataSet dataSet;
    if (dataSet.Collect(&collector) && dataSet.IsComplete())
        dataSet.ArrangeInputFiles();
    return 0;
}
