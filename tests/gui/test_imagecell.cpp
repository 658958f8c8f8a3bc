#include "testmain.h"
#include "core/TessaraCore.h"
#include "engine/ImageCell.h"
#include "testutils.h"

#include <QDir>
#include <QtTest>

using Engine::ImageCell;

namespace {
// An uncompressed true-colour TGA: a format Qt has no reader for here, but ImageMagick has.
QByteArray MakeTga(int nWidth, int nHeight, const QColor& color)
{
    QByteArray data(18, '\0');
    data[2] = 2; // uncompressed true colour
    data[12] = char(nWidth & 0xff);
    data[13] = char(nWidth >> 8);
    data[14] = char(nHeight & 0xff);
    data[15] = char(nHeight >> 8);
    data[16] = 24;
    data[17] = 0x20; // top-left origin
    for (int i = 0; i < nWidth * nHeight; ++i)
        data.append(char(color.blue())).append(char(color.green())).append(char(color.red()));
    return data;
}
} // namespace

class TestImageCell : public QObject
{
    Q_OBJECT

private:
    TestUtils::Sandbox m_sandbox;

private slots:
    void thumbnailFitsIntoSquareAndRecordsFullSize_data()
    {
        QTest::addColumn<QSize>("imageSize");
        QTest::addColumn<QSize>("thumbSize");
        QTest::newRow("wide 1024x512") << QSize(1024, 512) << QSize(256, 128);
        QTest::newRow("tall 300x1200") << QSize(300, 1200) << QSize(64, 256);
        QTest::newRow("small 100x80 kept") << QSize(100, 80) << QSize(100, 80);
        QTest::newRow("square 300x300") << QSize(300, 300) << QSize(256, 256);
        QTest::newRow("exactly 256") << QSize(256, 17) << QSize(256, 17);
        QTest::newRow("sliver 1000x3 keeps one row") << QSize(1000, 3) << QSize(256, 1);
    }
    void thumbnailFitsIntoSquareAndRecordsFullSize()
    {
        QFETCH(QSize, imageSize);
        QFETCH(QSize, thumbSize);
        const QString strFile = m_sandbox.File(QStringLiteral("size.png"));
        QVERIFY(TestUtils::WriteImage(strFile, imageSize.width(), imageSize.height(), Qt::blue));

        ImageCell cell;
        QVERIFY(cell.AssignImage(strFile));
        QVERIFY(cell.GetThumbnail());
        QCOMPARE(cell.GetThumbnail()->size(), thumbSize);
        QCOMPARE(cell.GetImageSize(), imageSize);
        QCOMPARE(cell.GetFilename(), strFile);
    }

    void transparencyIsDrawnOnWhite()
    {
        QImage image(20, 10, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        for (int y = 0; y < 10; ++y)
            for (int x = 10; x < 20; ++x)
                image.setPixelColor(x, y, QColor(255, 0, 0, 128));
        const QString strFile = m_sandbox.File(QStringLiteral("alpha.png"));
        QVERIFY(image.save(strFile));

        ImageCell cell;
        QVERIFY(cell.AssignImage(strFile));
        const QImage thumb = cell.GetThumbnail()->convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(thumb.pixelColor(2, 5), QColor(Qt::white));
        const QColor half = thumb.pixelColor(15, 5);
        QCOMPARE(half.alpha(), 255);
        QCOMPARE(half.red(), 255);
        QVERIFY2(qAbs(half.green() - 127) <= 2, qPrintable(QString::number(half.green())));
    }

    void failedAssignKeepsPreviousImage_data()
    {
        QTest::addColumn<QString>("strName");
        QTest::newRow("missing file") << QStringLiteral("missing.png");
        QTest::newRow("empty name") << QString();
        QTest::newRow("FIFO") << QStringLiteral("fifo");
    }
    void failedAssignKeepsPreviousImage()
    {
        QFETCH(QString, strName);
        const QString strFile = m_sandbox.File(QStringLiteral("first.png"));
        QVERIFY(TestUtils::WriteImage(strFile, 40, 30, Qt::green));
        ImageCell cell;
        QVERIFY(cell.AssignImage(strFile));

        const QString strNew = strName.isEmpty()   ? strName
                               : strName == "fifo" ? m_sandbox.MakeFifo(strName)
                                                   : m_sandbox.File(strName);
        QVERIFY(!cell.AssignImage(strNew));
        QCOMPARE(cell.GetFilename(), strFile);
        QVERIFY(cell.GetThumbnail());
        QCOMPARE(cell.GetImageSize(), QSize(40, 30));
    }

    void unreadableFileFailsWithoutThumbnail()
    {
        const QString strFile = m_sandbox.WriteText(QStringLiteral("broken.png"), "not an image at all");
        ImageCell cell;
        QVERIFY(!cell.AssignImage(strFile));
        QVERIFY(!cell.GetThumbnail());
        QCOMPARE(cell.GetImageSize(), QSize(0, 0));
    }

    void reloadFollowsTheFileAndUnassignEmpties()
    {
        ImageCell empty;
        QVERIFY(empty.ReloadImage());
        QVERIFY(!empty.GetThumbnail());

        const QString strFile = m_sandbox.File(QStringLiteral("changing.png"));
        QVERIFY(TestUtils::WriteImage(strFile, 50, 20, Qt::red));
        ImageCell cell;
        QVERIFY(cell.AssignImage(strFile));
        QVERIFY(TestUtils::WriteImage(strFile, 20, 50, Qt::yellow));
        QVERIFY(cell.ReloadImage());
        QCOMPARE(cell.GetImageSize(), QSize(20, 50));
        QCOMPARE(cell.GetThumbnail()->pixelColor(5, 5), QColor(Qt::yellow));
        // A file swapped for a FIFO would block the image reader for good.
        QVERIFY(QFile::remove(strFile));
        m_sandbox.MakeFifo(QStringLiteral("changing.png"));
        QVERIFY(!cell.ReloadImage());

        cell.UnloadImage();
        QVERIFY(!cell.GetThumbnail());
        QCOMPARE(cell.GetFilename(), strFile);
        cell.UnassignImage();
        QCOMPARE(cell.GetFilename(), QString());
    }

    void unreadableFormatGoesThroughTemporaryConversion()
    {
        const QString strFile = m_sandbox.File(QStringLiteral("converted.tga"));
        {
            QFile file(strFile);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(MakeTga(30, 12, QColor(10, 200, 30)));
        }
        QImage direct;
        QVERIFY2(!direct.load(strFile), "Qt reads TGA here; the fallback would not be exercised");

        ImageCell cell;
        QVERIFY(cell.AssignImage(strFile));
        QCOMPARE(cell.GetImageSize(), QSize(30, 12));
        QCOMPARE(TestUtils::CompareImages(*cell.GetThumbnail(), TestUtils::MakeImage(30, 12, QColor(10, 200, 30))),
                 QString());
        const QString strTemp =
            Core::TessaraCore::ResolveFilename(QStringLiteral("converted.png"), QStringLiteral("Temp"));
        QVERIFY2(!QFileInfo::exists(strTemp), qPrintable(strTemp));
        QCOMPARE(QFileInfo(strTemp).absolutePath(), QDir(QCoreApplication::applicationDirPath()).filePath("Temp"));
    }
};

TESSARA_TEST(TestImageCell)
#include "test_imagecell.moc"
