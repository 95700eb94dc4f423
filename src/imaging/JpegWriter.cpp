#include "imaging/JpegWriter.h"

#include "imaging/BottomUpBitmap.h"
#include "platform/RuntimeError.h"
#include "platform/Settings.h"

#include <QFile>
#include <QFileInfo>

#include <turbojpeg.h>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace imaging {

namespace {

[[noreturn]] void raise(const QString& description)
{
    throw RuntimeError(jpegWriterErrorNumber, platform::applicationName() + QStringLiteral(".mIntelJPEGLibrary"),
                       description);
}

[[noreturn]] void raiseSaveFailure(int code)
{
    raise(QStringLiteral("Failed to save to JPG ") + QString::number(code));
}

struct CompressorCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Compressor = std::unique_ptr<void, CompressorCloser>;

struct EncoderBufferFree {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};
using EncoderBuffer = std::unique_ptr<unsigned char, EncoderBufferFree>;

// An open temporary file that is removed unless it has been renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(QByteArray pathTemplate)
        : m_path(std::move(pathTemplate))
    {
        m_descriptor = mkstemp(m_path.data());
        m_created = m_descriptor >= 0;
    }
    ~TemporaryFile()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
        if (m_created && !m_renamed)
            ::unlink(m_path.constData());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool isOpen() const { return m_descriptor >= 0; }
    int descriptor() const { return m_descriptor; }

    bool writeAll(const unsigned char* bytes, size_t size)
    {
        while (size > 0) {
            const ssize_t written = ::write(m_descriptor, bytes, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            bytes += written;
            size -= size_t(written);
        }
        return true;
    }

    bool close()
    {
        const int result = ::close(m_descriptor);
        m_descriptor = -1;
        return result == 0;
    }

    bool renameTo(const QByteArray& target)
    {
        m_renamed = ::rename(m_path.constData(), target.constData()) == 0;
        return m_renamed;
    }

private:
    QByteArray m_path;
    int m_descriptor = -1;
    bool m_created = false;
    bool m_renamed = false;
};

mode_t currentUmask()
{
    // umask can only be read by setting it; the program has one thread that creates files.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Puts the bytes at the target through a temporary file in the same folder; false when that
// could not be done completely, in which case the target is untouched.
bool replaceFile(const QString& path, const unsigned char* bytes, size_t size, LinkHandling links)
{
    QFileInfo target(path);
    if (links == LinkHandling::ReplaceTarget && target.isSymLink() && target.exists())
        target = QFileInfo(target.canonicalFilePath());
    const QByteArray targetPath = QFile::encodeName(target.absoluteFilePath());
    if (path.isEmpty() || targetPath.isEmpty())
        return false;

    // A link that is to be replaced counts as no file at all: nothing of its target (owner,
    // permissions, times) is looked at or taken over.
    struct stat previous {};
    const bool existed = ::lstat(targetPath.constData(), &previous) == 0 && !S_ISLNK(previous.st_mode);
    if (existed && !S_ISREG(previous.st_mode))
        return false;

    const QByteArray folder = QFile::encodeName(target.absolutePath());
    // The temporary name is the target's, shortened so that the dot and the random suffix
    // still fit in a file name of at most 255 bytes.
    const QByteArray stem = QFile::encodeName(target.fileName()).left(200);
    TemporaryFile temporary(folder + "/." + stem + ".XXXXXX");
    if (!temporary.isOpen())
        return false;
    if (!temporary.writeAll(bytes, size))
        return false;
    // The new file takes the old one's place only once it is safely on disk.
    if (::fdatasync(temporary.descriptor()) != 0 && errno != EINVAL)
        return false;

    if (existed) {
        // Only root may give the file away; where that fails the file stays ours and does not
        // take over set-user or set-group bits meant for another owner.
        const bool sameOwner = ::fchown(temporary.descriptor(), previous.st_uid, previous.st_gid) == 0;
        ::fchmod(temporary.descriptor(), previous.st_mode & (sameOwner ? 07777 : 0777));
        const struct timespec times[2] = {previous.st_atim, previous.st_mtim};
        ::futimens(temporary.descriptor(), times);
    } else {
        // mkstemp makes the file private to its owner; a new picture gets the usual permissions.
        ::fchmod(temporary.descriptor(), 0666 & ~currentUmask());
    }
    if (!temporary.close())
        return false;
    return temporary.renameTo(targetPath);
}

} // namespace

void writeJpeg(const BottomUpBitmap& bitmap, const QString& path, int quality, LinkHandling links)
{
    const Compressor compressor(tjInitCompress());
    if (!compressor)
        raise(QStringLiteral("Failed to initialise the IJL library: -1"));
    if (!bitmap.isHeld())
        raiseSaveFailure(-1);

    // The rows go in as they are: bottom-up, padded to bytesPerLine(), blue-green-red. The
    // encoder reads them in reverse order, so the JPEG comes out upright.
    unsigned char* encoded = nullptr;
    unsigned long encodedSize = 0;
    const int result = tjCompress2(compressor.get(), bitmap.bits(), bitmap.width(), bitmap.bytesPerLine(),
                                   bitmap.height(), TJPF_BGR, &encoded, &encodedSize, TJSAMP_420, quality,
                                   TJFLAG_BOTTOMUP);
    const EncoderBuffer output(encoded);
    if (result != 0)
        raiseSaveFailure(result);

    if (!replaceFile(path, output.get(), size_t(encodedSize), links))
        raiseSaveFailure(-1);
}

} // namespace imaging
