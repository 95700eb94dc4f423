#pragma once

#include "render/ScaleMode.h"
#include "render/ShownBitmaps.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

namespace player {

class Player;
namespace render {
class DisplayRenderer;
}

// The movie player as a widget: the operations a host window uses, and the events a movie
// sends back. The host knows nothing else of the player. Frames advance on a timer at the
// movie's frame rate while the widget exists; the widget paints again only when a frame changed
// what the stage shows, so a movie standing still costs next to nothing.
class MoviePlayer : public QWidget {
    Q_OBJECT

public:
    explicit MoviePlayer(QWidget* parent = nullptr);
    ~MoviePlayer() override;

    // Loads the movie at a local path (or file: URL) into a layer, replacing what it held, and
    // runs its first frame before returning. The path "-1" empties the layer. Layer 0 is the
    // root movie; its frame rate and background drive the widget.
    void loadMovie(int layer, const QString& url);

    // The folders a movie may read files from, besides the folder of the movie in layer 0. Any
    // other file a movie asks for is refused as if it were missing.
    void setReadableFolders(const QStringList& folders);

    // Moves the root timeline of layer 0 to a frame (counted from 0) and runs its scripts.
    void gotoFrame(int frame);

    // Moves the clip at a target path ("_level100.addeffect", "/a/b") to a frame counted from 0;
    // a negative frame leaves it at frame 0. Returns false when there is no such clip.
    bool gotoFrameOf(const QString& target, int frame);

    // The current frame (counted from 0) of the clip at a target path; nothing when there is
    // no such clip.
    std::optional<int> currentFrameOf(const QString& target) const;

    // Variables by "path:name", "/path:name" or dot path ("_level100.blureffect",
    // "/:shading._alpha"); a path may end in a clip property.
    void setVariable(const QString& name, const QString& value);
    std::optional<QString> variable(const QString& name) const;

    void setScaleMode(ScaleMode mode);
    ScaleMode scaleMode() const;

    // The stage drawn as the widget shows it (its scale mode, its quality) into an image of the
    // given size, whatever the widget's own size; nothing is read from the screen.
    QImage renderStage(const QSize& size) const;

    // Whether mouse and key input reach the movie (the catalogue's hidden players get none).
    void setInteractive(bool interactive);
    bool isInteractive() const;

    // The engine behind the widget, for tools and tests that need more than the host operations.
    Player& engine();

    // Plays one frame, as the frame timer does: the movie's timelines, scripts and timers move
    // on, and the widget is repainted if the stage now shows something else.
    void playFrame();
    // How many times the widget has painted the stage.
    uint64_t paintCount() const { return m_paintCount; }

signals:
    void movieCommand(const QString& command, const QString& args);
    void externalCall(const QString& request);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void restartFrameTimer();
    // Moves the movie's mouse to a widget position; false when the widget takes no input.
    bool passMousePosition(const QPointF& position);
    void updateCursor();
    // Schedules a repaint when the stage shows something other than what was painted last.
    void updateIfChanged();

    std::unique_ptr<Player> m_player;
    std::unique_ptr<render::DisplayRenderer> m_renderer;
    double m_timerFrameRate = 0.0;
    ScaleMode m_scaleMode = ScaleMode::ExactFit;
    bool m_interactive = true;
    int m_timerId = 0;
    uint64_t m_paintCount = 0;
    // What the last paint showed: the stage's change count and the script-made bitmaps drawn.
    uint64_t m_paintedChangeCount = 0;
    render::ShownBitmaps m_paintedBitmaps;
};

} // namespace player
