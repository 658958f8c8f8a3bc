#include "misc/ImgUtils.h"

namespace Misc {

QSize GetAdjustedImageSize(const QSize& size, int nMaxDimension)
{
    const int nWidth = size.width();
    const int nHeight = size.height();
    if (nWidth <= nMaxDimension && nHeight <= nMaxDimension)
        return size;
    if (nWidth == nHeight)
        return QSize(nMaxDimension, nMaxDimension);
    if (nHeight < nWidth)
        return QSize(nMaxDimension, static_cast<int>(nMaxDimension * (static_cast<double>(nHeight) / nWidth)));
    return QSize(static_cast<int>(nMaxDimension * (static_cast<double>(nWidth) / nHeight)), nMaxDimension);
}

QString GetCommonImageFormatFilter(bool bForSaving)
{
    if (bForSaving)
        return QStringLiteral("PNG (*.png);;Bitmap (*.bmp);;JPEG (*.jpg);;Tiff (*.tif);;OpenEXR (*.exr);;"
                              "Gif (*.gif);;Photoshop (*.psd);;Targa (*.tga);;DeepZoom pyramid (*.dzi)");
    return QStringLiteral("Images (*.png *.bmp *.jpg *.jpeg *.tif *.tiff *.exr *.hdr *.gif *.psd *.tga)");
}

} // namespace Misc
