#pragma once

#include "misc/Object.h"

namespace Data {

class DataSet;

// Transfers one source of user input into a data set through its validating setters. A collector
// reports no message of its own: when it fails, the data set's last error text says why.
class DataCollector : public Object
{
public:
    // Called by DataSet::Collect before CollectData.
    void BindDataSet(DataSet* pDataSet) { m_dataSet = pDataSet; }
    virtual bool CollectData() = 0;

protected:
    DataSet* GetDataSet() const { return m_dataSet; }

private:
    DataSet* m_dataSet = nullptr;
};

} // namespace Data
