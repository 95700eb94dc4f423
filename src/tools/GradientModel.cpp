#include "tools/GradientModel.h"

#include "platform/MessageBox.h"
#include "tools/NumberText.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

namespace tools {

namespace {

// Failures of the drawing, with the descriptions the program's messages give.
struct DrawingFailure {
    QString description;
};

const QString OverflowDescription = QStringLiteral("Overflow");
const QString OutOfMemoryDescription = QStringLiteral("Out of memory");
const QString InvalidPictureDescription = QStringLiteral("Invalid picture");

struct FloatPoint {
    float x = 0;
    float y = 0;
};

struct LinePoint {
    int x = 0;
    int y = 0;
};

// x - Int(Int(x / 360) * 360), Int being the largest integer not above its argument.
double normalisedDegrees(double degrees)
{
    return degrees - std::floor(std::floor(degrees / 360) * 360);
}

// A coordinate brought to the nearest whole pixel, halves to even; one that is no number or
// does not fit 32 bits overflows.
int wholePixel(float value)
{
    const double rounded = roundHalfEven(double(value));
    if (!std::isfinite(rounded) || rounded < INT_MIN || rounded > INT_MAX)
        throw DrawingFailure{OverflowDescription};
    return int(rounded);
}

double safeDivide(double dividend, double divisor)
{
    return divisor == 0 ? 0 : dividend / divisor;
}

// Turns a point about a centre by an angle in degrees; on the screen, where y grows downwards,
// a positive angle turns it counter-clockwise.
void rotatePoint(const FloatPoint& centre, FloatPoint& point, float degrees)
{
    const float radians = float(double(degrees) * 0.017453292519943278);
    const float dx = point.x - centre.x;
    const float dy = point.y - centre.y;
    const double sine = std::sin(double(radians));
    const double cosine = std::cos(double(radians));
    point.x = float(double(dy) * sine + double(dx) * cosine + double(centre.x));
    point.y = float(double(dy) * cosine - double(dx) * sine + double(centre.y));
}

// A one-pixel solid line from `from` up to but not including `to`. Each pixel lies on the
// grid line of the longer axis nearest to the exact line, a half going back towards `from`'s
// side. Only the part inside the picture is visited.
void drawLine(QImage& picture, const LinePoint& from, const LinePoint& to, QRgb colour)
{
    const qint64 dx = qint64(to.x) - from.x;
    const qint64 dy = qint64(to.y) - from.y;
    const bool alongX = std::llabs(dx) >= std::llabs(dy);
    const qint64 length = alongX ? std::llabs(dx) : std::llabs(dy);
    if (length == 0)
        return;
    const qint64 across = alongX ? std::llabs(dy) : std::llabs(dx);
    const qint64 majorStart = alongX ? from.x : from.y;
    const qint64 minorStart = alongX ? from.y : from.x;
    const int majorStep = (alongX ? dx : dy) >= 0 ? 1 : -1;
    const int minorStep = (alongX ? dy : dx) >= 0 ? 1 : -1;
    const qint64 majorExtent = alongX ? picture.width() : picture.height();
    const qint64 minorExtent = alongX ? picture.height() : picture.width();

    // The steps n at which the major coordinate majorStart + majorStep * n lies in the picture.
    qint64 first = 0;
    qint64 last = length - 1;
    if (majorStep > 0) {
        first = std::max(first, -majorStart);
        last = std::min(last, majorExtent - 1 - majorStart);
    } else {
        first = std::max(first, majorStart - (majorExtent - 1));
        last = std::min(last, majorStart);
    }
    for (qint64 n = first; n <= last; ++n) {
        const qint64 minorOffset = (2 * n * across + length - 1) / (2 * length);
        const qint64 minor = minorStart + minorStep * minorOffset;
        if (minor < 0 || minor >= minorExtent)
            continue;
        const qint64 major = majorStart + majorStep * n;
        const int x = int(alongX ? major : minor);
        const int y = int(alongX ? minor : major);
        reinterpret_cast<QRgb*>(picture.scanLine(y))[x] = colour;
    }
}

QRgb pixelColour(ColourReference colour)
{
    return toColour(colour).rgb();
}

} // namespace

GradientModel::GradientModel() = default;

void GradientModel::setColour1(ColourReference colour)
{
    m_colour1 = resolveSystemColour(colour);
}

void GradientModel::setColour2(ColourReference colour)
{
    m_colour2 = resolveSystemColour(colour);
}

void GradientModel::setAngle(float degrees)
{
    m_angle = float(normalisedDegrees(double(degrees)));
}

void GradientModel::setFailureHandler(FailureHandler handler)
{
    m_failureHandler = std::move(handler);
}

void GradientModel::report(const GradientFailure& failure) const
{
    if (m_failureHandler) {
        m_failureHandler(failure);
        return;
    }
    platform::MessageRequest message;
    message.text = failure.description;
    message.title = failure.title;
    message.icon = platform::MessageIcon::Exclamation;
    platform::showMessage(message);
}

bool GradientModel::draw(QImage& picture) const
{
    const int width = picture.width();
    const int height = picture.height();
    if (width <= 1 || height <= 1)
        return false;
    const QImage::Format format = picture.format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32
        && format != QImage::Format_ARGB32_Premultiplied) {
        report(GradientFailure{QString(), InvalidPictureDescription});
        return false;
    }
    return renderGradient(picture, width, height) > 0;
}

