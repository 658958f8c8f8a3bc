#pragma once

// What tesscli and the editor must agree on: the editor writes the projects tesscli reads and starts
// tesscli with these switches. Both programs take the names from here, so a rename on one side
// breaks the build instead of a run. Plain constants only; this header depends on nothing.

namespace Contract {

// Switches the editor passes to tesscli, without the leading dash.
namespace Switch {
constexpr const char* kRow = "row";
constexpr const char* kOut = "out";
constexpr const char* kRegionSize = "regionsize";
constexpr const char* kOverlap = "overlap";
constexpr const char* kBgColor = "bgcolor";
constexpr const char* kTransparent = "transparent";
constexpr const char* kStack = "stack";
constexpr const char* kAutoOrient = "autoorient";
constexpr const char* kConvert = "convert";
} // namespace Switch

// The project file: one root element with type and version, then rows, tray and settings.
namespace Project {
constexpr const char* kRoot = "Project";
constexpr const char* kTypeAttribute = "type";
constexpr const char* kType = "TessaraProject";
constexpr const char* kVersionAttribute = "version";
constexpr int kVersion = 1;

constexpr const char* kRows = "Rows";
constexpr const char* kRow = "Row";
constexpr const char* kFile = "File";
constexpr const char* kTray = "Tray";
constexpr const char* kSettings = "Settings";
constexpr const char* kOverlap = "Overlap";
constexpr const char* kRegion = "Region";
constexpr const char* kWidth = "Width";
constexpr const char* kHeight = "Height";
constexpr const char* kBackground = "Background";
constexpr const char* kTransparency = "Transparency";
constexpr const char* kStackImages = "StackImages";
// Written after the original settings; readers that do not know it pass over it.
constexpr const char* kAutoOrient = "AutoOrient";

// Stands for the editor's own directory at the start of a stored file name.
constexpr const char* kDirToken = "@TS_DIR";
} // namespace Project

// A DeepZoom output: tesscli writes a viewer page beside the descriptor, named like it with the page's
// extension in place of the descriptor's ("mosaic.dzi" gets "mosaic.html").
namespace DeepZoom {
constexpr const char* kDescriptorExtension = ".dzi";
constexpr const char* kViewerPageExtension = ".html";
} // namespace DeepZoom

// Grid entries that leave a cell empty, in any letter case.
constexpr const char* kEmptyCellNone = "None";
constexpr const char* kEmptyCellKeep = "KeepEmpty";

// Which members of a project's settings count; a settings class derives from this for the names.
struct SettingsFlags
{
    enum Flag : unsigned int {
        FlagRows = 0x01,
        FlagOverlap = 0x02,
        FlagRegion = 0x04,
        FlagBackground = 0x08,
        FlagTransparency = 0x10,
        FlagStackImages = 0x20,
        FlagTray = 0x40,
        FlagAutoOrient = 0x80,
    };
};

// Exit statuses of tesscli; the editor treats anything but success as failure.
enum ExitStatus : int {
    ExitSuccess = 0,
    ExitCoreFailed = 1,
    ExitCommandLine = 3,
    ExitDataPreparation = 4,
    ExitProcessing = 5,
};

} // namespace Contract
