#include "imaging/ImageHeader.h"
#include "imaging/BottomUpBitmap.h"
#include "imaging/JpegWriter.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

using namespace imaging;

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Red over blue, with a green stripe down the left edge: wrong row order, mirrored columns or
// swapped channels all show. The padding bytes are filled with noise that must not leak.
void paintTestBitmap(BottomUpBitmap& dib, int width, int height)
{
    QVERIFY(dib.create(width, height));
    uint8_t* bits = dib.bits();
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bits + (height - 1 - y) * dib.bytesPerLine();
        for (int x = 0; x < width; ++x) {
            const QRgb colour = x < width / 4 ? qRgb(0, 255, 0) : (y < height / 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
            row[3 * x] = uint8_t(qBlue(colour));
            row[3 * x + 1] = uint8_t(qGreen(colour));
            row[3 * x + 2] = uint8_t(qRed(colour));
        }
        for (int pad = 3 * width; pad < dib.bytesPerLine(); ++pad)
            row[pad] = 0xAB;
    }
}

bool near(QRgb actual, QRgb expected)
{
    const int tolerance = 24;
    return qAbs(qRed(actual) - qRed(expected)) <= tolerance && qAbs(qGreen(actual) - qGreen(expected)) <= tolerance
        && qAbs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeContents(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

struct stat statOf(const QString& path)
{
    struct stat result {};
    ::stat(QFile::encodeName(path).constData(), &result);
    return result;
}

void expectWriterError(const std::function<void()>& action, const QString& description)
{
    try {
        action();
        QFAIL("no error raised");
    } catch (const RuntimeError& error) {
        QCOMPARE(error.number(), 26001);
        QCOMPARE(error.source(), QStringLiteral("tst_jpeg_writer.mIntelJPEGLibrary"));
        QCOMPARE(error.description(), description);
    }
}

} // namespace

class JpegWriterTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_folder.isValid()); }
    void writesUprightColourJpeg_data();
    void writesUprightColourJpeg();
    void qualityReachesTheEncoder();
    void replacedFileKeepsModeAndTimes();
    void newFileGetsUsualPermissions();
    void longFileNameIsWritten();
    void symbolicLinksAreFollowedOnlyWhenAsked();
    void failedWriteLeavesOldFileIntact();
    void impossibleTargetsRaise();

private:
    QTemporaryDir m_folder;
};

void JpegWriterTest::writesUprightColourJpeg_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("no padding") << 64 << 48;
    QTest::newRow("one pad byte") << 65 << 48;
    QTest::newRow("two pad bytes") << 66 << 47;
    QTest::newRow("three pad bytes") << 67 << 31;
    QTest::newRow("one pixel wide") << 1 << 16;
}

void JpegWriterTest::writesUprightColourJpeg()
{
    QFETCH(int, width);
    QFETCH(int, height);
    BottomUpBitmap dib;
    paintTestBitmap(dib, width, height);
    const QString path = m_folder.filePath(QStringLiteral("upright %1x%2.jpg").arg(width).arg(height));
    writeJpeg(dib, path, 90);

    ImageHeader info = readImageHeader(path);
    QCOMPARE(int(info.type), 2);
    QCOMPARE(int(info.depth), 24);
    QVERIFY(contents(path).contains("\xFF\xC0")); // baseline frame

    const QImage image(path);
    QCOMPARE(image.size(), QSize(width, height));
    const int right = width - 1;
    QVERIFY(near(image.pixel(right, 0), qRgb(255, 0, 0)));
    QVERIFY(near(image.pixel(right, height - 1), qRgb(0, 0, 255)));
    if (width >= 64) {
        QVERIFY(near(image.pixel(2, height / 4), qRgb(0, 255, 0)));
        QVERIFY(near(image.pixel(width / 2, 2), qRgb(255, 0, 0)));
        QVERIFY(near(image.pixel(width / 2, height - 3), qRgb(0, 0, 255)));
    }
}

void JpegWriterTest::qualityReachesTheEncoder()
{
    BottomUpBitmap dib;
    QVERIFY(dib.create(128, 128));
    uint8_t* bits = dib.bits();
    for (int index = 0; index < dib.bytesPerLine() * dib.height(); ++index)
        bits[index] = uint8_t((index * 2654435761u) >> 24); // noise compresses worse at high quality
    const QString high = m_folder.filePath("q90.jpg");
    const QString low = m_folder.filePath("q10.jpg");
    writeJpeg(dib, high, 90);
    writeJpeg(dib, low, 10);
    QVERIFY(QFileInfo(high).size() > 2 * QFileInfo(low).size());
}

void JpegWriterTest::replacedFileKeepsModeAndTimes()
{
    const QString path = m_folder.filePath("replaced.jpg");
    writeContents(path, "old contents");
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0640) == 0);
    const struct timespec oldTimes[2] = {{978307200, 123456789}, {1000000000, 5}}; // 2001
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), oldTimes, 0) == 0);

    BottomUpBitmap dib;
    paintTestBitmap(dib, 8, 8);
    writeJpeg(dib, path, 90);

    // Looked at before reading the new contents, which would move the last-access time.
    const struct stat after = statOf(path);
    QCOMPARE(after.st_mode & 07777, mode_t(0640));
    QCOMPARE(after.st_atim.tv_sec, oldTimes[0].tv_sec);
    QCOMPARE(after.st_atim.tv_nsec, oldTimes[0].tv_nsec);
    QCOMPARE(after.st_mtim.tv_sec, oldTimes[1].tv_sec);
    QCOMPARE(after.st_mtim.tv_nsec, oldTimes[1].tv_nsec);
    QVERIFY(contents(path).startsWith("\xFF\xD8"));
}

