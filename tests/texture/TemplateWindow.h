#pragma once

// The main window as a user starts it, playing one of the sample templates built next to the
// program, in a home of the test's own; tests answer its dialogs through the seams.

#include "app/MainWindow.h"
#include "platform/Settings.h"
#include "player/MoviePlayer.h"
#include "player/Player.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace testing {

// Points the home, settings, data and temporary folders into a folder of the test.
inline void useHome(const QTemporaryDir& home)
{
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    qputenv("TMPDIR", home.filePath(QStringLiteral("tmp")).toUtf8());
    QDir().mkpath(home.filePath(QStringLiteral("tmp")));
}

// Starts the main window on a template of the program folder (or of userFolder) at a part.
inline std::unique_ptr<app::MainWindow> startTemplate(const QString& fileName, const QString& userFolder,
                                                      const app::ScreenMetrics& metrics = {},
                                                      const QString& part = QStringLiteral("0"))
{
    platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Template"), fileName);
    platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Part"), part);
    app::StartupContext context;
    context.programFolder = QStringLiteral(SKRV_BIN_DIR);
    context.executableName = QStringLiteral("texture-test");
    context.userTemplateFolder = userFolder;
    auto window = std::make_unique<app::MainWindow>(context, metrics);
    window->start();
    return window;
}

// Plays frames as the player's timer would: a new texture shows two frames after it is set.
inline void playFrames(app::MainWindow& window, int frames = 3)
{
    for (int frame = 0; frame < frames; ++frame)
        window.moviePlayer()->engine().advanceFrame();
}

// True when a pixel is near a colour, each channel within the tolerance.
inline bool isNear(QRgb pixel, const QColor& colour, int tolerance = 40)
{
    return std::abs(qRed(pixel) - colour.red()) <= tolerance && std::abs(qGreen(pixel) - colour.green()) <= tolerance
           && std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

inline QString describe(QRgb pixel)
{
    return QColor(pixel).name();
}

// The car's door decal, a 150 x 46 part at (190, 98) of its 512 x 256 body sheet.
inline const QRect CarDecal(190, 98, 150, 46);

} // namespace testing
