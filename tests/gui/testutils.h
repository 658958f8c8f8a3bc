#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "core/TessaraSettings.h"

#include <memory>

class QAction;
namespace Engine {
class ImageCellEngine;
}
namespace UI {
class TessaraWnd;
namespace Controls {
class ImageGrid;
class ImageTray;
class MainStatusBar;
} // namespace Controls
} // namespace UI

namespace TestUtils {

// Empty string when both images have the same size and pixels (compared as ARGB32); otherwise a
// readable reason naming the size mismatch or the first differing pixel and both colours.
QString CompareImages(const QImage& actual, const QImage& expected);
// Loads strFile and compares it; a file that cannot be read is reported as such.
QString CompareImageFile(const QString& strFile, const QImage& expected);

// An image of nWidth x nHeight filled with one colour.
QImage MakeImage(int nWidth, int nHeight, const QColor& color);
// The compound of equally sized one-colour cells laid out row by row on nCols columns; an invalid
// colour leaves its place in the background colour.
QImage MakeCompound(const QSize& cellSize, int nCols, const QList<QColor>& cells, const QColor& background);
// Saves a filled image as strFile (format from the extension); fails the caller's check when false.
bool WriteImage(const QString& strFile, int nWidth, int nHeight, const QColor& color);
// A filled JPEG stored nWidth x nHeight whose EXIF orientation (6) asks for a quarter turn clockwise.
bool WriteTurnedJpeg(const QString& strFile, int nWidth, int nHeight);

// The named child of pParent; a missing one ends the program, as every later check would be void.
template <typename T>
T* Child(const QObject* pParent, const char* pName)
{
    T* pChild = pParent->findChild<T*>(QString::fromLatin1(pName));
    if (!pChild)
        qFatal("%s has no %s", pParent->metaObject()->className(), pName);
    return pChild;
}

// A fresh temporary folder, removed with the object.
class Sandbox
{
public:
    QString Path() const { return m_dir.path(); }
    // strName inside the folder.
    QString File(const QString& strName) const { return m_dir.filePath(strName); }
    // Writes a text file (UTF-8) and returns its path.
    QString WriteText(const QString& strName, const QByteArray& text) const;
    QByteArray ReadText(const QString& strName) const;
    // Makes a FIFO (named pipe) and returns its path; opening it for reading would block.
    QString MakeFifo(const QString& strName) const;

private:
    QTemporaryDir m_dir;
};

// Runs strTestFunction of this test program from a copy in a fresh folder, so that the code under
// test sees a program directory of its own (no tesscli, no Config). Returns the copy's output when
// it fails, an empty string when it passes. The copy itself sees InIsolatedCopy() == true.
QString RunIsolatedCopy(const QString& strTestFunction);
bool InIsolatedCopy();

// Base of the main-window tests: a window (a fresh one on its own engine, or the core's) and its named parts.
class WindowTest : public QObject
{
protected:
    // Closes the previous own window and opens a fresh one, shown and exposed when bShow.
    bool OpenWindow(bool bShow);
    void UseWindow(UI::TessaraWnd* pWindow) { m_pWindow = pWindow; }
    void CloseWindow();

    template <typename T>
    T* Find(const char* pName) const
    {
        return Child<T>(WindowObject(), pName);
    }
    QAction* Action(const char* pName) const;
    UI::Controls::ImageGrid* Grid() const;
    UI::Controls::ImageTray* Tray() const;
    UI::Controls::MainStatusBar* StatusBar() const;
    // The settings the window would save or pass to tesscli.
    Core::TessaraSettings Filled() const;

    Sandbox m_sandbox;
    std::unique_ptr<Engine::ImageCellEngine> m_pEngine;
    std::unique_ptr<UI::TessaraWnd> m_pOwnWindow;
    UI::TessaraWnd* m_pWindow = nullptr;

private:
    // The window as a QObject, so that this header needs no window class.
    const QObject* WindowObject() const;
};

} // namespace TestUtils
