#include "testmain.h"
#include "tabletestsupport.h"
#include "ui/controls/ImageTableDelegate.h"

#include <QAction>
#include <QPainter>
#include <QtTest>

#include <optional>

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
        const QString strFile = m_sandbox.File(strName);
        return TestUtils::WriteImage(strFile, size.width(), size.height(), color) ? m_engine.CreateCell(strFile, -1, -1)
                                                                                  : nullptr;
    }

    // A table of nRows x nCols items, all empty.
    std::unique_ptr<ImageTableWidget> MakeTable(int nRows, int nCols)
    {
        auto pTable = std::make_unique<ImageTableWidget>();
        pTable->InitImageTable(ImageTableWidget::TableGrid, &m_engine);
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
        QTest::newRow("cells without thumbnails")
            << QList<QSize>{{50, 50}, {}} << true << false << QList<int>{70, 70} << 90;
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
        for (int c = 0; c < images.size(); ++c) {
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

    void rowFilenamesMarkEmptyPositions()
    {
        auto pTable = MakeTable(2, 3);
        ImageCell* pCell1 = MakeCell("one.png", QSize(4, 4));
        ImageCell* pCell2 = MakeCell("two.png", QSize(4, 4));
        pTable->SetItemImageCell(pTable->Item(0, 1), pCell1);
        pTable->SetItemImageCell(pTable->Item(1, 2), pCell2);
        pTable->Item(1, 0)->SetKeepEmpty(true);
        pTable->Item(1, 2)->SetKeepEmpty(true); // an image placed on a reserved position is saved as the image
        const QList<QStringList> expected{{"None", pCell1->GetFilename(), "None"},
                                          {"KeepEmpty", "None", pCell2->GetFilename()}};
        QCOMPARE(pTable->GetRowFilenames(), expected);
        QCOMPARE(pTable->GetImageCount(), 2);
    }

    void nestedUpdateBracketsRepaintAndMeasureOnceAtTheEnd()
    {
        auto pTable = MakeTable(1, 2);
        pTable->EnableUpdates(); // unmatched: must not unbalance later brackets
        const int nHeightBefore = pTable->rowHeight(0);
        {
            UI::Controls::TableUpdateBlocker outer(pTable.get());
            std::optional<UI::Controls::TableUpdateBlocker> inner(std::in_place, pTable.get());
            pTable->SetItemImageCell(pTable->Item(0, 0), MakeCell("wide.png", QSize(100, 50)));
            pTable->SetItemImageCell(pTable->Item(0, 1), MakeCell("tall.png", QSize(20, 90)));
            inner.reset();
            QVERIFY(!pTable->updatesEnabled());
            QCOMPARE(pTable->rowHeight(0), nHeightBefore);
        }
        QVERIFY(pTable->updatesEnabled());
        QCOMPARE(pTable->rowHeight(0), 116);

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
        QCOMPARE(changed.count(), 1); // once per bulk change: listeners recount the whole table
        QVERIFY(pTable->selectedItems().isEmpty());
    }

    void toolTipShowsMarkupInTheFileNameAsText()
    {
        auto pTable = MakeTable(2, 3);
        ImageCell* pCell = MakeCell("a<b>&c.png", QSize(640, 480));
        pTable->SetItemImageCell(pTable->Item(1, 2), pCell);
        const QString strToolTip = pTable->Item(1, 2)->GetToolTip();
        QVERIFY2(strToolTip.contains(pCell->GetFilename().toHtmlEscaped()), qPrintable(strToolTip));
        QVERIFY2(!strToolTip.contains("a<b>&c"), qPrintable(strToolTip));
    }

    // Each state must be told apart at a glance; the exact colours are the style's business.
    void paintingTellsTheStatesApart()
    {
        auto pTable = MakeTable(1, 1);
        pTable->SetImageSize(64);
        ImageCell* pCell = MakeCell("paint.png", QSize(64, 64), Qt::blue);
        const auto paint = [&](bool bCell, bool bKeepEmpty, bool bSelected, bool bHighlighted) {
            pTable->SetItemImageCell(pTable->Item(0, 0), bCell ? pCell : nullptr);
            pTable->Item(0, 0)->SetKeepEmpty(bKeepEmpty);
            pTable->Item(0, 0)->SetDragHighlighted(bHighlighted);
            return PaintItem(*pTable, 0, 0, bSelected ? QStyle::State_Selected : QStyle::State_None, QSize(70, 90));
        };
        const QImage image = paint(true, false, false, false), empty = paint(false, false, false, false);
        const QImage keepEmpty = paint(false, true, false, false), selected = paint(true, false, true, false);
        const QImage highlighted = paint(false, false, false, true);
        const QPoint strip(3, 90 - 20), frame(3, 3), middle(35, 35);
        QCOMPARE(image.pixelColor(middle), QColor(Qt::blue));
        const QList<QColor> strips{image.pixelColor(strip), empty.pixelColor(strip), keepEmpty.pixelColor(strip),
                                   selected.pixelColor(strip)};
        for (int i = 0; i < strips.size(); ++i)
            for (int j = i + 1; j < strips.size(); ++j)
                QVERIFY2(strips[i] != strips[j], qPrintable(QString("%1 %2").arg(i).arg(j)));
        QVERIFY(highlighted.pixelColor(frame) != empty.pixelColor(frame));
        QVERIFY(selected.pixelColor(frame) != image.pixelColor(frame));
    }
};

TESSARA_TEST(TestImageTableWidget)
#include "test_imagetablewidget.moc"
