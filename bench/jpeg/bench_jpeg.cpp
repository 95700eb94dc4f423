// Times writeJpeg on a 4096 x 4096 bitmap and, for comparison, ImageMagick's "convert -quality 90"
// on the same pixels when it is installed. Prints the best and the mean of a few runs.

#include "imaging/BottomUpBitmap.h"
#include "imaging/JpegWriter.h"
#include "platform/RuntimeError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numeric>
#include <vector>

using namespace imaging;

namespace {

constexpr int side = 4096;
constexpr int runs = 5;

// Smooth gradients with some texture, closer to a photograph than flat colour or pure noise.
void paintPhotoLike(BottomUpBitmap& dib)
{
    uint8_t* bits = dib.bits();
    for (int y = 0; y < dib.height(); ++y) {
        uint8_t* row = bits + size_t(y) * size_t(dib.bytesPerLine());
        for (int x = 0; x < dib.width(); ++x) {
            const double wave = std::sin(x * 0.013) * std::cos(y * 0.017);
            row[3 * x] = uint8_t((x >> 4) ^ (y >> 5));
            row[3 * x + 1] = uint8_t(128 + 100 * wave);
            row[3 * x + 2] = uint8_t((x + y) >> 5 ^ ((x * y) >> 12 & 15));
        }
    }
}

bool writePortablePixmap(const BottomUpBitmap& dib, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QByteArray("P6\n") + QByteArray::number(dib.width()) + ' ' + QByteArray::number(dib.height())
               + "\n255\n");
    std::vector<char> row(size_t(dib.width()) * 3);
    for (int y = 0; y < dib.height(); ++y) {
        const uint8_t* source = dib.bits() + size_t(dib.height() - 1 - y) * size_t(dib.bytesPerLine());
        for (int x = 0; x < dib.width(); ++x) {
            row[3 * x] = char(source[3 * x + 2]);
            row[3 * x + 1] = char(source[3 * x + 1]);
            row[3 * x + 2] = char(source[3 * x]);
        }
        if (file.write(row.data(), qint64(row.size())) != qint64(row.size()))
            return false;
    }
    return true;
}

struct Timing {
    double best = 0;
    double mean = 0;
};

Timing timeRuns(const std::function<bool()>& run)
{
    std::vector<double> times;
    for (int index = 0; index < runs; ++index) {
        QElapsedTimer timer;
        timer.start();
        if (!run())
            return {-1, -1};
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return {*std::min_element(times.begin(), times.end()),
            std::accumulate(times.begin(), times.end(), 0.0) / double(times.size())};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }

    BottomUpBitmap dib;
    if (!dib.create(side, side)) {
        std::fprintf(stderr, "cannot make a %d x %d bitmap\n", side, side);
        return 1;
    }
    paintPhotoLike(dib);

    const QString ourFile = folder.filePath("save_jpg.jpg");
    const Timing ours = timeRuns([&] {
        try {
            writeJpeg(dib, ourFile, 90);
            return true;
        } catch (const RuntimeError& error) {
            std::fprintf(stderr, "writeJpeg: %s\n", qPrintable(error.description()));
            return false;
        }
    });
    std::printf("writeJpeg %dx%d quality 90: best %.1f ms, mean %.1f ms over %d runs, %lld bytes\n", side, side,
                ours.best, ours.mean, runs, QFileInfo(ourFile).size());

    const QString convert = QStandardPaths::findExecutable("convert");
    if (convert.isEmpty()) {
        std::printf("convert: not installed, no comparison\n");
        return ours.best < 0 ? 1 : 0;
    }
    const QString pixmap = folder.filePath("input.ppm");
    if (!writePortablePixmap(dib, pixmap)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(pixmap));
        return 1;
    }
    const QString theirFile = folder.filePath("convert.jpg");
    const Timing theirs = timeRuns([&] {
        QProcess process;
        process.start(convert, {pixmap, "-quality", "90", theirFile});
        return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    });
    std::printf("convert -quality 90 (PPM in, process start included): best %.1f ms, mean %.1f ms over %d runs, "
                "%lld bytes\n",
                theirs.best, theirs.mean, runs, QFileInfo(theirFile).size());
    return ours.best < 0 || theirs.best < 0 ? 1 : 0;
}