int GradientModel::renderGradient(QImage& picture, int width, int height) const
{
    try {
        const FloatPoint centre{float(width / 2), float(height / 2)};
        const double side = std::max(width, height);
        const float radius = float((std::sqrt(side * side + side * side) + 2) / 2);

        // A horizontal guide line through the centre, long enough to cross the whole picture
        // however it is turned, turned to lie at right angles to the gradient's direction.
        FloatPoint start{centre.x - radius, centre.y};
        FloatPoint end{radius + centre.x, centre.y};
        const float turn = float(normalisedDegrees(double(m_angle) + 90));
        rotatePoint(centre, start, turn);
        rotatePoint(centre, end, turn);

        // The guide line is slid to just outside the edge where the sweep begins and then
        // moved one pixel at a time across the picture. A steep line moves sideways, a flat
        // one up or down.
        const bool steep = std::fabs(start.y - end.y) >= std::fabs(start.x - end.x);
        LinePoint step;
        float offsetX = 0;
        float offsetY = 0;
        const float right = float(width) - std::min(start.x, end.x);
        const float left = -std::max(start.x, end.x);
        const float bottom = float(height) - std::min(start.y, end.y);
        const float top = -std::max(start.y, end.y);
        if (m_angle >= 0 && m_angle <= 90) {
            if (steep) {
                step = {1, 0};
                offsetX = left;
            } else {
                step = {0, -1};
                offsetY = bottom;
            }
        } else if (m_angle > 90 && m_angle <= 180) {
            if (steep) {
                step = {-1, 0};
                offsetX = right;
            } else {
                step = {0, -1};
                offsetY = bottom;
            }
        } else if (m_angle > 180 && m_angle <= 270) {
            if (steep) {
                step = {-1, 0};
                offsetX = right;
            } else {
                step = {0, 1};
                offsetY = top;
            }
        } else {
            if (steep) {
                step = {1, 0};
                offsetX = left;
            } else {
                step = {0, 1};
                offsetY = top;
            }
        }

        // Points 2k and 2k + 1 are the ends of line k; each point is the one two places
        // before it moved by the step. The list grows a thousand points at a time.
        std::vector<LinePoint> points(1000);
        points[0] = {wholePixel(offsetX + start.x), wholePixel(offsetY + start.y)};
        points[1] = {wholePixel(offsetX + end.x), wholePixel(offsetY + end.y)};
        const auto beyondTheEdge = [&](const LinePoint& a, const LinePoint& b) {
            if (step.x > 0)
                return a.x > width && b.x > width;
            if (step.x < 0)
                return a.x < 0 && b.x < 0;
            if (step.y > 0)
                return a.y > height && b.y > height;
            return a.y < 0 && b.y < 0;
        };
        size_t count = 2;
        do {
            const LinePoint& previous = points[count - 2];
            if (std::abs(qint64(previous.x) + step.x) > INT_MAX || std::abs(qint64(previous.y) + step.y) > INT_MAX)
                throw DrawingFailure{OverflowDescription};
            points[count] = {previous.x + step.x, previous.y + step.y};
            ++count;
            if (count % 1000 == 0)
                points.resize(points.size() + 1000);
        } while (!beyondTheEdge(points[count - 1], points[count - 2]));
        points.resize(count);

        const int colourCount = int(roundHalfEven(double(count) / 2));
        const QList<ColourReference> colours = blendColours(m_colour1, m_colour2, colourCount);
        size_t line = 0;
        for (; line + 1 <= count - 1; line += 2)
            drawLine(picture, points[line], points[line + 1], pixelColour(colours.at(qsizetype(line / 2))));
        return int(line);
    } catch (const DrawingFailure& failure) {
        report(GradientFailure{QStringLiteral("GradientRect"), failure.description});
    } catch (const std::bad_alloc&) {
        report(GradientFailure{QStringLiteral("GradientRect"), OutOfMemoryDescription});
    }
    return 0;
}

QList<ColourReference> GradientModel::blendColours(ColourReference from, ColourReference to, int steps)
{
    steps = std::max(steps, 2);
    const auto channels = [](ColourReference colour) {
        const auto value = std::uint32_t(colour);
        return std::array<double, 3>{double(value & 255), roundHalfEven(double(value & 65280) / 256),
                                     roundHalfEven(double(value & 16711680) / 65536)};
    };
    const auto [red1, green1, blue1] = channels(from);
    const auto [red2, green2, blue2] = channels(to);
    const float redStep = float(safeDivide(red2 - red1, steps));
    const float greenStep = float(safeDivide(green2 - green1, steps));
    const float blueStep = float(safeDivide(blue2 - blue1, steps));

    QList<ColourReference> colours(steps);
    colours[0] = from;
    colours[steps - 1] = to;
    for (int k = 1; k <= steps - 2; ++k) {
        const double green = roundHalfEven(k * double(greenStep) + green1);
        const double red = roundHalfEven(k * double(redStep) + red1);
        const double blue = roundHalfEven(k * double(blueStep) + blue1);
        colours[k] = ColourReference(green * 256 + red + blue * 65536);
    }
    return colours;
}

} // namespace tools
