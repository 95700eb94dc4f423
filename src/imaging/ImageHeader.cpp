#include "imaging/ImageHeader.h"

#include "platform/RuntimeError.h"
#include "platform/Settings.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <vector>

namespace imaging {

namespace {

constexpr size_t headerSize = 65536;
// The start-of-image and frame searches stop here, so that every byte they look at (up to
// eight past the position) stays inside the header.
constexpr size_t searchLimit = 65525;

// The header as the file gives it, zero past the file's end.
class Header {
public:
    Header(const uint8_t* bytes, size_t size)
        : m_bytes(headerSize, 0)
    {
        std::copy_n(bytes, std::min(size, headerSize), m_bytes.begin());
    }

    uint8_t at(size_t position) const { return m_bytes[position]; }
    int32_t bigEndian(size_t position) const { return at(position) * 256 + at(position + 1); }
    int32_t littleEndian(size_t position) const { return at(position) + at(position + 1) * 256; }

private:
    std::vector<uint8_t> m_bytes;
};

[[noreturn]] void raise(int number, const QString& description)
{
    throw RuntimeError(number, platform::applicationName(), description);
}

uint8_t checkedDepth(int depth)
{
    if (depth > 255)
        raise(6, QStringLiteral("Overflow"));
    return uint8_t(depth);
}

// Bits per pixel of a PNG by its colour type; -1 for a colour type PNG does not define.
int pngDepth(int colourType, int bitDepth)
{
    switch (colourType) {
    case 0:
        return bitDepth;
    case 2:
        return bitDepth * 3;
    case 3:
        return 8; // a palette image counts as 8 bits whatever its index size
    case 4:
        return bitDepth * 2;
    case 6:
        return bitDepth * 4;
    default:
        return -1;
    }
}

bool isStartOfFrame(uint8_t marker)
{
    // SOF0-SOF3, SOF5-SOF7, SOF9-SOF11, SOF13-SOF15; 196 (DHT), 200 (JPG) and 204 (DAC) share
    // the range but are not frame headers.
    return marker >= 192 && marker <= 207 && marker != 196 && marker != 200 && marker != 204;
}

} // namespace

ImageHeader readImageHeader(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        raise(53, QStringLiteral("File not found"));
    // Only regular files: opening a named pipe would wait for a writer that may never come.
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        raise(75, QStringLiteral("Path/File access error"));

    std::vector<uint8_t> bytes(headerSize);
    size_t filled = 0;
    while (filled < headerSize) {
        const qint64 got = file.read(reinterpret_cast<char*>(bytes.data() + filled), qint64(headerSize - filled));
        if (got < 0)
            raise(75, QStringLiteral("Path/File access error"));
        if (got == 0)
            break;
        filled += size_t(got);
    }
    return readImageHeader(bytes.data(), filled);
}

ImageHeader readImageHeader(const uint8_t* bytes, size_t size)
{
    ImageHeader result;
    const Header header(bytes, size);

    if (header.at(0) == 137 && header.at(1) == 'P' && header.at(2) == 'N') {
        result.type = ImageType::Png;
        const int depth = pngDepth(header.at(25), header.at(24));
        if (depth < 0) {
            // An unknown colour type is not a PNG after all; the JPEG search below still runs.
            result.type = ImageType::Unknown;
        } else {
            result.depth = checkedDepth(depth);
            result.width = header.bigEndian(18);
            result.height = header.bigEndian(22);
        }
    }
    if (header.at(0) == 'G' && header.at(1) == 'I' && header.at(2) == 'F') {
        result.type = ImageType::Gif;
        result.width = header.littleEndian(6);
        result.height = header.littleEndian(8);
        result.depth = uint8_t((header.at(10) & 7) + 1);
    }
    if (header.at(0) == 'B' && header.at(1) == 'M') {
        result.type = ImageType::Bmp;
        result.width = header.littleEndian(18);
        result.height = header.littleEndian(22);
        result.depth = header.at(28);
    }
    if (result.type != ImageType::Unknown)
        return result;

    // JPEG: a start-of-image marker directly followed by another marker, then segments up to the
    // first frame header. Only the first 65525 positions are searched, so a frame header that
    // starts later is not found.
    size_t position = 0;
    while (position < searchLimit
           && !(header.at(position) == 255 && header.at(position + 1) == 216 && header.at(position + 2) == 255))
        ++position;
    if (position >= searchLimit)
        return result;

    for (position += 2; position < searchLimit;) {
        if (header.at(position) != 255 || header.at(position + 1) == 255) {
            ++position;
            continue;
        }
        if (isStartOfFrame(header.at(position + 1))) {
            result.type = ImageType::Jpeg;
            result.height = header.bigEndian(position + 5);
            result.width = header.bigEndian(position + 7);
            result.depth = checkedDepth(header.at(position + 9) * 8);
            return result;
        }
        // Skipping by the segment length lands on the segment's last byte; the scan moves on
        // from there one byte at a time to the next marker.
        position += 1 + size_t(header.bigEndian(position + 2));
    }
    return result;
}

} // namespace imaging
