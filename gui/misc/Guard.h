#pragma once

#include <QString>
#include <QStringList>

#include <string_view>
#include <utility>

namespace Misc {

// Functions an escaping exception travelled through, innermost first. GUI thread only.
extern QStringList g_guardCallStack;

// Records that an exception left strFunctionName ("Class::Function").
void Guard_Exception(std::string_view strFunctionName);

// Appends the fatal-error entry to "error.log" beside the editor and shows the fatal-error box.
void Guard_FatalError();

// The two halves of Guard_FatalError, kept apart so each can be checked without a modal box.
bool Guard_WriteErrorLog(const QString& strLogFile);
QString Guard_FatalErrorText();

// "Class::Function" out of the compiler's full signature of a member function: the qualified
// name before the parameter list, without namespaces and return type.
constexpr std::string_view Guard_FunctionName(std::string_view strSignature)
{
    const std::string_view strHead = strSignature.substr(0, strSignature.find('('));
    const std::size_t nNameStart = strHead.find_last_of(' ') + 1;
    const std::string_view strQualified = strHead.substr(nNameStart);
    const std::size_t nFunction = strQualified.rfind("::");
    if (nFunction == std::string_view::npos)
        return strQualified;
    const std::size_t nClass = strQualified.rfind("::", nFunction - 1);
    return nClass == std::string_view::npos ? strQualified : strQualified.substr(nClass + 2);
}

// Runs fnBody; an exception passing through is recorded under strFunctionName and rethrown.
template <typename TBody>
decltype(auto) Guard_Run(std::string_view strFunctionName, TBody&& fnBody)
{
    try {
        return std::forward<TBody>(fnBody)();
    } catch (...) {
        Guard_Exception(strFunctionName);
        throw;
    }
}

} // namespace Misc

// Guard_Run under the name of the enclosing member function.
// Usage: return GUARD_RUN([&] { ... });
#define GUARD_RUN(...) Misc::Guard_Run(Misc::Guard_FunctionName(__PRETTY_FUNCTION__), __VA_ARGS__)
