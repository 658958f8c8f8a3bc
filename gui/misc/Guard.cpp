#include "misc/Guard.h"

#include "misc/AppDirectories.h"
#include "misc/VersionUtils.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTextStream>
#include <QTime>

namespace Misc {

QStringList g_guardCallStack;

namespace {
QString GuardText(const char* pText)
{
    return QCoreApplication::translate("Global", pText);
}

QString CallStackLine()
{
    return g_guardCallStack.join(QStringLiteral("<-"));
}
} // namespace

void Guard_Exception(std::string_view strFunctionName)
{
    g_guardCallStack.append(QString::fromLatin1(strFunctionName.data(), qsizetype(strFunctionName.size())));
}

bool Guard_WriteErrorLog(const QString& strLogFile)
{
    QFile file(strLogFile);
    if (!file.open(QIODevice::Append | QIODevice::Text))
        return false;
    const QString strHeader =
        QStringLiteral("< %1: %2 >").arg(Misc::GetVersionString(true), QTime::currentTime().toString(Qt::TextDate));
    QTextStream(&file) << QStringLiteral("%1\nA function resulted in a fatal error. Call stack:\n%2\n\n")
                              .arg(strHeader, CallStackLine());
    return true;
}

QString Guard_FatalErrorText()
{
    const QString strInnermost = g_guardCallStack.isEmpty() ? QString() : g_guardCallStack.first();
    return QStringLiteral("<h3>") + GuardText("Fatal error - Tessara needs to terminate") + QStringLiteral("</h3>")
           + QStringLiteral("<b>") + GuardText("The following function resulted in a fatal error:")
           + QStringLiteral("</b>") + QStringLiteral("<blockquote><font color='red'>") + strInnermost.toHtmlEscaped()
           + QStringLiteral("</font></blockquote>") + QStringLiteral("<b>") + GuardText("Call stack:")
           + QStringLiteral("</b>") + QStringLiteral("<blockquote>") + CallStackLine().toHtmlEscaped()
           + QStringLiteral("</blockquote><br>") + GuardText("The error has been logged to")
           + QStringLiteral(" <font color='blue'>error.log</font> ") + GuardText("in the application directory.");
}

void Guard_FatalError()
{
    Guard_WriteErrorLog(AppDirectories::GetErrorLogFile());
    // Without an application object (failure before it existed) no box can be shown.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QMessageBox::critical(nullptr, GuardText("Fatal error"), Guard_FatalErrorText());
}

} // namespace Misc
