#include "data/ImageCompressions.h"

namespace Data {

ImageCompressions::ImageCompressions()
{
    AddEntry("None", 1);
    AddEntry("BZip", 2);
    AddEntry("Fax", 6);
    AddEntry("Group4", 7);
    AddEntry("JPEG", 8);
    AddEntry("LZW", 11);
    AddEntry("RLE", 12);
    AddEntry("Zip", 13);
}

const ImageCompressions& ImageCompressions::Instance()
{
    static const ImageCompressions s_table;
    return s_table;
}

} // namespace Data
