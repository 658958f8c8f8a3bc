#include "misc/Object.h"

#include "misc/Format.h"

#include <cstdarg>

void Object::SetLastError(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    m_lastError = Misc::FormatV(format, args);
    va_end(args);
}
