#pragma once

#include "tools/ColourReference.h"

#include <QImage>
#include <QList>
#include <QString>
#include <functional>

namespace tools {

// Why a gradient could not be drawn, and the title its message carries.
struct GradientFailure {
    QString title; // empty: the program's own title
    QString description;
};

// A two-colour linear gradient: a first colour, a last colour and the direction in which the
// colour runs from the one to the other, in degrees counter-clockwise from the right (90 points
// up). Drawing fills a picture with one-pixel solid lines at right angles to that direction,
// one pixel apart, from the edge where the gradient starts to the opposite one; the first line
// has the first colour. The picture is the model's only output: it has no window of its own.
class GradientModel {
public:
    using FailureHandler = std::function<void(const GradientFailure&)>;

    GradientModel();

    // Colours are references as the settings hold them; a system colour reference is replaced
    // by the colour it stands for when it is set.
    ColourReference colour1() const { return m_colour1; }
    void setColour1(ColourReference colour);
    ColourReference colour2() const { return m_colour2; }
    void setColour2(ColourReference colour);

    // Always held in [0, 360): 360 reads 0, -90 reads 270, 725 reads 5.
    float angle() const { return m_angle; }
    void setAngle(float degrees);

    // Paints the gradient over the whole picture; true when anything was painted. A picture
    // less than two pixels wide or high is left as it is. The picture must have 32 bits a
    // pixel; any other is a failure, reported like those of the drawing itself.
    bool draw(QImage& picture) const;

    // `steps` colours (at least two) from `from` to `to`. The end colours are copied as they
    // are; the colours between move by a step of (to - from) / steps a channel, so that the
    // last one before `to` stops short of it.
    static QList<ColourReference> blendColours(ColourReference from, ColourReference to, int steps);

    // Where failures go; unless set, they are shown in a message box with an exclamation icon.
    void setFailureHandler(FailureHandler handler);

private:
    int renderGradient(QImage& picture, int width, int height) const;
    void report(const GradientFailure& failure) const;

    ColourReference m_colour1 = 16777168; // a very light cyan
    ColourReference m_colour2 = 4194304;  // a dark blue
    float m_angle = 315;
    FailureHandler m_failureHandler;
};

} // namespace tools
