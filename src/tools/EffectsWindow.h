#pragma once

#include "app/ScreenMetrics.h"
#include "tools/EffectState.h"

#include <QDialog>
#include <QPointer>
#include <array>

class QPushButton;
class QScrollBar;

namespace player {
class MoviePlayer;
}

namespace tools {

// The "Effects..." tool window: five sliders that drive the effects overlay of the movie. It
// keeps no effect state of its own: every movement of a slider goes to the movie at once, and
// readEffectState() fills the sliders from what the movie shows. The window is deleted when it
// closes; the movie keeps the effects as they were last sent.
class EffectsWindow : public QDialog {
    Q_OBJECT

public:
    explicit EffectsWindow(player::MoviePlayer* movie, const app::ScreenMetrics& metrics = {}, QWidget* parent = nullptr);

    // Fills the sliders from the movie and enables those whose effect the movie offers (blur
    // shading only together with shading); a slider that changes sends its value straight
    // back. True when at least one slider is enabled: only then is the window worth showing.
    bool readEffectState();
    // The same from a state read before.
    bool showEffectState(const EffectState& state);

    // "Reset": every slider back to its neutral value; those that change send it.
    void reset();

    QScrollBar* slider(Effect effect) const { return m_sliders[size_t(effect)]; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* resetButton() const { return m_reset; }

private:
    void send(Effect effect, int value);

    QPointer<player::MoviePlayer> m_movie;
    std::array<QScrollBar*, AllEffects.size()> m_sliders{};
    QPushButton* m_ok = nullptr;
    QPushButton* m_reset = nullptr;
};

} // namespace tools
