#include "tabletestsupport.h"
#include "ui/controls/ImageTableDelegate.h"

#include <QAction>
#include <QPainter>
#include <QtTest>

using Engine::ImageCell;
using Engine::ImageCellEngine;
using UI::Controls::ImageTableDelegate;
using UI::Controls::ImageTableWidget;

class TestImageTableWidget : public QObject
{
    Q_OBJECT

private:
    TestUtils::Sandbox m_sandbox;
    ImageCellEngine m_engine;

    ImageCell* MakeCell(const QString& strName, const QSize& size, const QColor& color = Qt::darkGreen)
    {
        return TableTest::MakeCell(m_engine, m_sandbox, strName, size, color);
    }

    // A table of nRows x nCols items, all empty.
    std::unique_ptr<ImageTableWidget> MakeTable(int nRows, int nCols,
                                                ImageTableWidget::ImageTableType type = ImageTableWidget::TableGrid)
    {
        auto pTable = std::make_unique<ImageTableWidget>();
        pTable->InitImageTable(type, &m_engine);
        pTable->setRowCount(nRows);
        pTable->setColumnCount(nCols);
        for (int r = 0; r < nRows; ++r)
            for (int c = 0; c < nCols; ++c)
                pTable->CreateItem(r, c);
        return pTable;
    }

    // Paints one item the way the view does and returns the picture.
    static QImage PaintItem(const ImageTableWidget& table, int nRow, int nCol, QStyle::State state, const QSize& size)
    {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        QStyleOptionViewItem option;
        option.rect = QRect(QPoint(0, 0), size);
        option.state = state;
        option.palette.setColor(QPalette::Base, Qt::white);
        table.GetDelegate().paint(&painter, option, table.model()->index(nRow, nCol));
        return image;
    }

private slots:
    void cellsAreSizedFromThumbnails_data()
    {
        // Images per column of one row (an empty size leaves the item empty), then the expected sizes.
        QTest::addColumn<QList<QSize>>("images");
        QTest::addColumn<bool>("bUnloaded");
        QTest::addColumn<bool>("bCompact");
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<int>("nHeight");
        const QList<QSize> none{{}, {}}, one{{100, 50}, {20, 90}};
        QTest::newRow("no cells") << none << false << false << QList<int>{134, 134} << 154;
        QTest::newRow("no cells, compact") << none << false << true << QList<int>{128, 128} << 128;
        QTest::newRow("cells without thumbnails") << QList<QSize>{{50, 50}, {}} << true << false << QList<int>{70, 70} << 90;
        QTest::newRow("wide thumbnail scaled, empty item takes the average")
            << QList<QSize>{{400, 100}, {}} << false << false << QList<int>{134, 134} << 58;
        QTest::newRow("small thumbnail unscaled") << one << false << false << QList<int>{106, 26} << 116;
        QTest::newRow("compact uses the bare thumbnails") << one << false << true << QList<int>{100, 20} << 90;
    }
    void cellsAreSizedFromThumbnails()
    {
        QFETCH(QList<QSize>, images);
        QFETCH(bool, bUnloaded);
        QFETCH(bool, bCompact);
        QFETCH(QList<int>, widths);
        QFETCH(int, nHeight);
        auto pTable = MakeTable(1, int(images.size()));
        for (int c = 0; c < images.size(); ++c)
        {
            if (images[c].isEmpty())
                continue;
            ImageCell* pCell = MakeCell(QStringLiteral("size%1.png").arg(c), images[c]);
            if (bUnloaded)
                pCell->UnloadImage();
            pTable->SetItemImageCell(pTable->Item(0, c), pCell);
        }
        pTable->SetCompactView(bCompact);
        QList<int> actualWidths;
        for (int c = 0; c < pTable->columnCount(); ++c)
            actualWidths << pTable->columnWidth(c);
        QCOMPARE(actualWidths, widths);
        QCOMPARE(pTable->rowHeight(0), nHeight);
    }

