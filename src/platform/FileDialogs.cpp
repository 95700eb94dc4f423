#include "platform/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>

namespace platform {

namespace {

FileDialogHandler& installedHandler()
{
    static FileDialogHandler handler;
    return handler;
}

// "JPEG Files (*.JPG;*.JPEG)" loses its trailing pattern list; other parentheses stay.
QString descriptionWithoutPatterns(const QString& description)
{
    static const QRegularExpression trailingPatterns(QStringLiteral(R"(\s*\([^()]*\*[^()]*\)\s*$)"));
    QString result = description;
    result.remove(trailingPatterns);
    return result.trimmed();
}

} // namespace

QStringList qtNameFilters(const QString& filter)
{
    QStringList result;
    if (filter.isEmpty())
        return result;
    const QStringList parts = filter.split(u'|');
    for (qsizetype index = 0; index < parts.size(); index += 2) {
        QStringList patterns;
        if (index + 1 < parts.size()) {
            for (const QString& pattern : parts[index + 1].split(u';', Qt::SkipEmptyParts)) {
                const QString trimmed = pattern.trimmed();
                if (!trimmed.isEmpty())
                    patterns.append(trimmed);
            }
        }
        if (patterns.isEmpty())
            patterns.append(QStringLiteral("*"));
        QString description = descriptionWithoutPatterns(parts[index]);
        if (description.isEmpty())
            description = patterns.join(u' ');
        result.append(description + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return result;
}

void setFileDialogHandler(FileDialogHandler handler)
{
    installedHandler() = std::move(handler);
}

FileDialogHandler fileDialogHandler()
{
    return installedHandler();
}

std::optional<FileDialogResult> showFileDialog(const FileDialogRequest& request, QWidget* parent)
{
    if (const FileDialogHandler& handler = installedHandler())
        return handler(request);

    QFileDialog dialog(parent, request.title);
    const bool saving = request.mode == FileDialogMode::Save;
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (saving)
        dialog.setFileMode(QFileDialog::AnyFile);
    else
        dialog.setFileMode(request.options.testFlag(FileDialogOption::FileMustExist) ? QFileDialog::ExistingFile
                                                                                     : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.options.testFlag(FileDialogOption::OverwritePrompt));

    const QStringList nameFilters = qtNameFilters(request.filter);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
        const int selected = (request.filterIndex >= 1 && request.filterIndex <= nameFilters.size()) ? request.filterIndex : 1;
        dialog.selectNameFilter(nameFilters[selected - 1]);
    }
    dialog.setDirectory(request.initialFolder.isEmpty() ? QDir::currentPath() : request.initialFolder);
    if (!request.initialFileName.isEmpty())
        dialog.selectFile(request.initialFileName);
    if (!request.defaultExtension.isEmpty())
        dialog.setDefaultSuffix(request.defaultExtension);

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return std::nullopt;

    FileDialogResult result;
    result.path = QDir::cleanPath(QDir(dialog.directory()).absoluteFilePath(files.first()));
    const qsizetype filterPosition = nameFilters.indexOf(dialog.selectedNameFilter());
    result.filterIndex = filterPosition >= 0 ? int(filterPosition) + 1 : 1;
    return result;
}

} // namespace platform
