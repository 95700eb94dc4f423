#include "texture/FileDialogError.h"

#include "platform/MessageBox.h"

namespace texture {

QString fileDialogErrorDescription(int code)
{
    switch (code) {
    case DialogNotCreated:
        return QStringLiteral("The dialog box could not be created.\n"
                              "The common dialog box function’s call to the DialogBox function failed. For example, "
                              "this error occurs if the common dialog box call specifies an invalid window handle.");
    case InvalidFileName:
        return QStringLiteral("A filename is invalid.");
    default:
        break;
    }
    return QStringLiteral("Unknown Error");
}

void reportFileDialogError(int code, const QString& functionName, QWidget* parent)
{
    platform::MessageRequest report;
    report.title = QStringLiteral("  Common Dialog Error");
    report.icon = platform::MessageIcon::Exclamation;
    report.text = QStringLiteral("COMDLG32.DLL encountered the following error while calling the '") + functionName
                  + QStringLiteral("' function:\n\nError Number = ") + QString::number(code)
                  + QStringLiteral("\nError Description = ") + fileDialogErrorDescription(code);
    platform::showMessage(report, parent);
}

} // namespace texture
