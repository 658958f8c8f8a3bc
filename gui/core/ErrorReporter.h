#pragma once

#include <QString>

namespace Core {

// A main window that shows the errors the core passes on; the core knows the window only by this.
class ErrorReporter
{
public:
    virtual ~ErrorReporter() = default;

    // bToStatusBar: a line in the status bar rather than a message box.
    virtual void ReportError(const QString& strMessage, bool bToStatusBar) = 0;
};

} // namespace Core
