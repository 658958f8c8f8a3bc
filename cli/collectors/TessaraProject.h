#pragma once

#include "collectors/TessaraSettings.h"
#include "misc/Object.h"

#include <pugixml.hpp>

#include <string>

namespace Collectors {

// Reads a project file (XML, "*.tsp") into a settings record. On failure the last error text
// says why; the record may then be partly filled and is to be discarded.
class TessaraProject : public Object
{
public:
    bool LoadProject(const std::string& strPath);

    const TessaraSettings& GetSettings() const { return m_settings; }

private:
    bool ReadRows(const pugi::xml_node& rowsElement);
    void ReadSettings(const pugi::xml_node& settingsElement);

    TessaraSettings m_settings;
    pugi::xml_document m_document;
};

} // namespace Collectors
