#include "catalogue/window/CatalogueListingCommand.h"

#include "app/StartupContext.h"
#include "app/TemplateList.h"
#include "catalogue/CatalogueListing.h"
#include "catalogue/CatalogueScan.h"
#include "catalogue/DetailCache.h"

#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <cstring>

namespace catalogue {

std::optional<int> listCatalogueIfAsked(int argc, char** argv)
{
    if (argc != 2 || std::strcmp(argv[1], "--catalogue") != 0)
        return std::nullopt;
    // The movies are played without being drawn, so no display is needed; a platform the
    // caller chose is kept.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    const app::StartupContext context = app::StartupContext::fromApplication();
    app::TemplateList templates;
    templates.setFolders({context.contentFolderPath(), context.userTemplateFolderPath()});
    templates.refresh();
    std::vector<TemplateFile> files;
    for (int index = 0; index < templates.count(); ++index)
        files.push_back({templates.fileName(index), templates.filePath(index)});

    DetailCache cache;
    const ScanResult scan = CatalogueScan(&cache).run(files);
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    for (const CatalogueEntry& entry : scan.entries)
        out << listingLine(entry) << '\n';
    out.flush();
    return out.status() == QTextStream::Ok ? 0 : 1;
}

} // namespace catalogue
