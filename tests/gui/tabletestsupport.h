#pragma once

// Helpers shared by the cell-model and image-table tests: readable layouts instead of pointer checks.

#include "model/ImageCell.h"
#include "model/ImageCellEngine.h"
#include "testutils.h"
#include "ui/controls/GridTable.h"
#include "ui/controls/ImageTableItem.h"
#include "ui/controls/ImageTableWidget.h"
#include "ui/controls/ImageTray.h"

namespace TableTest {
inline QString Name(const Model::ImageCell* pCell)
{
    return QFileInfo(pCell->GetFilename()).completeBaseName();
}

// One PNG per name ("a" becomes a.png in the sandbox), all of the same size.
inline QStringList WriteImages(const TestUtils::Sandbox& sandbox, const QStringList& names)
{
    QStringList files;
    for (const QString& strName : names) {
        files << sandbox.File(strName + ".png");
        if (!TestUtils::WriteImage(files.last(), 40, 30, Qt::darkCyan))
            qFatal("cannot write %s", qPrintable(files.last()));
    }
    return files;
}

// "a b* - | K c -": cell names ("*" when the place is also reserved), "-" empty, "K" keep-empty; rows split by "|".
inline QString Layout(const UI::Controls::ImageTableWidget& table)
{
    QStringList rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < table.columnCount(); ++c) {
            const UI::Controls::ImageTableItem* pItem = table.Item(r, c);
            if (pItem->GetCell())
                row << Name(pItem->GetCell()) + (pItem->IsKeepEmpty() ? "*" : "");
            else
                row << (pItem->IsKeepEmpty() ? "K" : "-");
        }
        rows << row.join(' ');
    }
    return rows.join(" | ");
}

inline QString Names(const Model::ImageCellEngine& engine, Model::ImageCellEngine::CellContainer container)
{
    QStringList names;
    for (int i = 0; i < engine.GetCellCount(container); ++i)
        names << Name(engine.GetCell(container, i));
    return names.join(' ');
}

// Cells whose recorded grid location disagrees with where the grid shows them (tray cells must show nowhere).
inline QString LocationMismatches(const Model::ImageCellEngine& engine, const UI::Controls::ImageTableWidget& grid)
{
    QStringList names;
    for (auto container : {Model::ImageCellEngine::CellBasket, Model::ImageCellEngine::CellTray}) {
        for (int i = 0; i < engine.GetCellCount(container); ++i) {
            const Model::ImageCell* pCell = engine.GetCell(container, i);
            const UI::Controls::ImageTableItem* pItem = grid.FindItem(pCell);
            if ((pItem ? QPoint(pItem->column(), pItem->row()) : QPoint(-1, -1))
                != QPoint(pCell->GetGridCol(), pCell->GetGridRow()))
                names << Name(pCell);
        }
    }
    return names.join(' ');
}

// Selects exactly the items at these (column, row) points.
inline void Select(UI::Controls::ImageTableWidget& table, const QList<QPoint>& positions)
{
    table.clearSelection();
    for (const QPoint& position : positions)
        table.Item(position.y(), position.x())->setSelected(true);
}

// Presses on the source item at (column, row), moves a little (which starts the drag) and, from inside the
// drag's own event loop, moves over the centre of the target item and releases.
inline void MouseDrag(UI::Controls::ImageTableWidget* pSource, const QPoint& fromItem,
                      UI::Controls::ImageTableWidget* pTarget, const QPoint& toItem,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPoint from = pSource->visualItemRect(pSource->Item(fromItem.y(), fromItem.x())).center();
    const QPoint to = pTarget->visualItemRect(pTarget->Item(toItem.y(), toItem.x())).center();
    const auto send = [](UI::Controls::ImageTableWidget* pTable, QEvent::Type type, const QPoint& pos,
                         Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = {}) {
        QMouseEvent event(type, pos, pTable->viewport()->mapToGlobal(pos), button, buttons, modifiers);
        QApplication::sendEvent(pTable->viewport(), &event);
    };
    bool bDragRan = false;
    QTimer::singleShot(0, pTarget, [&] {
        bDragRan = true;
        send(pTarget, QEvent::MouseMove, to - QPoint(1, 0), Qt::NoButton, Qt::LeftButton);
        send(pTarget, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        send(pTarget, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    });
    send(pSource, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, modifiers);
    send(pSource, QEvent::MouseMove, from + QPoint(3, 3), Qt::NoButton, Qt::LeftButton, modifiers);
    if (!bDragRan) {
        // No drag started: let the queued moves run (as plain mouse moves) and end the press.
        QCoreApplication::processEvents();
        send(pSource, QEvent::MouseButtonRelease, from, Qt::LeftButton, Qt::NoButton);
    }
}

// A grid above a tray in one window, both following one engine, as in the editor.
struct Tables
{
    Tables()
    {
        auto* pLayout = new QVBoxLayout(&m_window);
        pLayout->addWidget(m_grid = new UI::Controls::GridTable(&m_window));
        pLayout->addWidget(m_tray = new UI::Controls::ImageTray(&m_window));
        m_ready = m_grid->InitGridTable(&m_engine) && m_tray->InitImageTray(&m_engine);
        m_grid->SetImageSize(64);
        m_tray->SetImageSize(64);
        m_window.resize(800, 600);
    }

    // Sets up grid and tray from layouts written as Layout() prints them ("a b | K -"): the grid's cells are
    // created as from project rows, where "-" and "K" are spelt in any case; then the tray's cells, in order.
    bool Arrange(const TestUtils::Sandbox& sandbox, const QString& strGrid, const QString& strTray = QString())
    {
        QList<QStringList> rows;
        for (const QString& strRow : strGrid.split(" | ")) {
            QStringList row;
            for (const QString& strToken : strRow.split(' '))
                row << (strToken == "-" ? "none" : strToken == "K" ? "KEEPEMPTY" : WriteImages(sandbox, {strToken})[0]);
            rows << row;
        }
        if (!m_ready || !m_engine.CreateCells(rows) || !m_grid->Resize(int(rows.size()), int(rows[0].size()), true))
            return false;
        m_grid->SetKeepEmptyCells(rows);
        return strTray.isEmpty() || m_engine.CreateCells(WriteImages(sandbox, strTray.split(' ')), -1, -1);
    }
    // Shows the window active, for drags and shortcuts.
    bool Show()
    {
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        return QTest::qWaitForWindowActive(&m_window);
    }
    QString LocationMismatches() const { return TableTest::LocationMismatches(m_engine, *m_grid); }

    Model::ImageCellEngine m_engine;
    QWidget m_window;
    UI::Controls::GridTable* m_grid;
    UI::Controls::ImageTray* m_tray;
    bool m_ready = false;
};
} // namespace TableTest
