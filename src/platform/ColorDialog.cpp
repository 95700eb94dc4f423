#include "platform/ColorDialog.h"

#include <QColorDialog>

namespace platform {

namespace {

ColorDialogHandler& installedHandler()
{
    static ColorDialogHandler handler;
    return handler;
}

} // namespace

void setColorDialogHandler(ColorDialogHandler handler)
{
    installedHandler() = std::move(handler);
}

ColorDialogHandler colorDialogHandler()
{
    return installedHandler();
}

std::optional<QColor> showColorDialog(ColorDialogRequest& request, QWidget* parent)
{
    if (const ColorDialogHandler& handler = installedHandler())
        return handler(request);

    constexpr int customCount = int(std::tuple_size_v<decltype(request.customColours)>);
    std::array<QRgb, customCount> borrowed{};
    for (int index = 0; index < customCount; ++index) {
        borrowed[index] = QColorDialog::customColor(index).rgb();
        QColorDialog::setCustomColor(index, QColor::fromRgb(request.customColours[index]));
    }

    std::optional<QColor> chosen;
    {
        QColorDialog dialog(request.initialColour, parent);
        if (dialog.exec() == QDialog::Accepted)
            chosen = dialog.selectedColor();
        for (int index = 0; index < customCount; ++index)
            request.customColours[index] = QColorDialog::customColor(index).rgb();
        // The set is written to Qt's shared settings when the dialog goes away, so the borrowed
        // colours must be back in place before that.
        for (int index = 0; index < customCount; ++index)
            QColorDialog::setCustomColor(index, QColor::fromRgb(borrowed[index]));
    }
    return chosen;
}

} // namespace platform
