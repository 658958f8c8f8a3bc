#include "codecs/DeepZoomViewerPage.h"

#include "TessaraContract.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace Codecs {

// Embedded at build time from third_party/openseadragon (cli/EmbedText.cmake).
extern const char kOpenSeadragonScript[];
extern const char kOpenSeadragonLicence[];

namespace {

// Every byte but the unreserved ones percent-encoded: a valid URL path segment whatever the name
// holds (spaces, '#', '%', quotes, non-ASCII), and safe inside a JavaScript string.
std::string EncodeUrlSegment(const std::string& strName)
{
    static const char s_hex[] = "0123456789ABCDEF";
    std::string strEncoded;
    for (const unsigned char c : strName) {
        if (std::isalnum(c) || std::strchr("-._~", c))
            strEncoded += static_cast<char>(c);
        else
            strEncoded += {'%', s_hex[c >> 4], s_hex[c & 15]};
    }
    return strEncoded;
}

std::string EscapeHtml(const std::string& strText)
{
    std::string strEscaped;
    for (const char c : strText) {
        switch (c) {
        case '&':
            strEscaped += "&amp;";
            break;
        case '<':
            strEscaped += "&lt;";
            break;
        case '>':
            strEscaped += "&gt;";
            break;
        default:
            strEscaped += c;
        }
    }
    return strEscaped;
}

// The page up to its title, and from there to the inlined OpenSeadragon, which follows its licence.
const char* const kPageHead = R"html(<!DOCTYPE html>
<html lang="en" data-tiles="loading">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>)html";
const char* const kPageBody = R"html(</title>
<style>
html, body { margin: 0; height: 100%; background: #222; }
#viewer { position: absolute; inset: 0; }
</style>
</head>
<body>
<div id="viewer"></div>
<script>
/*
)html";

// Reads the place to show from the address, applies it once the pyramid is open, and writes the
// view back into the address after every move. The navigation buttons are hidden: their images
// would have to be fetched; mouse, touch and keyboard (+, -, 0, arrows) still work.
const char* const kViewerScript = R"js(
var params = new URLSearchParams(location.hash.slice(1) || location.search.slice(1));
var viewer = OpenSeadragon({element: document.getElementById("viewer"), tileSources: pyramid,
    drawer: "canvas", showNavigationControl: false});
viewer.addHandler("open", function () {
    var viewport = viewer.viewport;
    var zoom = parseFloat(params.get("zoom")), x = parseFloat(params.get("x")), y = parseFloat(params.get("y"));
    if (zoom > 0)
        viewport.zoomTo(viewport.imageToViewportZoom(zoom), null, true);
    if (isFinite(x) && isFinite(y))
        viewport.panTo(viewport.imageToViewportCoordinates(x, y), true);
    viewer.world.getItemAt(0).addHandler("fully-loaded-change", function (event) {
        document.documentElement.dataset.tiles = event.fullyLoaded ? "loaded" : "loading";
    });
});
viewer.addHandler("animation-finish", function () {
    var viewport = viewer.viewport, centre = viewport.viewportToImageCoordinates(viewport.getCenter());
    history.replaceState(null, "", "#x=" + Math.round(centre.x) + "&y=" + Math.round(centre.y) +
        "&zoom=" + +viewport.viewportToImageZoom(viewport.getZoom()).toPrecision(3));
});
</script>
</body>
</html>
)js";

// The descriptor's values as OpenSeadragon takes them from a .dzi file.
std::string PyramidScript(const std::string& strName, const DeepZoomLayout& layout)
{
    const auto quoted = [](int nValue) { return "\"" + std::to_string(nValue) + "\""; };
    return "var pyramid = {Image: {xmlns: \"http://schemas.microsoft.com/deepzoom/2008\", Url: \""
           + EncodeUrlSegment(strName + "_files") + "/\", Format: \"" + EncodeUrlSegment(layout.format)
           + "\", Overlap: " + quoted(layout.overlap) + ", TileSize: " + quoted(layout.tileSize)
           + ", Size: {Width: " + quoted(layout.width) + ", Height: " + quoted(layout.height) + "}}};";
}

std::string MakePage(const std::string& strName, const DeepZoomLayout& layout)
{
    return kPageHead + EscapeHtml(strName) + kPageBody + kOpenSeadragonLicence + "*/\n" + kOpenSeadragonScript
           + "\n</script>\n<script>\n" + PyramidScript(strName, layout) + kViewerScript;
}

} // namespace

std::string DeepZoomViewerPage::PagePathFor(const std::string& strDescriptor)
{
    return std::filesystem::path(strDescriptor).replace_extension(Contract::DeepZoom::kViewerPageExtension).string();
}

bool DeepZoomViewerPage::Write(const std::string& strDescriptor, const DeepZoomLayout& layout)
{
    const std::string strPath = PagePathFor(strDescriptor);
    const std::string strPage = MakePage(std::filesystem::path(strDescriptor).stem().string(), layout);
    std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
    if (file.write(strPage.data(), static_cast<std::streamsize>(strPage.size())).flush())
        return true;
    SetLastError("Cannot write the viewer page %s: %s", strPath.c_str(), std::strerror(errno));
    return false;
}

} // namespace Codecs
