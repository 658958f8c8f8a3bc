#pragma once

#include "codecs/ScanlineWriter.h"

#include <memory>
#include <string>

namespace Codecs {

// The format a streaming writer would write for this output file, as ImageMagick picks it by
// the extension: "PNG", "JPEG", "TIFF", "DZI" (a DeepZoom pyramid, which ImageMagick does not
// write), or empty when no streaming writer knows it.
std::string StreamingFormatName(const std::string& strOutputFile);

// The writer that makes exactly the file (the same decoded pixels and the same encoder
// settings) ImageMagick would make of the whole canvas with these options; nullptr when the
// format or any option is one a streaming writer cannot honour exactly, and the whole-canvas
// path must write the file. A pyramid writer is the exception: it writes what no other path can.
std::unique_ptr<ScanlineWriter> CreateStreamingWriter(const std::string& strOutputFile, const OutputOptions& options);

// Whether the output asks for a pyramid (a DeepZoom name, or a TIFF with the define "tiff
// pyramid" true), which only CreateStreamingWriter's writers make: without one, the run fails.
bool IsPyramidOutput(const std::string& strOutputFile, const OutputOptions& options);
// What the pyramid writer of that output accepts, for the message when it refuses the options.
std::string PyramidOptionsHelp(const std::string& strOutputFile);

} // namespace Codecs
