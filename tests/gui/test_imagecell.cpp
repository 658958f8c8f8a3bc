#include "testmain.h"
#include "core/TessaraCore.h"
#include "engine/ImageCell.h"
#include "testutils.h"

#include <QDir>
#include <QtTest>

using Engine::ImageCell;

class TestImageCell : public QObject
{
    Q_OBJECT

    TestUtils::Sandbox m_sandbox;

private slots:
    void thinImageIsAccepted()
    {
        // Fitted into the thumbnail square, its short side would shrink to nothing.
        const QString strFile = m_sandbox.File("sliver.png");
        QVERIFY(TestUtils::WriteImage(strFile, 1000, 3, Qt::blue));
        QVERIFY(ImageCell().AssignImage(strFile));
    }

    void reloadRefusesAFifoAndUnloadKeepsTheFile()
    {
        QVERIFY(ImageCell().ReloadImage()); // nothing to reload is no failure
        const QString strFile = m_sandbox.File("changing.png");
        QVERIFY(TestUtils::WriteImage(strFile, 50, 20, Qt::red));
        ImageCell cell;
        QVERIFY(cell.AssignImage(strFile) && cell.ReloadImage());
        // A file swapped for a FIFO would block the image reader for good.
        QVERIFY(QFile::remove(strFile));
        m_sandbox.MakeFifo("changing.png");
        QVERIFY(!cell.ReloadImage());

        cell.UnloadImage(); // the file stays the cell's, to be saved with the project
        QVERIFY(!cell.GetThumbnail());
        QCOMPARE(cell.GetFilename(), strFile);
    }

    void unreadableFormatGoesThroughTemporaryConversion()
    {
        // An uncompressed true-colour TGA: Qt has no reader for it here, ImageMagick has.
        QByteArray tga(18, '\0');
        tga[2] = 2;
        tga[12] = 30;
        tga[14] = 12;
        tga[16] = 24;
        tga[17] = 0x20; // top-left origin
        tga.append(QByteArray(30 * 12 * 3, '\x7f'));
        const QString strFile = m_sandbox.File("converted.tga");
        QFile file(strFile);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(tga) == tga.size());
        file.close();
        QVERIFY2(!QImage().load(strFile), "Qt reads TGA here; the fallback would not be exercised");

        ImageCell cell;
        QVERIFY(cell.AssignImage(strFile));
        QCOMPARE(cell.GetImageSize(), QSize(30, 12));
        const QString strTemp = Core::TessaraCore::ResolveFilename("converted.png", "Temp");
        QVERIFY2(!QFileInfo::exists(strTemp), qPrintable(strTemp));
        QCOMPARE(QFileInfo(strTemp).absolutePath(), QDir(QCoreApplication::applicationDirPath()).filePath("Temp"));
    }
};

TESSARA_TEST(TestImageCell)
#include "test_imagecell.moc"
