#include "tools/EffectsWindow.h"

#include "player/MoviePlayer.h"
#include "tools/TwipsGeometry.h"

#include <QPushButton>
#include <QScrollBar>

namespace tools {

namespace {

struct SliderPlace {
    double left, top, width;
};

SliderPlace placeOf(Effect effect)
{
    switch (effect) {
    case Effect::AddSubtract:
        return {120, 120, 2415};
    case Effect::Difference:
        return {2640, 120, 2415};
    case Effect::Shading:
        return {120, 480, 2415};
    case Effect::BlurShading:
        return {2640, 480, 2415};
    case Effect::Blur:
        return {120, 840, 4935};
    }
    return {};
}

const char* objectNameOf(Effect effect)
{
    switch (effect) {
    case Effect::AddSubtract:
        return "addSubtract";
    case Effect::Difference:
        return "difference";
    case Effect::Shading:
        return "shading";
    case Effect::BlurShading:
        return "blurShading";
    case Effect::Blur:
        return "blur";
    }
    return "";
}

} // namespace

EffectsWindow::EffectsWindow(player::MoviePlayer* movie, const app::ScreenMetrics& metrics, QWidget* parent)
    : QDialog(parent)
    , m_movie(movie)
{
    setObjectName(QStringLiteral("effectsWindow"));
    setWindowTitle(QStringLiteral("Effects..."));
    setAttribute(Qt::WA_DeleteOnClose);
    useDesignFont(this);
    setFixedSize(pixelSizeFromTwips(5175, 1695, metrics));

    for (const Effect effect : AllEffects) {
        auto* slider = new QScrollBar(Qt::Horizontal, this);
        slider->setObjectName(QString::fromLatin1(objectNameOf(effect)));
        const EffectRange range = effectRange(effect);
        slider->setRange(range.minimum, range.maximum);
        slider->setValue(range.neutral);
        slider->setSingleStep(1);
        slider->setPageStep(1);
        slider->setFocusPolicy(Qt::StrongFocus);
        const SliderPlace place = placeOf(effect);
        slider->setGeometry(pixelRectFromTwips(place.left, place.top, place.width, 255, metrics));
        // Dragging sends as it goes, as every other change does.
        connect(slider, &QScrollBar::valueChanged, this, [this, effect](int value) { send(effect, value); });
        m_sliders[size_t(effect)] = slider;
    }

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    m_ok->setGeometry(pixelRectFromTwips(120, 1200, 2415, 375, metrics));
    connect(m_ok, &QPushButton::clicked, this, &EffectsWindow::close);
    m_reset = new QPushButton(QStringLiteral("Reset"), this);
    m_reset->setObjectName(QStringLiteral("reset"));
    m_reset->setGeometry(pixelRectFromTwips(2640, 1200, 2415, 375, metrics));
    connect(m_reset, &QPushButton::clicked, this, &EffectsWindow::reset);

    setTabOrder(m_reset, slider(Effect::AddSubtract));
    setTabOrder(slider(Effect::AddSubtract), slider(Effect::Difference));
    setTabOrder(slider(Effect::Difference), slider(Effect::Shading));
    setTabOrder(slider(Effect::Shading), m_ok);
    setTabOrder(m_ok, slider(Effect::BlurShading));
    setTabOrder(slider(Effect::BlurShading), slider(Effect::Blur));
    fitCaptions(this);
}

void EffectsWindow::send(Effect effect, int value)
{
    if (!m_movie)
        return;
    switch (effect) {
    case Effect::AddSubtract:
        // The clip asked for a negative frame stands at its first frame.
        m_movie->gotoFrameOf(effectTargets::Add, value);
        m_movie->gotoFrameOf(effectTargets::Subtract, -value);
        break;
    case Effect::Difference:
        m_movie->gotoFrameOf(effectTargets::Difference, value);
        break;
    case Effect::Shading:
        m_movie->setVariable(effectTargets::Shading, QString::number(value));
        break;
    case Effect::BlurShading:
        m_movie->setVariable(effectTargets::BlurShading, QString::number(value));
        break;
    case Effect::Blur:
        m_movie->setVariable(effectTargets::Blur, QString::number(value));
        break;
    }
}

void EffectsWindow::reset()
{
    // Disabled sliders are reset too; only those whose value changes send.
    for (const Effect effect : AllEffects)
        slider(effect)->setValue(effectRange(effect).neutral);
}

bool EffectsWindow::readEffectState()
{
    reset();
    if (!m_movie) {
        for (const Effect effect : AllEffects)
            slider(effect)->setEnabled(false);
        return false;
    }
    return showEffectState(EffectState::read(*m_movie));
}

bool EffectsWindow::showEffectState(const EffectState& state)
{
    bool anyEnabled = false;
    for (const Effect effect : AllEffects) {
        const std::optional<int> value = state.value(effect);
        if (value)
            slider(effect)->setValue(*value);
        bool enabled = value.has_value();
        if (effect == Effect::BlurShading)
            enabled = enabled && slider(Effect::Shading)->isEnabled();
        slider(effect)->setEnabled(enabled);
        anyEnabled = anyEnabled || enabled;
    }
    return anyEnabled;
}

} // namespace tools
