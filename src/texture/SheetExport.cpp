#include "texture/SheetExport.h"

#include "app/MainWindow.h"
#include "imaging/BottomUpBitmap.h"
#include "imaging/JpegWriter.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/Settings.h"
#include "player/MoviePlayer.h"
#include "texture/FileChooser.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

namespace texture {

namespace {

const QString SheetFilter = QStringLiteral("JPEG Files (*.JPG)|*.jpg|Bitmap Files (*.bmp)|*.bmp");

[[noreturn]] void fail(int number, const QString& description)
{
    throw RuntimeError(number, platform::applicationName(), description);
}

void writeBitmapFile(const QImage& sheet, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(75, QStringLiteral("Path/File access error"));
    // Qt writes a picture without transparency as a 24-bit bitmap.
    QImageWriter writer(&file, "bmp");
    if (!writer.write(sheet.convertToFormat(QImage::Format_RGB32))) {
        file.cancelWriting();
        fail(75, QStringLiteral("Path/File access error"));
    }
    if (!file.commit())
        fail(75, QStringLiteral("Path/File access error"));
}

bool askToReplace(const QString& path, QWidget* parent)
{
    platform::MessageRequest question;
    question.text = path + QStringLiteral(" already exists.\nDo you want to replace it?");
    question.icon = platform::MessageIcon::Exclamation;
    question.buttons = platform::MessageButtons::YesNo;
    return platform::showMessage(question, parent) == platform::MessageAnswer::Yes;
}

} // namespace

QImage renderSheet(app::MainWindow& window)
{
    const QSize size = window.sheetSize();
    if (size.isEmpty() || qint64(size.width()) * size.height() > largestSheetPixels)
        fail(7, QStringLiteral("Out of memory"));
    const QImage sheet = window.moviePlayer()->renderStage(size);
    if (sheet.isNull())
        fail(7, QStringLiteral("Out of memory"));
    return sheet;
}

void writeSheet(const QImage& sheet, const QString& path)
{
    if (path.right(3).toLower() == QLatin1String("jpg")) {
        imaging::BottomUpBitmap bitmap;
        bitmap.assign(sheet);
        if (!bitmap.isHeld())
            fail(7, QStringLiteral("Out of memory"));
        imaging::writeJpeg(bitmap, path, 90, imaging::LinkHandling::ReplaceTarget);
    } else {
        writeBitmapFile(sheet, path);
    }
}

bool saveSheetAs(app::MainWindow& window)
{
    // Drawn before the dialog opens: the sheet is saved as it was when the command started.
    const QImage sheet = renderSheet(window);

    FileChooserRequest request;
    request.open = false;
    request.defaultExtension = QStringLiteral("jpg");
    request.filter = SheetFilter;
    const std::optional<FileChoice> choice = chooseFile(request, &window);
    if (!choice)
        return false;
    // Every file counts, hidden ones included.
    if (QFileInfo(choice->path).exists() || QFileInfo(choice->path).isSymLink()) {
        if (!askToReplace(choice->path, &window))
            return false;
    }
    writeSheet(sheet, choice->path);
    window.setUnsavedChanges(false);
    return true;
}

} // namespace texture
