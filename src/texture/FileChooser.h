#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace texture {

// What the program asks of a file dialog.
struct FileChooserRequest {
    bool open = true;         // the open dialog, or the save dialog
    QString fileName;         // the name shown at first; may be empty
    QString defaultExtension; // without the dot; added to a chosen name that has none
    QString title;            // empty: the dialog's own title
    // Pairs of a description and a ";"-separated pattern list, all joined by "|":
    // "JPEG Files (*.JPG)|*.jpg|Bitmap Files (*.bmp)|*.bmp". The first pair is selected.
    QString filter;
    QString initialFolder; // empty: the current folder
};

struct FileChoice {
    QString path;      // the chosen file, absolute
    QString fileTitle; // its name without the folder
    QString filter;    // the pattern list of the filter pair in effect when the user chose
};

// Shows the open or save dialog through platform::showFileDialog (and so through its seam).
// Nothing when the user cancels. A dialog that cannot be shown or gives back no usable name is
// reported with reportFileDialogError(); any other failure with a box titled "  Error  -  "
// and its description; both also give nothing. A path may be as long as the system allows.
//
// The default extension goes on a name typed without one: in the save dialog always, in the
// open dialog when only the name with the extension names a file.
std::optional<FileChoice> chooseFile(const FileChooserRequest& request, QWidget* owner = nullptr);

// The pattern list of the n-th pair (from 1) of a filter text; empty when there is none.
QString filterPatterns(const QString& filter, int pair);

} // namespace texture
