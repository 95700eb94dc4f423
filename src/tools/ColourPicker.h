#pragma once

#include "tools/ColourReference.h"

#include <array>
#include <optional>

class QWidget;

namespace tools {

// Every colour choice of the program goes through this one picker, so that all of them share
// one set of sixteen custom colours, kept in the settings ("Custom Colours", keys "Colour 0" to
// "Colour 15", decimal colour references) between runs. The set is read from the settings once,
// at the first use; until a colour is stored there, a custom colour is the system colour with
// its number.
class ColourPicker {
public:
    // The picker of this run.
    static ColourPicker& instance();

    // Shows the colour dialog with the initial colour selected and the custom colours to edit.
    // The custom colours are written back to the settings whatever the user answers. The chosen
    // colour, or nothing when the dialog was cancelled.
    std::optional<ColourReference> pickColour(ColourReference initial, QWidget* parent = nullptr);

    // The colour of the last dialog, -1 after one that was cancelled (and before any).
    ColourReference selectedColour() const { return m_selected; }

    // A custom colour by index 0 to 15; -1 for any other index.
    ColourReference customColour(int index);
    // Stores a custom colour (an index outside 0 to 15 is ignored) and writes all sixteen.
    void setCustomColour(int index, ColourReference colour);

    // Forgets the set read from the settings, so that the next use reads it again.
    void reload() { m_loaded = false; }

private:
    void loadIfNeeded();
    void save() const;

    std::array<ColourReference, 16> m_custom{};
    bool m_loaded = false;
    ColourReference m_selected = -1;
};

} // namespace tools
