#include "texture/FileChooser.h"

#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "texture/FileDialogError.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace texture {

namespace {

// The name the program's file dialog errors have always been reported under, for both modes.
const QString DialogFunctionName = QStringLiteral("DLG_GetOpenFileName");

QString withDefaultExtension(const QString& path, const FileChooserRequest& request)
{
    if (request.defaultExtension.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    const QString extended = path + QLatin1Char('.') + request.defaultExtension;
    if (!request.open)
        return extended;
    return !QFileInfo::exists(path) && QFileInfo::exists(extended) ? extended : path;
}

void reportFailure(const RuntimeError& error, QWidget* owner)
{
    platform::MessageRequest report;
    report.title = QStringLiteral("  Error  -  ") + error.description();
    report.icon = platform::MessageIcon::Exclamation;
    report.text = error.source() + QStringLiteral(" encountered the following error in the chooseFile function:\n\n")
                  + QStringLiteral("Error Number = ") + QString::number(error.number())
                  + QStringLiteral("\nError Description = ") + error.description();
    platform::showMessage(report, owner);
}

} // namespace

QString filterPatterns(const QString& filter, int pair)
{
    if (pair < 1)
        return {};
    return filter.section(QLatin1Char('|'), pair * 2 - 1, pair * 2 - 1);
}

std::optional<FileChoice> chooseFile(const FileChooserRequest& request, QWidget* owner)
{
    if (!platform::fileDialogHandler() && !qobject_cast<QApplication*>(QCoreApplication::instance())) {
        reportFileDialogError(DialogNotCreated, DialogFunctionName, owner);
        return std::nullopt;
    }

    platform::FileDialogRequest dialog;
    dialog.mode = request.open ? platform::FileDialogMode::Open : platform::FileDialogMode::Save;
    dialog.title = request.title;
    dialog.filter = request.filter;
    dialog.filterIndex = 1;
    dialog.initialFolder = request.initialFolder.isEmpty() ? QDir::currentPath() : request.initialFolder;
    dialog.initialFileName = request.fileName;
    dialog.defaultExtension = request.defaultExtension;
    // A file to open must be there; a file to replace is asked about by the caller.
    if (request.open)
        dialog.options = platform::FileDialogOption::FileMustExist;

    std::optional<platform::FileDialogResult> result;
    try {
        result = platform::showFileDialog(dialog, owner);
    } catch (const RuntimeError& error) {
        reportFailure(error, owner);
        return std::nullopt;
    }
    if (!result)
        return std::nullopt;

    const QString chosen = result->path.isEmpty() ? QString() : withDefaultExtension(result->path, request);
    const QFileInfo info(chosen);
    if (chosen.isEmpty() || info.fileName().isEmpty() || info.isDir() || chosen.contains(QChar(0))) {
        reportFileDialogError(InvalidFileName, DialogFunctionName, owner);
        return std::nullopt;
    }

    FileChoice choice;
    choice.path = info.absoluteFilePath();
    choice.fileTitle = info.fileName();
    choice.filter = filterPatterns(request.filter, result->filterIndex);
    return choice;
}

} // namespace texture