void JpegWriterTest::newFileGetsUsualPermissions()
{
    const mode_t mask = ::umask(022);
    const QString path = m_folder.filePath("new.jpg");
    BottomUpBitmap dib;
    paintTestBitmap(dib, 8, 8);
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    writeJpeg(dib, path, 90);
    ::umask(mask);
    const struct stat after = statOf(path);
    QCOMPARE(after.st_mode & 07777, mode_t(0644));
    QVERIFY(after.st_mtim.tv_sec >= before - 1);
    // No temporary file is left next to it.
    QCOMPARE(QDir(m_folder.path()).entryList({"*new.jpg*"}, QDir::Files | QDir::Hidden), QStringList{"new.jpg"});
}

void JpegWriterTest::longFileNameIsWritten()
{
    // 250 bytes: the name itself is allowed, a temporary name made by adding to it would not be.
    const QString path = m_folder.filePath(QString(246, u'n') + ".jpg");
    BottomUpBitmap dib;
    paintTestBitmap(dib, 8, 8);
    writeJpeg(dib, path, 90);
    QCOMPARE(QImage(path).size(), QSize(8, 8));
}

void JpegWriterTest::symbolicLinksAreFollowedOnlyWhenAsked()
{
    const QString real = m_folder.filePath("real.jpg");
    const QString link = m_folder.filePath("link.jpg");
    writeContents(real, "old");
    QVERIFY(QFile::link(real, link));
    BottomUpBitmap dib;
    paintTestBitmap(dib, 8, 8);
    writeJpeg(dib, link, 90);
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(contents(real).startsWith("\xFF\xD8"));

    // The program's own files never follow a link that someone planted at their name: the link
    // goes, and what it pointed to stays as it was.
    const QString victim = m_folder.filePath("victim.txt");
    const QString planted = m_folder.filePath("planted.jpg");
    writeContents(victim, "private");
    QVERIFY(QFile::link(victim, planted));
    writeJpeg(dib, planted, 90, LinkHandling::ReplaceLink);
    QVERIFY(!QFileInfo(planted).isSymLink());
    QVERIFY(contents(planted).startsWith("\xFF\xD8"));
    QCOMPARE(contents(victim), QByteArray("private"));
}

void JpegWriterTest::failedWriteLeavesOldFileIntact()
{
    const QString path = m_folder.filePath("precious.jpg");
    const QByteArray old(3000, 'p');
    writeContents(path, old);

    BottomUpBitmap dib;
    QVERIFY(dib.create(512, 512));
    uint8_t* bits = dib.bits();
    for (int index = 0; index < dib.bytesPerLine() * dib.height(); ++index)
        bits[index] = uint8_t((unsigned(index) * 7919u) >> 3);

    // A file size limit makes the write fail part-way, for root as for anyone else.
    struct rlimit saved {};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &saved) == 0);
    struct rlimit limited = saved;
    limited.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &limited) == 0);
    bool raised = false;
    try {
        writeJpeg(dib, path, 90);
    } catch (const RuntimeError& error) {
        raised = error.number() == 26001 && error.description() == QStringLiteral("Failed to save to JPG -1");
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(raised);
    QCOMPARE(contents(path), old);
    QCOMPARE(QDir(m_folder.path()).entryList({"*precious*"}, QDir::Files | QDir::Hidden),
             QStringList{"precious.jpg"});
}

void JpegWriterTest::impossibleTargetsRaise()
{
    BottomUpBitmap dib;
    paintTestBitmap(dib, 8, 8);
    const QString blocker = m_folder.filePath("not a folder");
    writeContents(blocker, "file");
    const QString saveFailed = QStringLiteral("Failed to save to JPG -1");
    expectWriterError([&] { writeJpeg(dib, blocker + "/x.jpg", 90); }, saveFailed);
    expectWriterError([&] { writeJpeg(dib, m_folder.filePath("missing/x.jpg"), 90); }, saveFailed);
    expectWriterError([&] { writeJpeg(dib, m_folder.path(), 90); }, saveFailed);
    expectWriterError([&] { writeJpeg(dib, QString(), 90); }, saveFailed);
    // The encoder refuses a quality outside 1 to 100 with its own error code.
    expectWriterError([&] { writeJpeg(dib, m_folder.filePath("q.jpg"), 101); }, saveFailed);
    QVERIFY(!QFile::exists(m_folder.filePath("q.jpg")));
    BottomUpBitmap empty;
    expectWriterError([&] { writeJpeg(empty, m_folder.filePath("e.jpg"), 90); }, saveFailed);
    QVERIFY(!QFile::exists(m_folder.filePath("e.jpg")));
    QCOMPARE(contents(blocker), QByteArray("file"));
}

QTEST_GUILESS_MAIN(JpegWriterTest)
#include "tst_jpeg_writer.moc"
