// Opening the template catalogue on 200 installed templates: the first time (no cache: every
// movie is read) and again (every template found unchanged in the cache). Times the scan alone
// and the whole opening of the window (reading the folder, the scan, filling the lists and
// showing the selected template's details). Runs headless:
//
//     build/bin/bench_catalogue [runs]
//
// Two sets of templates are generated into a temporary folder before timing: movies made with
// the authoring kit (a sheet of shapes, the details, items and three parts over three frames),
// and copies of the sample templates of build/bin with their own names. Prints the best and the
// median of the runs, in milliseconds.
#include "app/TemplateList.h"
#include "authoring/TemplateBuilder.h"
#include "catalogue/CatalogueScan.h"
#include "catalogue/DetailCache.h"
#include "catalogue/window/CatalogueWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int templateCount = 200;

const char* const categories[] = {"Chairs", "Tables", "Vehicles", "Hair", "hairs", "Lamps", "Rugs", "Beds", "Doors",
                                  "Walls", "Seats", "seat"};
const char* const makers[] = {"Oakfield Furniture", "Roadline Models", "Parkworks", "Lumen", "Weaver", "Stone & Co", ""};

QByteArray generatedTemplate(int index, QString* error)
{
    QTemporaryDir source;
    const QString frame0 = QString(
        "stop();\n"
        "title = \"Generated %1\"; price = \"%2\"; description = \"Template number %1, made for timing the catalogue.\";\n"
        "category = \"%3\"; objectmakersitename = \"%4\"; templatemakersitename = \"Bench\";\n"
        "objectmakersite = \"https://maker%5.example.com/\"; templatemakersite = \"https://bench.example.org/\";\n"
        "tiles = %6; guid = \"{%1-guid}\"; tileguids = \"{a%1}&{b%1}\";\n"
        "fscommand(\"setsize\", \"512 x 256\"); fscommand(\"clearitems\");\n"
        "fscommand(\"additem\", \"Paint&paint&colour\"); fscommand(\"additem\", \"Panel&panel&file\");\n"
        "fscommand(\"addseperator\"); fscommand(\"additem\", \"Back&2&goto\");\n")
                               .arg(index)
                               .arg(index % 7)
                               .arg(categories[index % std::size(categories)])
                               .arg(makers[index % std::size(makers)])
                               .arg(index % std::size(makers))
                               .arg(1 + index % 3);
    QJsonArray shapes;
    for (int layer = 0; layer < 6; ++layer)
        shapes.append(QJsonObject{{"rect", QJsonArray{layer * 40, layer * 20, 200, 100}},
                                  {"fill", QJsonObject{{"linear", QJsonArray{QJsonArray{"#4A525C", 0}, QJsonArray{"#1A1D21", 255}}},
                                                       {"angle", 90}}},
                                  {"line", QJsonObject{{"width", 2}, {"color", "#101010"}}}});
    const QJsonObject sheetPlacement{{"depth", 1}, {"symbol", "sheet"}};
    const QJsonObject panelClip{{"frames", QJsonArray{QJsonObject{{"place", QJsonArray{sheetPlacement}}}}}};
    const QJsonObject panelPlacement{{"depth", 1}, {"symbol", "panel"}, {"name", "panel"}};
    const QJsonArray frames{
        QJsonObject{{"place", QJsonArray{panelPlacement}}, {"script", frame0}},
        QJsonObject{{"script", "fscommand(\"addpart\", \"Body\");"}},
        QJsonObject{{"script", "fscommand(\"addpart\", \"Wheels\"); fscommand(\"addpart\", \"Roof\");"
                               " fscommand(\"selectpart\", \"0\");"}},
    };
    const QJsonObject manifest{
        {"width", 512},
        {"height", 256},
        {"shapes", QJsonObject{{"sheet", shapes}}},
        {"clips", QJsonObject{{"panel", panelClip}}},
        {"frames", frames},
    };
    QFile file(source.filePath("template.json"));
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QJsonDocument(manifest).toJson());
    file.close();
    const authoring::TemplateBuildResult built = authoring::buildTemplate(source.path());
    *error = built.error;
    return built.movie;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct Timing {
    double best = 0;
    double median = 0;
};

Timing measure(int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        prepare();
        QElapsedTimer clock;
        clock.start();
        work();
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

void report(const char* what, const Timing& timing)
{
    std::printf("  %-34s best %7.1f ms   median %7.1f ms\n", what, timing.best, timing.median);
}

void benchmarkSet(const char* name, const QString& folder, const QString& cacheFile, int runs)
{
    app::TemplateList list;
    list.setFolders({folder});
    list.refresh();
    std::vector<catalogue::TemplateFile> files;
    for (int index = 0; index < list.count(); ++index)
        files.push_back({list.fileName(index), list.filePath(index)});

    int moviesRead = -1;
    const auto scan = [&] {
        catalogue::DetailCache cache;
        moviesRead = catalogue::CatalogueScan(&cache).run(files).moviesRead;
    };
    const auto openWindow = [&] {
        list.setCurrentIndex(0);
        catalogue::CatalogueWindow window(list, app::ScreenMetrics {});
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.open();
    };
    const auto noCache = [&] { QFile::remove(cacheFile); };
    const auto nothing = [] {};

    std::printf("%s: %d templates\n", name, list.count());
    report("scan, first time (no cache)", measure(runs, noCache, scan));
    const int coldReads = moviesRead;
    report("scan, again (cache)", measure(runs, nothing, scan));
    const int warmReads = moviesRead;
    report("window opening, first time", measure(runs, noCache, openWindow));
    report("window opening, again", measure(runs, nothing, openWindow));
    std::printf("  movies read: %d the first time, %d again\n", coldReads, warmReads);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CACHE_HOME", home.filePath("cache").toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    QApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const QString cacheFile = catalogue::DetailCache::defaultFilePath();

    const QString generated = home.filePath("generated");
    QDir().mkpath(generated);
    for (int index = 0; index < templateCount; ++index) {
        QString error;
        const QByteArray movie = generatedTemplate(index, &error);
        if (movie.isEmpty() || !writeFile(QString("%1/Generated%2.skrv").arg(generated).arg(index, 3, 10, QChar('0')), movie)) {
            std::fprintf(stderr, "bench_catalogue: cannot make a template: %s\n", qPrintable(error));
            return 1;
        }
    }
    benchmarkSet("generated templates", generated, cacheFile, runs);

    const QString samples = home.filePath("samples");
    QDir().mkpath(samples);
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QStringList sampleNames{"Car.skrv", "Chair.skrv", "Stool.skrv"};
    for (int index = 0; index < templateCount; ++index) {
        const QString& sample = sampleNames[index % sampleNames.size()];
        if (!QFile::copy(programFolder + "/" + sample, QString("%1/%2-%3.skrv").arg(samples).arg(index, 3, 10, QChar('0')).arg(sample.chopped(5)))) {
            std::fprintf(stderr, "bench_catalogue: the sample templates are not in %s\n", qPrintable(programFolder));
            return 1;
        }
    }
    benchmarkSet("copies of the sample templates", samples, cacheFile, runs);
    return 0;
}
