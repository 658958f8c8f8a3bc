#pragma once

#include <cstdarg>
#include <string>

namespace Misc {

// printf-style formatting into a std::string of any length.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* format, va_list args);

// strText with every control character (below 0x20, and 0x7f) written as a backslash escape (\n, \t,
// \x1b), so that a file name cannot start a line or move the cursor in tesscli's
// output. Applying it twice changes nothing more.
std::string Printable(const std::string& strText);

// A library's description of a failure without the source location it appends
// (" @ error/tiff.c/ReadTIFFImage/1234"), which tells a user nothing.
std::string WithoutSourceLocation(const std::string& strMessage);
// strMessage and under it, indented by four more blanks, why: strReason made printable. Without a
// reason, strMessage alone.
std::string WithReason(const std::string& strMessage, const std::string& strReason);

} // namespace Misc
