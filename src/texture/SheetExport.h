#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace app {
class MainWindow;
}

namespace texture {

// The largest sheet that is saved, in pixels (a quarter of a gigabyte drawn).
constexpr qint64 largestSheetPixels = qint64(8192) * 8192;

// The texture sheet as the movie shows it, drawn at the sheet's own size (the size the movie
// asked for, not the halved size a small screen shows it at). Nothing is read from the screen,
// so other windows, dialogs and the screen's edges play no part. Throws RuntimeError 7 for a
// sheet above largestSheetPixels.
QImage renderSheet(app::MainWindow& window);

// Writes a sheet: a JPEG of quality 90 when the path's last three characters are "jpg" in any
// case, otherwise a 24-bit Windows bitmap whatever the extension. Either is written under a
// temporary name and renamed into place, so a failure leaves an existing file as it was; a
// symbolic link at the path has its target replaced. Throws RuntimeError on failure.
void writeSheet(const QImage& sheet, const QString& path);

// "Save As...": draws the sheet, asks for a file in the save dialog, asks before replacing an
// existing one and writes it; a successful save clears the unsaved-changes mark. False when the
// user cancels or declines to replace; throws RuntimeError when the sheet cannot be drawn or
// written.
bool saveSheetAs(app::MainWindow& window);

} // namespace texture
