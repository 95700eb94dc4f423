#pragma once

#include <QColor>
#include <array>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

struct ColorDialogRequest {
    QColor initialColour = Qt::white;
    // In and out: the dialog shows these sixteen custom colours and leaves here what the user
    // made of them, whether the dialog was confirmed or cancelled.
    std::array<QRgb, 16> customColours{};
};

// Shows the modal colour dialog with the initial colour selected; the chosen colour, or nothing
// when the user cancels. Qt keeps one set of custom colours for the whole process and stores it
// for every Qt program of the user, so the dialog borrows that set only while it is open and
// puts the previous colours back afterwards.
std::optional<QColor> showColorDialog(ColorDialogRequest& request, QWidget* parent = nullptr);

// The seam tests use, as for message boxes: while a handler is installed, showColorDialog()
// hands every request to it (the handler may change the custom colours) and returns its answer.
using ColorDialogHandler = std::function<std::optional<QColor>(ColorDialogRequest&)>;
void setColorDialogHandler(ColorDialogHandler handler); // an empty handler restores the real dialog
ColorDialogHandler colorDialogHandler();

} // namespace platform
