#include "tools/ColourPicker.h"

#include "platform/ColorDialog.h"
#include "platform/Settings.h"
#include "tools/NumberText.h"

namespace tools {

namespace {

const QString Section = QStringLiteral("Custom Colours");

QString keyFor(int index)
{
    return QStringLiteral("Colour ") + QString::number(index);
}

} // namespace

ColourPicker& ColourPicker::instance()
{
    static ColourPicker picker;
    return picker;
}

void ColourPicker::loadIfNeeded()
{
    if (m_loaded)
        return;
    for (int index = 0; index < int(m_custom.size()); ++index) {
        const QString text = platform::getSetting(Section, keyFor(index), QString::number(systemColour(index)));
        m_custom[size_t(index)] = leadingInteger(text);
    }
    m_loaded = true;
}

void ColourPicker::save() const
{
    for (int index = 0; index < int(m_custom.size()); ++index)
        platform::saveSetting(Section, keyFor(index), QString::number(m_custom[size_t(index)]));
}

std::optional<ColourReference> ColourPicker::pickColour(ColourReference initial, QWidget* parent)
{
    loadIfNeeded();
    platform::ColorDialogRequest request;
    request.initialColour = toColour(resolveSystemColour(initial));
    for (size_t index = 0; index < m_custom.size(); ++index)
        request.customColours[index] = toColour(resolveSystemColour(m_custom[index])).rgb();
    const std::optional<QColor> chosen = platform::showColorDialog(request, parent);
    // The set is saved as the dialog left it, confirmed or not.
    for (size_t index = 0; index < m_custom.size(); ++index)
        m_custom[index] = toColourReference(QColor::fromRgb(request.customColours[index]));
    save();
    if (!chosen || !chosen->isValid()) {
        m_selected = -1;
        return std::nullopt;
    }
    m_selected = toColourReference(*chosen);
    return m_selected;
}

ColourReference ColourPicker::customColour(int index)
{
    loadIfNeeded();
    return index >= 0 && index < int(m_custom.size()) ? m_custom[size_t(index)] : -1;
}

void ColourPicker::setCustomColour(int index, ColourReference colour)
{
    loadIfNeeded();
    if (index >= 0 && index < int(m_custom.size()))
        m_custom[size_t(index)] = colour;
    save();
}

} // namespace tools
