#pragma once

#include <QString>
#include <QStringList>

#include <utility>

// Functions an escaping exception travelled through, innermost first. GUI thread only.
extern QStringList g_guardCallStack;

// Records that an exception left pFunctionName ("Class::Function").
void Guard_Exception(const char* pFunctionName);

// Appends the fatal-error entry to "error.log" beside the editor and shows the fatal-error box.
void Guard_FatalError();

// The two halves of Guard_FatalError, kept apart so each can be checked without a modal box.
bool Guard_WriteErrorLog(const QString& strLogFile);
QString Guard_FatalErrorText();

// Runs fnBody; an exception passing through is recorded under pFunctionName and rethrown.
// Usage: return Guard_Run("TessaraOptions::AddRecentProject", [&] { ... });
template <typename TBody>
decltype(auto) Guard_Run(const char* pFunctionName, TBody&& fnBody)
{
    try
    {
        return std::forward<TBody>(fnBody)();
    }
    catch (...)
    {
        Guard_Exception(pFunctionName);
        throw;
    }
}
