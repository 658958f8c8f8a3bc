#include "testutils.h"

#include <sys/stat.h>

namespace TestUtils {

QString CompareImageFile(const QString& strFile, const QImage& expected)
{
    // Read through the file itself: loading by name would also accept strFile with a suffix added.
    QFile file(strFile);
    QImage actual;
    if (!file.open(QIODevice::ReadOnly) || !actual.load(&file, nullptr))
        return QStringLiteral("cannot read image %1").arg(strFile);
    if (actual.size() != expected.size())
        return QString::asprintf("size %dx%d, expected %dx%d", actual.width(), actual.height(), expected.width(),
                                 expected.height());
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    const QImage e = expected.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != e.pixel(x, y))
                return QString::asprintf("pixel (%d, %d) is #%08x, expected #%08x", x, y, a.pixel(x, y), e.pixel(x, y));
    return QString();
}

QImage MakeImage(int nWidth, int nHeight, const QColor& color)
{
    QImage image(nWidth, nHeight, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

QImage MakeCompound(const QSize& cellSize, int nCols, const QList<QColor>& cells, const QColor& background)
{
    const int nRows = int(cells.size() + nCols - 1) / nCols;
    QImage image = MakeImage(cellSize.width() * nCols, cellSize.height() * nRows, background);
    QPainter painter(&image);
    for (int i = 0; i < cells.size(); ++i)
        if (cells[i].isValid())
            painter.fillRect(QRect(QPoint(i % nCols * cellSize.width(), i / nCols * cellSize.height()), cellSize),
                             cells[i]);
    return image;
}

bool WriteImage(const QString& strFile, int nWidth, int nHeight, const QColor& color)
{
    return MakeImage(nWidth, nHeight, color).save(strFile);
}

QString Sandbox::WriteText(const QString& strName, const QByteArray& text) const
{
    const QString strPath = File(strName);
    QFile file(strPath);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text);
    return strPath;
}

QByteArray Sandbox::ReadText(const QString& strName) const
{
    QFile file(File(strName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Sandbox::MakeFifo(const QString& strName) const
{
    const QString strPath = File(strName);
    if (mkfifo(QFile::encodeName(strPath).constData(), 0600) != 0)
        qFatal("cannot make the FIFO %s", qPrintable(strPath));
    return strPath;
}

namespace {
const char* const kIsolatedCopyVariable = "TESSARA_TEST_ISOLATED_COPY";
const int kCopyWaitMs = 120000;
} // namespace

bool InIsolatedCopy()
{
    if (qEnvironmentVariableIsSet(kIsolatedCopyVariable))
        return true;
    Sandbox sandbox;
    const QString strCopy = sandbox.File(QStringLiteral("isolated_test"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kIsolatedCopyVariable), QStringLiteral("1"));
    // A hang in the copy is reported by the copy's own QtTest (function and stacks) before the wait below ends.
    environment.insert(QStringLiteral("QTEST_FUNCTION_TIMEOUT"), QString::number(kCopyWaitMs * 3 / 4));
    QProcess copy;
    copy.setProcessEnvironment(environment);
    copy.setProcessChannelMode(QProcess::MergedChannels);
    if (QFile::copy(QCoreApplication::applicationFilePath(), strCopy))
        copy.start(strCopy, {QString::fromLatin1(QTest::currentTestFunction())});
    const bool bPassed =
        copy.waitForFinished(kCopyWaitMs) && copy.exitStatus() == QProcess::NormalExit && copy.exitCode() == 0;
    // In full, on its own: a failure message is cut at about a thousand characters, and the copy's
    // own failure or stack trace comes after its start-up lines.
    if (!bPassed)
        qInfo().noquote() << "Output of the isolated copy:\n" + QString::fromLocal8Bit(copy.readAll());
    QTest::qVerify(bPassed, "isolated copy passed", "its output is above", __FILE__, __LINE__);
    return false;
}

bool WindowTest::OpenWindow(bool bShow)
{
    CloseWindow();
    m_engine = std::make_unique<Model::ImageCellEngine>();
    m_ownWindow = std::make_unique<UI::TessaraWnd>(m_engine.get());
    m_window = m_ownWindow.get();
    // The form's own size: the test platforms' 800x600 screen would shrink it and hide cells.
    m_window->resize(1060, 700);
    if (!bShow)
        return true;
    m_window->show();
    return QTest::qWaitForWindowExposed(m_window);
}

void WindowTest::CloseWindow()
{
    m_window = nullptr;
    m_ownWindow.reset();
    m_engine.reset();
}

Core::TessaraSettings WindowTest::Filled() const
{
    Core::TessaraSettings settings;
    m_window->FillTessaraSettings(&settings);
    return settings;
}

} // namespace TestUtils
