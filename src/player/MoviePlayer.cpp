#include "MoviePlayer.h"

#include "InputDispatcher.h"
#include "KeyCodes.h"
#include "Player.h"
#include "ScriptEngineFactory.h"
#include "render/DisplayRenderer.h"
#include "render/StageLayout.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimerEvent>

#include <algorithm>
#include <cmath>

namespace player {

namespace {
// The program stays responsive whatever a template's scripts do: one frame's scripts stop after
// this many milliseconds, even when the movie asks for Flash's fifteen seconds.
constexpr int ScriptTimeCeiling = 2000;
}

MoviePlayer::MoviePlayer(QWidget* parent)
    : QWidget(parent), m_player(std::make_unique<Player>()), m_renderer(std::make_unique<render::DisplayRenderer>())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Buttons light up as the mouse passes, so the widget follows it without a button held.
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    m_player->onFsCommand = [this](const QString& command, const QString& args) { emit movieCommand(command, args); };
    m_player->onFlashCall = [this](const QString& request) { emit externalCall(request); };
    m_player->setScriptHost(makeScriptHost(*m_player, ScriptTimeCeiling));
    // A movie that asks for no scaling sees the widget's size as its stage, in the device
    // independent pixels Flash counts in (on a high density screen the painter scales).
    m_player->setViewportSize(size());
}

MoviePlayer::~MoviePlayer()
{
    if (m_timerId)
        killTimer(m_timerId);
}

void MoviePlayer::setReadableFolders(const QStringList& folders)
{
    m_player->setReadableFolders(folders);
}

void MoviePlayer::loadMovie(int layer, const QString& url)
{
    // Errors are not reported to the host: a movie that cannot be read leaves the layer empty.
    m_player->loadMovie(layer, url);
    restartFrameTimer();
    update();
}

void MoviePlayer::gotoFrame(int frame)
{
    m_player->gotoFrame(frame);
    updateIfChanged();
}

bool MoviePlayer::gotoFrameOf(const QString& target, int frame)
{
    const bool found = m_player->gotoFrameOf(target, frame);
    updateIfChanged();
    return found;
}

std::optional<int> MoviePlayer::currentFrameOf(const QString& target) const
{
    return m_player->currentFrameOf(target);
}

void MoviePlayer::setVariable(const QString& name, const QString& value)
{
    m_player->setVariable(name, value);
    updateIfChanged();
}

std::optional<QString> MoviePlayer::variable(const QString& name) const
{
    return m_player->variable(name);
}

void MoviePlayer::setScaleMode(ScaleMode mode)
{
    m_scaleMode = mode;
    update();
}

ScaleMode MoviePlayer::scaleMode() const
{
    return m_scaleMode;
}

QImage MoviePlayer::renderStage(const QSize& size) const
{
    if (size.isEmpty())
        return {};
    return m_renderer->renderStageImage(m_player->stage(), size, m_scaleMode);
}

void MoviePlayer::setInteractive(bool interactive)
{
    m_interactive = interactive;
    setFocusPolicy(interactive ? Qt::ClickFocus : Qt::NoFocus);
    if (!interactive)
        unsetCursor();
}

bool MoviePlayer::isInteractive() const
{
    return m_interactive;
}

Player& MoviePlayer::engine()
{
    return *m_player;
}

void MoviePlayer::restartFrameTimer()
{
    const bool hasMovie = !m_player->stage().levels().empty();
    double rate = m_player->frameRate();
    // A rate of 0 (or nonsense) plays as fast as Flash would allow, which we cap.
    if (!std::isfinite(rate) || rate <= 0.0)
        rate = 120.0;
    rate = std::clamp(rate, 0.01, 120.0);
    if (hasMovie && m_timerId && rate == m_timerFrameRate)
        return;
    if (m_timerId) {
        killTimer(m_timerId);
        m_timerId = 0;
    }
    if (!hasMovie)
        return;
    m_timerFrameRate = rate;
    m_timerId = startTimer(static_cast<int>(std::lround(1000.0 / rate)), Qt::PreciseTimer);
}

void MoviePlayer::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timerId) {
        QWidget::timerEvent(event);
        return;
    }
    playFrame();
}

void MoviePlayer::playFrame()
{
    m_player->advanceFrame();
    restartFrameTimer();
    updateIfChanged();
}

void MoviePlayer::updateIfChanged()
{
    if (m_player->stage().changeCount() != m_paintedChangeCount || m_paintedBitmaps.changed())
        update();
}

void MoviePlayer::paintEvent(QPaintEvent*)
{
    // Drawing reads the tree and changes nothing in it, so the count taken first is the one drawn.
    m_paintedChangeCount = m_player->stage().changeCount();
    m_paintedBitmaps.clear();
    m_renderer->setShownBitmaps(&m_paintedBitmaps);
    QPainter painter(this);
    m_renderer->renderStage(painter, m_player->stage(), size(), m_scaleMode);
    m_renderer->setShownBitmaps(nullptr);
    ++m_paintCount;
}

bool MoviePlayer::passMousePosition(const QPointF& position)
{
    if (!m_interactive)
        return false;
    const QTransform toWidget = render::StageLayout::stageTransform(m_player->stage().stageRect(), QSizeF(size()), m_scaleMode);
    if (!toWidget.isInvertible())
        return false;
    const QPointF stage = toWidget.inverted().map(position);
    m_player->mouseMove(stage.x() / 20.0, stage.y() / 20.0);
    return true;
}

void MoviePlayer::updateCursor()
{
    if (m_player->input().wantsHandCursor(m_player->scriptHost()))
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

// Input taken by the movie is accepted, so that clicks on it do not fall through to the window.
void MoviePlayer::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !passMousePosition(event->position())) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_player->mouseDown();
    updateCursor();
    updateIfChanged();
}

void MoviePlayer::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !passMousePosition(event->position())) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_player->mouseUp();
    updateCursor();
    updateIfChanged();
}

void MoviePlayer::mouseMoveEvent(QMouseEvent* event)
{
    if (!passMousePosition(event->position())) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    updateCursor();
    updateIfChanged();
}

void MoviePlayer::leaveEvent(QEvent* event)
{
    if (m_interactive) {
        m_player->mouseLeft();
        updateCursor();
        updateIfChanged();
    }
    QWidget::leaveEvent(event);
}

void MoviePlayer::keyPressEvent(QKeyEvent* event)
{
    const int code = flashKeyCode(event->key());
    if (!m_interactive || code == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const QString text = event->text();
    const int ascii = text.size() == 1 && text[0].unicode() < 128 ? text[0].unicode() : 0;
    m_player->keyDown(code, ascii);
    updateIfChanged();
}

void MoviePlayer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_player->resizeViewport(event->size());
    updateIfChanged();
}

void MoviePlayer::keyReleaseEvent(QKeyEvent* event)
{
    const int code = flashKeyCode(event->key());
    if (!m_interactive || code == 0 || event->isAutoRepeat()) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    m_player->keyUp(code);
    updateIfChanged();
}

} // namespace player
