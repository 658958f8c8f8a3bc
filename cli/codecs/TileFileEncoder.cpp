#include "codecs/TileFileEncoder.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace Codecs {

namespace {
// An open file that closes itself; Close reports what a failed flush says.
class OutputFile
{
public:
    explicit OutputFile(const std::string& strPath) : m_file(std::fopen(strPath.c_str(), "wb")) {}
    ~OutputFile()
    {
        if (m_file)
            std::fclose(m_file);
    }
    FILE* Get() const { return m_file; }
    bool Close()
    {
        FILE* pFile = m_file;
        m_file = nullptr;
        return std::fclose(pFile) == 0;
    }

private:
    FILE* m_file;
};

std::string Failure(const std::string& strPath, const char* pszReason)
{
    return "Cannot write " + strPath + ": " + pszReason;
}

// Separate from the caller's frame: nothing there may change between setjmp and longjmp.
bool CompressJpeg(jpeg_compress_struct& jpeg, JpegErrorExit& error, FILE* pFile, const TileFileEncoder::Tile& tile,
                  const JpegSettings& settings)
{
    if (setjmp(error.jump))
        return false;
    jpeg_stdio_dest(&jpeg, pFile);
    settings.Apply(jpeg, tile.width, tile.height, tile.channels);
    jpeg_start_compress(&jpeg, TRUE);
    for (int nRow = 0; nRow < tile.height; ++nRow) {
        JSAMPROW pRow = const_cast<JSAMPROW>(tile.first + nRow * tile.stride);
        jpeg_write_scanlines(&jpeg, &pRow, 1);
    }
    jpeg_finish_compress(&jpeg);
    return true;
}

void OnPngError(png_structp pPng, png_const_charp pszMessage)
{
    auto* pMessage = static_cast<std::string*>(png_get_error_ptr(pPng));
    *pMessage = pszMessage;
    png_longjmp(pPng, 1);
}

bool CompressPng(png_structp pPng, png_infop pInfo, FILE* pFile, const TileFileEncoder::Tile& tile)
{
    static const int c_colorTypes[] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB,
                                       PNG_COLOR_TYPE_RGB_ALPHA};
    if (setjmp(png_jmpbuf(pPng)))
        return false;
    png_init_io(pPng, pFile);
    png_set_IHDR(pPng, pInfo, static_cast<png_uint_32>(tile.width), static_cast<png_uint_32>(tile.height), 8,
                 c_colorTypes[tile.channels - 1], PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(pPng, pInfo);
    for (int nRow = 0; nRow < tile.height; ++nRow)
        png_write_row(pPng, tile.first + nRow * tile.stride);
    png_write_end(pPng, pInfo);
    return true;
}
} // namespace

bool TileFileEncoder::WriteJpeg(const std::string& strPath, const Tile& tile, const JpegSettings& settings,
                                std::string& strError)
{
    OutputFile file(strPath);
    if (!file.Get()) {
        strError = Failure(strPath, std::strerror(errno));
        return false;
    }
    jpeg_compress_struct jpeg{};
    JpegErrorExit error{};
    jpeg.err = error.Install();
    jpeg_create_compress(&jpeg);
    const bool bCompressed = CompressJpeg(jpeg, error, file.Get(), tile, settings);
    jpeg_destroy_compress(&jpeg);
    if (!bCompressed) {
        strError = Failure(strPath, error.message);
        return false;
    }
    if (!file.Close()) {
        strError = Failure(strPath, std::strerror(errno));
        return false;
    }
    return true;
}

bool TileFileEncoder::WritePng(const std::string& strPath, const Tile& tile, std::string& strError)
{
    OutputFile file(strPath);
    if (!file.Get()) {
        strError = Failure(strPath, std::strerror(errno));
        return false;
    }
    std::string strMessage;
    png_structp pPng =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &strMessage, OnPngError, [](png_structp, png_const_charp) {});
    png_infop pInfo = pPng ? png_create_info_struct(pPng) : nullptr;
    const bool bCompressed = pInfo && CompressPng(pPng, pInfo, file.Get(), tile);
    png_destroy_write_struct(&pPng, &pInfo);
    if (!bCompressed) {
        strError = Failure(strPath, strMessage.empty() ? "out of memory" : strMessage.c_str());
        return false;
    }
    if (!file.Close()) {
        strError = Failure(strPath, std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace Codecs
