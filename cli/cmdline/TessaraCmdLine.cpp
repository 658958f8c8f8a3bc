#include "cmdline/TessaraCmdLine.h"

#include "data/GridOrders.h"
#include "data/GridStartPositions.h"
#include "data/ImageCompressions.h"

#include "TessaraContract.h"

namespace CmdLine {

void TessaraCmdLine::Initialize(int argc, const char* const* argv)
{
    SetArguments(argc, argv);

    const unsigned int nRepeatable = Optional | Multiple;
    m_projectSwitch = AddSwitch(
        "project", ValueType::String, Optional, 1, 1, nullptr,
        "Loads the specified project (*.tsp) file; all switches (except -sources,$-row and -col) can still be "
        "used to override the project settings.");
    m_outSwitch = AddSwitch(
        Contract::Switch::kOut, ValueType::String, Optional, 1, 1, nullptr,
        "Sets the output image file. The output format will be chosen according to$the provided file ending.");
    m_sourceDirSwitch = AddSwitch(
        "sourcedir", ValueType::String, Optional, 1, 1, nullptr,
        "Sets the base directory for images. If only filenames (or relative paths)$are specified for -row/-col, "
        "Tessara will look in this folder$for the input images.");
    m_rowSwitch = AddSwitch(
        Contract::Switch::kRow, ValueType::String, nRepeatable, 1, -1, nullptr,
        "Adds a row of images; cannot be used in conjunction with -col and -sources.$Use -sourcedir to set the "
        "base directory for images; to add an empty cell,$specify 'None'.");
    m_colSwitch = AddSwitch(
        "col", ValueType::String, nRepeatable, 1, -1, nullptr,
        "Adds a column of images; cannot be used in conjunction with -row and$-sources. Use -sourcedir to set "
        "the base directory for images; to add an$empty cell, specify 'None'.");
    m_sourcesSwitch = AddSwitch(
        "sources", ValueType::String, Optional, 1, 1, nullptr,
        "Sets the input images filename filter, which will be used for assembling$the input images; cannot be "
        "used in conjunction with -row and -col. The$filename filter can contain the following placeholders "
        "(see manual for$details): {row} {col} {index}; wildcards (* and ?) are supported as well.$Example: "
        "-sources Q:\\img\\myimage_r{row}_c{col}.*");
    m_indexSwitch = AddSwitch(
        "index", ValueType::Int, Optional, 1, 2, nullptr,
        "When using the {index} placeholder (see -sources), this switch can be used$to restrict the index that "
        "should be assembled to the specified range.");
    m_gridSwitch =
        AddSwitch("grid", ValueType::Int, Optional, 2, 2, nullptr,
                  "Sets the grid size (rows, columns) of the output image. This switch has to$be used when the row and "
                  "column distribution of the output image cannot be$calculated automatically (when using -sources "
                  "without the {row}/{col}$placeholders, for example), or if you want to enforce a specific size. "
                  "Set$either the row or column count to 0 to have that value calculated$automatically.");
    m_startPosSwitch =
        AddSwitch("startpos", ValueType::EnumString, Optional, 1, 1, &Data::GridStartPositions::Instance(),
                  "Sets the starting position/corner in the grid where images should be added.$Possible values are "
                  "top-left (default), top-right, bottom-left and$bottom-right.");
    m_orderSwitch =
        AddSwitch("order", ValueType::EnumString, Optional, 1, 1, &Data::GridOrders::Instance(),
                  "Sets the order in which images should be added to the grid; this switch can$be used in conjunction "
                  "with -sources when no row and column$placeholders are used. Possible values are row-first (default) "
                  "and$col-first.");
    m_regionSizeSwitch = AddSwitch(
        Contract::Switch::kRegionSize, ValueType::Int, Optional, 2, 2, nullptr,
        "Sets the region size (width*height) of the input image. If specified, only$a certain region of the "
        "input image will be used; the corresponding$location of the region will be calculated automatically.");
    m_overlapSwitch = AddSwitch(
        Contract::Switch::kOverlap, ValueType::Int, Optional, 1, 1, nullptr,
        "Specifies an amount of pixels that the input images overlap each other;$this overlap will be cropped "
        "from the input images before combining them.");
    m_stackSwitch =
        AddSwitch(Contract::Switch::kStack,
                  "When this switch is specified, all input images will be stacked together on$top of each other. This "
                  "should be used if the input images contain$regions of the final image and a background color or "
                  "alpha$channel/transparency is present.");
    m_transparentSwitch =
        AddSwitch(Contract::Switch::kTransparent, ValueType::Int, Optional, 3, 3, nullptr,
                  "Sets a transparent color for the input images in the form of Red Green$Blue (in the range of 0-255 "
                  "each). Pixels with this color will not be$copied to the final image.");
    m_bgColorSwitch =
        AddSwitch(Contract::Switch::kBgColor, ValueType::Int, Optional, 3, 3, nullptr,
                  "Sets the background color of the output image in the form of Red Green$Blue (in the range of 0-255 "
                  "each). Defaults to black.");
    m_compressionSwitch =
        AddSwitch("compression", ValueType::EnumString, Optional, 1, 1, &Data::ImageCompressions::Instance(),
                  "Overrides the default compression type of the output image format;$possible values are: None, BZip, "
                  "Fax, Group4, JPEG, LZW, RLE, Zip.");
    m_qualitySwitch =
        AddSwitch("quality", ValueType::Int, Optional, 1, 1, nullptr,
                  "Sets the quality/compression level (in the range of 0-100) for image$formats that support it.");
    m_attributeSwitch = AddSwitch("attribute", ValueType::String, nRepeatable, 2, 2, nullptr,
                                  "Adds an image attribute to the image (in the form of Name Value).");
    m_extraDataSwitch =
        AddSwitch("extradata", ValueType::String, nRepeatable, 3, 3, nullptr,
                  "Sets a definition string when encoding the output image (in the form$of Format Key Value); the "
                  "meanings of the definitions are format specific.");
    m_convertSwitch = AddSwitch(Contract::Switch::kConvert, ValueType::String, Optional | Hidden, 2, 2, nullptr, "");
    m_helpSwitch = AddSwitch("help", "Displays this help message");
    // Added after the original table, so that the usage text keeps its earlier entries in place.
    m_dryRunSwitch = AddSwitch(
        "dryrun", "Shows where every input image would land (one line per grid row), the size$of the output image, "
                  "the output file and its format, and the input images$that get no cell; reads only the image "
                  "headers and writes nothing.");
    m_autoOrientSwitch =
        AddSwitch(Contract::Switch::kAutoOrient,
                  "Turns every input image upright according to its EXIF orientation before$it is cut and placed, "
                  "so that photos taken with a turned camera are not$composed on their side.");
}

bool TessaraCmdLine::Validate()
{
    if (GetOccurrenceCount() == 0)
        return false;
    if (!m_helpSwitch->IsSet() && !CommandLineParser::Validate())
        return false;

    return CheckExclusive(m_projectSwitch, m_rowSwitch) && CheckExclusive(m_projectSwitch, m_colSwitch)
           && CheckExclusive(m_projectSwitch, m_sourcesSwitch) && CheckExclusive(m_rowSwitch, m_colSwitch)
           && CheckExclusive(m_rowSwitch, m_sourcesSwitch) && CheckExclusive(m_colSwitch, m_sourcesSwitch)
           && CheckRequires(m_indexSwitch, m_sourcesSwitch) && CheckExclusive(m_regionSizeSwitch, m_overlapSwitch);
}

bool TessaraCmdLine::CheckExclusive(const CommandLineSwitch* pFirst, const CommandLineSwitch* pSecond)
{
    if (!pFirst->IsSet() || !pSecond->IsSet())
        return true;
    SetLastError("-%s cannot be used in conjunction with -%s", pFirst->GetName().c_str(), pSecond->GetName().c_str());
    return false;
}

bool TessaraCmdLine::CheckRequires(const CommandLineSwitch* pFirst, const CommandLineSwitch* pSecond)
{
    if (!pFirst->IsSet() || pSecond->IsSet())
        return true;
    SetLastError("-%s must be used in conjunction with -%s", pFirst->GetName().c_str(), pSecond->GetName().c_str());
    return false;
}

} // namespace CmdLine
