#pragma once

#include "misc/Object.h"

#include <string>

namespace Codecs {

// What a DeepZoom descriptor says of its pyramid: the full image size and how the tiles are cut.
struct DeepZoomLayout
{
    int width = 0;
    int height = 0;
    int tileSize = 254;
    int overlap = 1;
    std::string format = "jpg"; // the tiles' extension
};

// Writes the web page that shows a DeepZoom pyramid ("mosaic.html" beside "mosaic.dzi" and its
// "mosaic_files"). OpenSeadragon and the descriptor's values are inside the page, so it needs no
// network and opens from file:// too, where browsers refuse to fetch the descriptor. The page
// opens at "#x=..&y=..&zoom=.." when given (image pixels; zoom 1 shows them 1:1), keeps that
// address up to date as the view moves, and marks its <html> data-tiles="loaded" once every tile
// of the view is drawn.
class DeepZoomViewerPage : public Object
{
public:
    // Writes the page beside strDescriptor, which must carry the final name: in the hidden folder the
    // pyramid is built in, so that the page is moved into place with it.
    bool Write(const std::string& strDescriptor, const DeepZoomLayout& layout);

    static std::string PagePathFor(const std::string& strDescriptor);
};

} // namespace Codecs
