#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QSignalSpy>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace TestUtils
{

// Empty string when both images have the same size and pixels (compared as ARGB32); otherwise a
// readable reason naming the size mismatch or the first differing pixel and both colours.
QString CompareImages(const QImage& actual, const QImage& expected);
// Loads strFile and compares it; a file that cannot be read is reported as such.
QString CompareImageFile(const QString& strFile, const QImage& expected);

// An image of nWidth x nHeight filled with one colour.
QImage MakeImage(int nWidth, int nHeight, const QColor& color);
// Saves a filled image as strFile (format from the extension); fails the caller's check when false.
bool WriteImage(const QString& strFile, int nWidth, int nHeight, const QColor& color);

// Waits until spy has recorded at least nCount signals, processing events; gives up after
// nTimeoutMs (a hard limit, never a fixed sleep). Returns whether the count was reached.
bool WaitForSignals(QSignalSpy& spy, int nCount = 1, int nTimeoutMs = 10000);

// A fresh temporary folder removed with the object.
class Sandbox
{
public:
    Sandbox();
    bool IsValid() const { return m_dir.isValid(); }
    QString Path() const { return m_dir.path(); }
    // strName inside the folder.
    QString File(const QString& strName) const { return m_dir.filePath(strName); }
    // Writes a text file (UTF-8) and returns its path.
    QString WriteText(const QString& strName, const QByteArray& text) const;
    QByteArray ReadText(const QString& strName) const;

private:
    QTemporaryDir m_dir;
};

// Runs strTestFunction of this test program from a copy in a fresh folder, so that the code under
// test sees a program directory of its own (no tesscli, no Config). Returns the copy's output when
// it fails, an empty string when it passes. The copy itself sees InIsolatedCopy() == true.
QString RunIsolatedCopy(const QString& strTestFunction);
bool InIsolatedCopy();

// The built tesscli and the folder both programs land in.
QString TesscliPath();
QString BinaryDirectory();

}  // namespace TestUtils