    void cellsPlacedInsideAnUpdateBracketAreMeasuredWhenItCloses()
    {
        // Filling a grid re-measures the table once, at the end, not once per cell.
        auto pTable = MakeTable(1, 2);
        const int nHeightBefore = pTable->rowHeight(0);
        {
            UI::Controls::TableUpdateBlocker outer(pTable.get());
            UI::Controls::TableUpdateBlocker inner(pTable.get());
            pTable->SetItemImageCell(pTable->Item(0, 0), MakeCell("wide.png", QSize(100, 50)));
            pTable->SetItemImageCell(pTable->Item(0, 1), MakeCell("tall.png", QSize(20, 90)));
            QCOMPARE(pTable->rowHeight(0), nHeightBefore);
        }
        QCOMPARE(pTable->columnWidth(0), 106);
        QCOMPARE(pTable->columnWidth(1), 26);
        QCOMPARE(pTable->rowHeight(0), 116);
    }

    void rowFilenamesMarkEmptyPositions()
    {
        auto pTable = MakeTable(2, 3);
        ImageCell* pCell1 = MakeCell("one.png", QSize(4, 4));
        ImageCell* pCell2 = MakeCell("two.png", QSize(4, 4));
        pTable->SetItemImageCell(pTable->Item(0, 1), pCell1);
        pTable->SetItemImageCell(pTable->Item(1, 2), pCell2);
        pTable->Item(1, 0)->SetKeepEmpty(true);
        pTable->Item(1, 2)->SetKeepEmpty(true);  // an image placed on a reserved position is saved as the image
        const QList<QStringList> expected{{"None", pCell1->GetFilename(), "None"},
                                          {"KeepEmpty", "None", pCell2->GetFilename()}};
        QCOMPARE(pTable->GetRowFilenames(), expected);
        QCOMPARE(pTable->GetImageCount(), 2);
    }

    void nestedUpdateBracketsRepaintOnceAtTheEnd()
    {
        auto pTable = MakeTable(1, 1);
        pTable->EnableUpdates();  // unmatched: must not unbalance later brackets
        pTable->DisableUpdates();
        pTable->DisableUpdates();
        pTable->EnableUpdates();
        QVERIFY(!pTable->updatesEnabled());
        pTable->EnableUpdates();
        QVERIFY(pTable->updatesEnabled());

        // The engine's bulk operations bracket the table too.
        bool bDisabledDuringCreation = false;
        connect(&m_engine, &ImageCellEngine::Sig_MovedToTray, pTable.get(),
                [&] { bDisabledDuringCreation = !pTable->updatesEnabled(); });
        const QString strFile = m_sandbox.File("bulk.png");
        QVERIFY(TestUtils::WriteImage(strFile, 4, 4, Qt::red));
        QVERIFY(m_engine.CreateCells(QStringList{strFile}, -1, -1));
        QVERIFY(bDisabledDuringCreation);
        QVERIFY(pTable->updatesEnabled());
    }

    void changesAreAnnouncedAndRemovedCellsForgotten()
    {
        auto pTable = MakeTable(1, 2);
        QSignalSpy changed(pTable.get(), &ImageTableWidget::Sig_ImageTableChanged);
        ImageCell* pCell = MakeCell("gone.png", QSize(4, 4));
        pTable->SetItemImageCell(pTable->Item(0, 1), pCell);
        QCOMPARE(changed.count(), 1);
        m_engine.Remove(pCell);
        QCOMPARE(pTable->Item(0, 1)->GetCell(), nullptr);

        pTable->SetItemImageCell(pTable->Item(0, 0), MakeCell("kept.png", QSize(4, 4)));
        pTable->Item(0, 0)->setSelected(true);
        changed.clear();
        pTable->ClearImages();
        QCOMPARE(pTable->GetImageCount(), 0);
        QCOMPARE(changed.count(), 1);  // once per bulk change: listeners recount the whole table
        QVERIFY(pTable->selectedItems().isEmpty());
    }

