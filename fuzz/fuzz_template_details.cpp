// The catalogue's reading of a template's details: the movie is loaded, its variables read, its
// frames walked for parts, and the first part it reported picked.
#include "catalogue/PartWalk.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace {

constexpr int TimeLimit = 200;

void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "fuzz_template_details";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(argc, argv);
}

// The catalogue reads templates from files; one is written afresh for each input, in a folder
// of its own, so the movie finds nothing else to read.
QString templateFile()
{
    static QTemporaryDir folder;
    return folder.filePath(QStringLiteral("fuzz.skrv"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ensureApplication();
    QFile file(templateFile());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();

    catalogue::PartWalk walk;
    walk.setTimeLimit(TimeLimit);
    walk.open(file.fileName());
    if (!walk.details().parts.isEmpty())
        walk.selectPart(0);
    volatile qsizetype seen = walk.details().title.size() + walk.details().options.size();
    (void)seen;
    return 0;
}
