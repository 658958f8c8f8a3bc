#pragma once

#include "core/TessaraSettings.h"
#include "model/ImageCellEngine.h"
#include "ui/TessaraWnd.h"
#include "ui/controls/GridTable.h"
#include "ui/controls/ImageTray.h"

// Also all of QtTest and Qt Widgets, which every test uses.
#include <QtTest>
#include <QtWidgets>

#include <memory>

namespace TestUtils {

// Empty when the file holds an image of the same size and ARGB32 pixels; otherwise the mismatch in words.
QString CompareImageFile(const QString& strFile, const QImage& expected);

QImage MakeImage(int nWidth, int nHeight, const QColor& color);
// Equally sized one-colour cells row by row on nCols columns; an invalid colour leaves the background.
QImage MakeCompound(const QSize& cellSize, int nCols, const QList<QColor>& cells, const QColor& background);
bool WriteImage(const QString& strFile, int nWidth, int nHeight, const QColor& color);

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
    QString File(const QString& strName) const { return m_dir.filePath(strName); }
    QString WriteText(const QString& strName, const QByteArray& text) const; // returns the path
    QByteArray ReadText(const QString& strName) const;
    QString MakeFifo(const QString& strName) const; // opening it for reading would block

private:
    QTemporaryDir m_dir;
};

// True inside a copy of this program in a fresh folder (no tesscli, no Config beside it). Elsewhere
// runs the current test function in such a copy, fails the test if the copy fails, and is false.
bool InIsolatedCopy();

// Base of the main-window tests: a window (a fresh one on its own engine, or the core's) and its named parts.
class WindowTest : public QObject
{
protected:
    // Closes the previous own window and opens a fresh one, shown and exposed when bShow.
    bool OpenWindow(bool bShow);
    void UseWindow(UI::TessaraWnd* pWindow) { m_window = pWindow; }
    void CloseWindow();

    template <typename T>
    T* Find(const char* pName) const
    {
        return Child<T>(m_window, pName);
    }
    QAction* Action(const char* pName) const { return Find<QAction>(pName); }
    UI::Controls::GridTable* Grid() const { return Find<UI::Controls::GridTable>("imageGrid"); }
    UI::Controls::ImageTray* Tray() const { return Find<UI::Controls::ImageTray>("imageTray"); }
    // The settings the window would save or pass to tesscli.
    Core::TessaraSettings Filled() const;

    Sandbox m_sandbox;
    std::unique_ptr<Model::ImageCellEngine> m_engine;
    std::unique_ptr<UI::TessaraWnd> m_ownWindow;
    UI::TessaraWnd* m_window = nullptr;
};

} // namespace TestUtils
