#include "codecs/JpegSettings.h"

#include "misc/TextCase.h"

#include <algorithm>
#include <utility>

namespace Codecs {

J_DCT_METHOD JpegSettings::DctMethodNamed(const std::string& strName, J_DCT_METHOD fallback)
{
    static const std::pair<const char*, J_DCT_METHOD> c_methods[] = {
        {"default", JDCT_DEFAULT}, {"fastest", JDCT_FASTEST}, {"float", JDCT_FLOAT},
        {"ifast", JDCT_IFAST},     {"islow", JDCT_ISLOW},
    };
    for (const auto& [pszName, method] : c_methods)
        if (Misc::EqualsNoCase(strName, pszName))
            return method;
    return fallback;
}

void JpegSettings::Apply(jpeg_compress_struct& jpeg, int nWidth, int nHeight, int nComponents) const
{
    jpeg.image_width = static_cast<JDIMENSION>(nWidth);
    jpeg.image_height = static_cast<JDIMENSION>(nHeight);
    jpeg.input_components = nComponents;
    jpeg.in_color_space = nComponents == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&jpeg);
    jpeg_set_quality(&jpeg, quality, TRUE);
    if (fullChroma) {
        for (int i = 0; i < MAX_COMPONENTS; ++i) {
            jpeg.comp_info[i].h_samp_factor = 1;
            jpeg.comp_info[i].v_samp_factor = 1;
        }
    }
    jpeg.dct_method = dctMethod;
    jpeg.optimize_coding = optimizeCoding ? TRUE : FALSE;
}

void JpegSettings::WriteComment(jpeg_compress_struct& jpeg) const
{
    // ImageMagick splits a long comment into markers of at most 65533 bytes.
    for (size_t nAt = 0; nAt < comment.size(); nAt += 65533) {
        const size_t nLength = std::min<size_t>(65533, comment.size() - nAt);
        jpeg_write_marker(&jpeg, JPEG_COM, reinterpret_cast<const JOCTET*>(comment.data() + nAt),
                          static_cast<unsigned>(nLength));
    }
}

jpeg_error_mgr* JpegErrorExit::Install()
{
    jpeg_std_error(&base);
    base.error_exit = [](j_common_ptr pInfo) {
        auto* pError = reinterpret_cast<JpegErrorExit*>(pInfo->err);
        pInfo->err->format_message(pInfo, pError->message);
        longjmp(pError->jump, 1);
    };
    base.output_message = [](j_common_ptr) {};
    return &base;
}

} // namespace Codecs
