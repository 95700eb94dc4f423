// Start-up time: from the start of the process to the first frame of the first sample template
// painted in the main window, as a user starts the program with no settings yet. Run it under
// a display (for example xvfb-run) from build/bin, where the sample templates lie:
//
//     xvfb-run -a build/bin/bench_startup [runs]
//
// Each run starts a fresh process (the program itself, in a mode that stops at the first
// frame) so that nothing is warm but the disk cache. Prints the best and the median.
#include "app/MainWindow.h"
#include "player/MoviePlayer.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

qint64 monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Stops the event loop when the movie player has painted for the first time.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

// One start of the program; returns the milliseconds to its first frame, or -1.
int startOnce(int argc, char** argv, qint64 processStartNs)
{
    QApplication application(argc, argv);
    app::MainWindow window(app::StartupContext::fromApplication());
    FirstPaint firstPaint;
    window.moviePlayer()->installEventFilter(&firstPaint);
    window.start();
    if (window.hasEnded())
        return -1;
    window.show();
    QTimer::singleShot(10000, &application, [] { QCoreApplication::exit(1); });
    if (application.exec() != 0)
        return -1;
    return int((monotonicNs() - processStartNs) / 1000000);
}

} // namespace

int main(int argc, char** argv)
{
    // A child run: the parent passes the moment it launched us.
    if (argc == 3 && std::string(argv[1]) == "--child") {
        const int ms = startOnce(1, argv, std::stoll(argv[2]));
        std::printf("%d\n", ms);
        return ms < 0 ? 1 : 0;
    }

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    QCoreApplication application(argc, argv);
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    std::vector<int> times;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const qint64 launched = monotonicNs();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), QString::number(launched)});
        if (!child.waitForFinished(30000) || child.exitCode() != 0) {
            std::fprintf(stderr, "run %d failed\n", run + 1);
            return 1;
        }
        times.push_back(child.readAllStandardOutput().trimmed().toInt());
    }
    std::sort(times.begin(), times.end());
    std::printf("start-up to first frame over %d runs: best %d ms, median %d ms, worst %d ms\n", runs, times.front(),
                times[times.size() / 2], times.back());
    return 0;
}
