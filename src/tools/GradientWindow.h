#pragma once

#include "app/ScreenMetrics.h"
#include "tools/GradientModel.h"

#include <QDialog>
#include <QImage>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollBar;

namespace tools {

// The "Gradient..." tool window: designs the program's one two-colour gradient. A square
// preview shows it; the same gradient is painted into a 256 x 256 canvas whose committed
// picture is what "Apply To..." hands on as a texture. The slider holds the direction (0 puts
// the first colour at the left, 90 at the top); the colours and the slider are kept in the
// settings ("Gradient Settings": "Colour 0", "Colour 1", "Angle") after every committed change.
// The window is made once and only hidden and shown again: closing it hides it.
class GradientWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr int CanvasSide = 256;

    explicit GradientWindow(const app::ScreenMetrics& metrics = {}, QWidget* parent = nullptr);

    const GradientModel& gradient() const { return m_gradient; }
    // The canvas as last painted, and the picture committed from it by the last change of the
    // direction (or of a colour); the latter becomes the texture.
    const QImage& canvas() const { return m_canvas; }
    const QImage& committedPicture() const { return m_committedPicture; }

    QLabel* preview() const { return m_preview; }
    QScrollBar* directionSlider() const { return m_direction; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* applyToButton() const { return m_applyTo; }
    QPushButton* firstColourButton() const { return m_firstColour; }
    QPushButton* secondColourButton() const { return m_secondColour; }
    QCheckBox* snapToCommonBox() const { return m_snapToCommon; }
    QPushButton* randomizeButton() const { return m_randomize; }

    // Where "Randomize" takes its numbers from: uniform in [0, 1). Unless set, a generator
    // seeded from the clock.
    void setRandomSource(std::function<double()> source);

signals:
    // "Apply To...": the committed picture is to become the texture of a part.
    void applyToRequested(const QImage& picture);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls(const app::ScreenMetrics& metrics);
    void loadSettings();
    void saveSettings() const;
    // The direction was changed (by the user or by the program): snap, paint, commit, save.
    void onDirectionChanged();
    // The direction is being dragged (and every change passes here): paint only.
    void paintGradient();
    void onSnapToggled();
    void chooseColour(int which);
    void randomize();

    GradientModel m_gradient;
    QImage m_previewPicture;
    QImage m_canvas;
    QImage m_committedPicture;
    std::function<double()> m_random;

    QLabel* m_preview = nullptr;
    QScrollBar* m_direction = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_applyTo = nullptr;
    QPushButton* m_firstColour = nullptr;
    QPushButton* m_secondColour = nullptr;
    QCheckBox* m_snapToCommon = nullptr;
    QPushButton* m_randomize = nullptr;
};

} // namespace tools
