#pragma once

#include <QFlags>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

enum class FileDialogMode { Open, Save };

enum class FileDialogOption {
    OverwritePrompt = 0x1, // save: ask before replacing an existing file
    FileMustExist = 0x2,   // open: only an existing file can be chosen
};
Q_DECLARE_FLAGS(FileDialogOptions, FileDialogOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(FileDialogOptions)

struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::Open;
    QString title;            // empty: the dialog's own title
    QString filter;           // "Description|*.ext;*.ext2|Description|*.ext3", see qtNameFilters()
    int filterIndex = 1;      // the pair selected at first, counted from 1
    QString initialFolder;    // empty: the current folder
    QString initialFileName;  // may be empty
    QString defaultExtension; // without the dot; added to a typed name that has none
    FileDialogOptions options;
};

struct FileDialogResult {
    QString path;        // absolute path of the chosen file
    int filterIndex = 1; // the filter pair in effect when the user chose, counted from 1
};

// Shows the open or save dialog; nothing when the user cancels.
std::optional<FileDialogResult> showFileDialog(const FileDialogRequest& request, QWidget* parent = nullptr);

// The seam tests use, as for message boxes: while a handler is installed, showFileDialog()
// hands every request to it and returns its answer instead of opening a window.
using FileDialogHandler = std::function<std::optional<FileDialogResult>(const FileDialogRequest&)>;
void setFileDialogHandler(FileDialogHandler handler); // an empty handler restores the real dialog
FileDialogHandler fileDialogHandler();

// Turns the program's filter text, pairs of a description and a ";"-separated pattern list all
// joined by "|", into Qt's name filters "Description (*.a *.b)". A pattern list the description
// already shows in parentheses is replaced by the real one, so "JPEG Files (*.JPG)|*.jpg" gives
// "JPEG Files (*.jpg)". A description without patterns matches every file. An empty text gives
// an empty list.
QStringList qtNameFilters(const QString& filter);

} // namespace platform
