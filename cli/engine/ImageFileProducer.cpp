#include "engine/ImageFileProducer.h"

#include <Magick++.h>

namespace Engine {

Codecs::ReplacingFileWriter::Producer ImageFileProducer(Magick::Image& image)
{
    return [&image](const std::string& strTemporary, std::string& strError) {
        try {
            // The name is taken as it is: the library would otherwise fill in a "%d" in it with
            // the scene number and write a file other than the one we rename.
            image.defineValue("filename", "literal", "true");
            image.write(strTemporary);
        } catch (const Magick::Warning&) {
            // Written; the warning only notes something the format could not hold.
        } catch (const Magick::Exception& e) {
            strError = e.what();
            return false;
        }
        return true;
    };
}

} // namespace Engine
