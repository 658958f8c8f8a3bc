#include "core/TessaraProject.h"

#include "misc/RegularFile.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <optional>

namespace Core {

namespace {
const char* const kInvalidProject = "The selected file is not a valid Tessara project";
const int kProjectVersion = 1;

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

bool ToBoolean(std::string strText)
{
    std::transform(strText.begin(), strText.end(), strText.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
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
    if (std::string(root.name()) != "Project" || std::string(root.attribute("type").value()) != "TessaraProject") {
        SetLastError("%s", kInvalidProject);
        return false;
    }
    if (ToInteger(root.attribute("version").value()) != kProjectVersion) {
        SetLastError("The project file version doesn't match the current version");
        return false;
    }

    const pugi::xml_node rowsElement = root.child("Rows");
    if (!rowsElement) {
        SetLastError("The project file has no Rows element");
        return false;
    }
    if (!ReadRows(rowsElement))
        return false;

    const pugi::xml_node settingsElement = root.child("Settings");
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
    for (const pugi::xml_node& rowElement : rowsElement.children("Row")) {
        std::vector<std::string> row;
        for (const pugi::xml_node& fileElement : rowElement.children("File")) {
            if (auto value = ValueOf(fileElement))
                row.push_back(*value);
        }
        if (row.empty()) {
            SetLastError("Unable to read an input row");
            return false;
        }
        m_settings.rows.push_back(row);
        m_settings.flags |= TessaraSettings::Flag_Rows;
    }
    return true;
}

void TessaraProject::ReadSettings(const pugi::xml_node& settingsElement)
{
    if (auto overlap = ValueOfChild(settingsElement, "Overlap")) {
        m_settings.overlap = ToInteger(*overlap);
        m_settings.flags |= TessaraSettings::Flag_Overlap;
    }

    const pugi::xml_node regionElement = settingsElement.child("Region");
    const auto width = ValueOfChild(regionElement, "Width");
    const auto height = ValueOfChild(regionElement, "Height");
    if (width && height) {
        m_settings.regionWidth = ToInteger(*width);
        m_settings.regionHeight = ToInteger(*height);
        m_settings.flags |= TessaraSettings::Flag_Region;
    }

    if (auto background = ValueOfChild(settingsElement, "Background")) {
        m_settings.background = Misc::Color(*background);
        m_settings.flags |= TessaraSettings::Flag_Background;
    }
    if (auto transparency = ValueOfChild(settingsElement, "Transparency")) {
        m_settings.transparency = Misc::Color(*transparency);
        m_settings.flags |= TessaraSettings::Flag_Transparency;
    }
    if (auto stackImages = ValueOfChild(settingsElement, "StackImages")) {
        m_settings.stackImages = ToBoolean(*stackImages);
        m_settings.flags |= TessaraSettings::Flag_StackImages;
    }
    if (auto autoOrient = ValueOfChild(settingsElement, "AutoOrient")) {
        m_settings.autoOrient = ToBoolean(*autoOrient);
        m_settings.flags |= TessaraSettings::Flag_AutoOrient;
    }
}

} // namespace Core
