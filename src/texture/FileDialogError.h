#pragma once

#include <QString>

class QWidget;

namespace texture {

// The failures a file dialog reports, by the numbers the program has always used for them.
enum FileDialogErrorCode : int {
    DialogNotCreated = 0xFFFF, // no dialog can be shown (no widget application is running)
    InvalidFileName = 0x3002,  // the dialog gave back a folder or no name at all
};

// The description of a code; "Unknown Error" for a code a file dialog does not give.
QString fileDialogErrorDescription(int code);

// Shows the error of a dialog called by the named function: an exclamation box titled
// "  Common Dialog Error" with the number and its description.
void reportFileDialogError(int code, const QString& functionName, QWidget* parent = nullptr);

} // namespace texture
