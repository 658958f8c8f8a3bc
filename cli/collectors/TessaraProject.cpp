#include "collectors/TessaraProject.h"

#include "misc/RegularFile.h"
#include "misc/TextCase.h"

#include "TessaraContract.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <optional>

namespace Collectors {

namespace {
const char* const kInvalidProject = "The selected file is not a valid Tessara project";

// The text of the element's first child, provided that child is text; anything else means the
// element carries no value and counts as absent.
std::optional<std::string> ValueOf(const pugi::xml_node& element)
{
    const pugi::xml_node first = element.first_child();
    if (first.type() != pugi::node_pcdata && first.type() != pugi::node_cdata)
        return std::nullopt;
    return std::string(first.value());
}

std::optional<std::string> ValueOfChild(const pugi::xml_node& parent, const char* pName)
{
    return ValueOf(parent.child(pName));
}

// Leading digits (after an optional sign) count; text without them reads as 0.
int ToInteger(const std::string& strText)
{
    const long long nValue = std::strtoll(strText.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(nValue, INT_MIN, INT_MAX));
}

// Well-formed XML has one root element and no text beside it. The parser drops such text and
// stray elements silently unless asked to keep a fragment, which is then checked here.
bool IsSingleDocument(const pugi::xml_document& document)
{
    int nElements = 0;
    for (const pugi::xml_node& node : document.children()) {
        if (node.type() == pugi::node_element)
            ++nElements;
        else if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            return false;
    }
    return nElements == 1;
}

bool ToBoolean(const std::string& strValue)
{
    const std::string strText = Misc::ToLowerAscii(strValue);
    return strText == "true" || strText == "yes" || strText == "1";
}
} // namespace

bool TessaraProject::LoadProject(const std::string& strPath)
{
    m_settings.ClearSettings();
    std::string strError;
    if (!Misc::CheckRegularFile(strPath, strError)) {
        SetLastError("%s", strError.c_str());
        return false;
    }
    if (!m_document.load_file(strPath.c_str(), pugi::parse_default | pugi::parse_fragment, pugi::encoding_utf8)
        || !IsSingleDocument(m_document)) {
        SetLastError("Unable to load the project file");
        return false;
    }

    const pugi::xml_node root = m_document.document_element();
    if (std::string(root.name()) != Contract::Project::kRoot
        || std::string(root.attribute(Contract::Project::kTypeAttribute).value()) != Contract::Project::kType) {
        SetLastError("%s", kInvalidProject);
        return false;
    }
    if (ToInteger(root.attribute(Contract::Project::kVersionAttribute).value()) != Contract::Project::kVersion) {
        SetLastError("The project file version doesn't match the current version");
        return false;
    }

    const pugi::xml_node rowsElement = root.child(Contract::Project::kRows);
    if (!rowsElement) {
        SetLastError("The project file has no Rows element");
        return false;
    }
    if (!ReadRows(rowsElement))
        return false;

    const pugi::xml_node settingsElement = root.child(Contract::Project::kSettings);
    if (!settingsElement) {
        SetLastError("The project file has no Settings element");
        return false;
    }
    ReadSettings(settingsElement);

    const bool bValid = m_settings.VerifySettings(strError);
    SetLastError("%s", strError.c_str());
    return bValid;
}

bool TessaraProject::ReadRows(const pugi::xml_node& rowsElement)
{
    for (const pugi::xml_node& rowElement : rowsElement.children(Contract::Project::kRow)) {
        std::vector<std::string> row;
        for (const pugi::xml_node& fileElement : rowElement.children(Contract::Project::kFile)) {
            if (auto value = ValueOf(fileElement))
                row.push_back(*value);
        }
        if (row.empty()) {
            SetLastError("Unable to read an input row");
            return false;
        }
        m_settings.rows.push_back(row);
        m_settings.flags |= TessaraSettings::FlagRows;
    }
    return true;
}

void TessaraProject::ReadSettings(const pugi::xml_node& settingsElement)
{
    if (auto overlap = ValueOfChild(settingsElement, Contract::Project::kOverlap)) {
        m_settings.overlap = ToInteger(*overlap);
        m_settings.flags |= TessaraSettings::FlagOverlap;
    }

    const pugi::xml_node regionElement = settingsElement.child(Contract::Project::kRegion);
    const auto width = ValueOfChild(regionElement, Contract::Project::kWidth);
    const auto height = ValueOfChild(regionElement, Contract::Project::kHeight);
    if (width && height) {
        m_settings.regionWidth = ToInteger(*width);
        m_settings.regionHeight = ToInteger(*height);
        m_settings.flags |= TessaraSettings::FlagRegion;
    }

    if (auto background = ValueOfChild(settingsElement, Contract::Project::kBackground)) {
        m_settings.background = Misc::Color(*background);
        m_settings.flags |= TessaraSettings::FlagBackground;
    }
    if (auto transparency = ValueOfChild(settingsElement, Contract::Project::kTransparency)) {
        m_settings.transparency = Misc::Color(*transparency);
        m_settings.flags |= TessaraSettings::FlagTransparency;
    }
    if (auto stackImages = ValueOfChild(settingsElement, Contract::Project::kStackImages)) {
        m_settings.stackImages = ToBoolean(*stackImages);
        m_settings.flags |= TessaraSettings::FlagStackImages;
    }
    if (auto autoOrient = ValueOfChild(settingsElement, Contract::Project::kAutoOrient)) {
        m_settings.autoOrient = ToBoolean(*autoOrient);
        m_settings.flags |= TessaraSettings::FlagAutoOrient;
    }
}

} // namespace Collectors