    void toolTipsDescribeThePosition_data()
    {
        QTest::addColumn<int>("nType");
        QTest::addColumn<QString>("strName");  // empty: no cell
        QTest::addColumn<QString>("strExpected");
        QTest::newRow("grid item with image")
            << int(ImageTableWidget::TableGrid) << "photo.png"
            << "<b>%1</b><br><br><b>Cell:</b> 2, 3<br><b>Image size:</b> 640x480";
        QTest::newRow("grid item without image")
            << int(ImageTableWidget::TableGrid) << "" << "<b>No image</b><br><br><b>Cell:</b> 2, 3";
        QTest::newRow("tray item") << int(ImageTableWidget::TableTray) << "photo.png"
                                   << "<b>%1</b><br><br><b>Image size:</b> 640x480";
        QTest::newRow("markup in the file name is shown as text")
            << int(ImageTableWidget::TableTray) << "a<b>&c.png" << "<b>%1</b><br><br><b>Image size:</b> 640x480";
    }
    void toolTipsDescribeThePosition()
    {
        QFETCH(int, nType);
        QFETCH(QString, strName);
        QFETCH(QString, strExpected);
        auto pTable = MakeTable(2, 3, ImageTableWidget::ImageTableType(nType));
        if (!strName.isEmpty())
        {
            ImageCell* pCell = MakeCell(strName, QSize(640, 480));
            pTable->SetItemImageCell(pTable->Item(1, 2), pCell);
            strExpected = strExpected.arg(pCell->GetFilename().toHtmlEscaped());
        }
        QCOMPARE(pTable->Item(1, 2)->GetToolTip(), strExpected);
    }

    void paintingShowsStateColours_data()
    {
        QTest::addColumn<QStringList>("state");  // of: cell, keep-empty, selected, highlighted
        QTest::addColumn<QColor>("stripFrame");
        QTest::addColumn<QColor>("imageFrame");
        const QColor plainFrame(180, 180, 180);
        QTest::newRow("image") << QStringList{"cell"} << QColor(149, 178, 137) << plainFrame;
        QTest::newRow("empty") << QStringList{} << QColor(181, 130, 166) << plainFrame;
        QTest::newRow("keep empty") << QStringList{"keep-empty"} << QColor(128, 128, 128) << plainFrame;
        QTest::newRow("selected") << QStringList{"cell", "selected"} << QColor(130, 163, 186) << QColor(130, 163, 186);
        QTest::newRow("highlighted") << QStringList{"highlighted"} << QColor(181, 130, 166) << QColor(137, 52, 60);
    }
    void paintingShowsStateColours()
    {
        QFETCH(QStringList, state);
        QFETCH(QColor, stripFrame);
        QFETCH(QColor, imageFrame);
        const bool bCell = state.contains("cell"), bSelected = state.contains("selected");
        const bool bHighlighted = state.contains("highlighted");
        auto pTable = MakeTable(1, 1);
        pTable->SetImageSize(64);
        if (bCell)
            pTable->SetItemImageCell(pTable->Item(0, 0), MakeCell("paint.png", QSize(64, 64), Qt::blue));
        pTable->Item(0, 0)->SetKeepEmpty(state.contains("keep-empty"));
        pTable->Item(0, 0)->SetDragHighlighted(bHighlighted);

        const QSize size(70, 90);
        const QImage image = PaintItem(*pTable, 0, 0, bSelected ? QStyle::State_Selected : QStyle::State_None, size);
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));               // margin in the base colour
        QCOMPARE(image.pixelColor(3, 90 - 20), stripFrame);                 // name strip's top-left corner
        QCOMPARE(image.pixelColor(3, 3), imageFrame);                       // image area's top-left corner
        const QColor middle = image.pixelColor(35, 35);
        if (bCell && !bSelected)
            QCOMPARE(middle, QColor(Qt::blue));
        if (bHighlighted)
            QVERIFY2(middle.red() > middle.blue(), qPrintable(middle.name()));
    }
};

QTEST_MAIN(TestImageTableWidget)
#include "test_imagetablewidget.moc"
