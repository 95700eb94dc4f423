#include "FillBrush.h"

#include "ColorTransforms.h"
#include "FillShader.h"
#include "GradientRamp.h"
#include "GradientTable.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace player::render {

namespace {

// Gradients are defined on a square from -16384 to 16384 twips that their matrix places.
constexpr double GradientHalfSize = 16384.0;

// Where Flash shows the entries of a gradient's table (see GradientRamp::Lookup). At high
// quality a pixel shows the single entry whose 256th of the gradient holds its centre, with a
// lead measured on Flash's pictures: a whole entry for linear gradients, a quarter for radial
// ones. At low quality it mixes the two entries nearest its centre, without a lead.
constexpr double HighQualityLinearEntryLead = 1.0;
constexpr double HighQualityRadialEntryLead = 0.25;
constexpr double LowQualityEntryLead = 0.0;

// The records of a gradient with the colour transform applied, as colours and ratios.
struct Records {
    std::vector<swf::Rgba> colors;
    std::vector<uint8_t> ratios;
};

Records transformedRecords(const swf::Gradient& gradient, const swf::ColorTransform& colorTransform)
{
    Records records;
    for (const swf::GradientRecord& record : gradient.records) {
        const QColor color = applyColorTransform(colorTransform, record.color);
        records.colors.push_back(swf::Rgba { static_cast<uint8_t>(color.red()), static_cast<uint8_t>(color.green()),
                                             static_cast<uint8_t>(color.blue()), static_cast<uint8_t>(color.alpha()) });
        records.ratios.push_back(record.ratio);
    }
    return records;
}

GradientMixing mixingOf(const swf::Gradient& gradient)
{
    return gradient.interpolation == swf::InterpolationMode::LinearRgb ? GradientMixing::LinearLight : GradientMixing::Straight;
}

// Qt's brush for the same gradient, for painting that Qt does (where no shader can be made):
// Qt mixes between its stops, so each run of equal table colours becomes a pair of stops at the
// run's ends, with a hard step to the next run. Entries are never blended here.
QGradientStops gradientStops(const swf::Gradient& gradient, const swf::ColorTransform& colorTransform, double entryLead)
{
    if (gradient.records.empty())
        return { { 0.0, Qt::transparent } };
    const Records records = transformedRecords(gradient, colorTransform);
    const GradientColors table = makeGradientColors(records.colors, records.ratios, mixingOf(gradient));
    constexpr double entries = 256.0;
    constexpr double step = 1e-7;
    QGradientStops stops;
    size_t runStart = 0;
    for (size_t index = 1; index <= table.size(); ++index) {
        if (index < table.size() && table[index] == table[runStart])
            continue;
        const swf::Rgba& color = table[runStart];
        const QColor qtColor(color.r, color.g, color.b, color.a);
        // The lead can push a run of one entry at either end past the gradient; Qt drops stops
        // outside 0..1, so they are kept at its ends.
        const double from = runStart == 0 ? 0.0 : std::clamp((runStart - entryLead) / entries, 0.0, 1.0);
        const double to = index == table.size() ? 1.0 : std::clamp((index - entryLead) / entries - step, from, 1.0);
        stops.append({ from, qtColor });
        stops.append({ to, qtColor });
        runStart = index;
    }
    return stops;
}

QGradient::Spread toSpread(swf::SpreadMode mode)
{
    switch (mode) {
    case swf::SpreadMode::Reflect:
        return QGradient::ReflectSpread;
    case swf::SpreadMode::Repeat:
        return QGradient::RepeatSpread;
    case swf::SpreadMode::Pad:
        break;
    }
    return QGradient::PadSpread;
}

double entryLead(swf::FillType type, bool highQuality)
{
    if (!highQuality)
        return LowQualityEntryLead;
    return type == swf::FillType::LinearGradient ? HighQualityLinearEntryLead : HighQualityRadialEntryLead;
}

// The focal point lies on the x axis of the gradient square, -1..1 of its radius. A focus on
// the circle itself leaves the gradient undefined along it, so it is kept just inside.
double focalPoint(const swf::FillStyle& fill)
{
    return fill.type == swf::FillType::FocalGradient ? std::clamp(fill.gradient.focalPoint, -0.998, 0.998) : 0.0;
}

// Flash mixes the colours of neighbouring stops channel by channel before applying alpha, so a
// fade from transparent black to white passes through half-transparent grey; Qt's default mixes
// premultiplied colours, which would pass through half-transparent white. Component
// interpolation is the straight mixing.
QBrush gradientBrush(const swf::FillStyle& fill, const swf::ColorTransform& colorTransform, bool highQuality)
{
    const swf::Gradient& gradient = fill.gradient;
    QBrush brush;
    if (fill.type == swf::FillType::LinearGradient) {
        QLinearGradient linear(-GradientHalfSize, 0.0, GradientHalfSize, 0.0);
        linear.setStops(gradientStops(gradient, colorTransform, entryLead(fill.type, highQuality)));
        linear.setSpread(toSpread(gradient.spread));
        linear.setInterpolationMode(QGradient::ComponentInterpolation);
        brush = QBrush(linear);
    } else {
        const double focal = focalPoint(fill);
        QRadialGradient radial(QPointF(0.0, 0.0), GradientHalfSize, QPointF(focal * GradientHalfSize, 0.0));
        radial.setStops(gradientStops(gradient, colorTransform, entryLead(fill.type, highQuality)));
        radial.setSpread(toSpread(gradient.spread));
        radial.setInterpolationMode(QGradient::ComponentInterpolation);
        brush = QBrush(radial);
    }
    brush.setTransform(toTransform(gradient.matrix));
    return brush;
}

} // namespace

QTransform toTransform(const swf::Matrix& matrix)
{
    return QTransform(matrix.a, matrix.b, matrix.c, matrix.d, matrix.tx, matrix.ty);
}

bool isBitmapFill(swf::FillType type)
{
    return type == swf::FillType::RepeatingBitmap || type == swf::FillType::ClippedBitmap
        || type == swf::FillType::NonSmoothedRepeatingBitmap || type == swf::FillType::NonSmoothedClippedBitmap;
}

bool isClippedBitmapFill(swf::FillType type)
{
    return type == swf::FillType::ClippedBitmap || type == swf::FillType::NonSmoothedClippedBitmap;
}

bool isSmoothedBitmapFill(swf::FillType type)
{
    return type == swf::FillType::RepeatingBitmap || type == swf::FillType::ClippedBitmap;
}

std::optional<FillShader> makeGradientShader(const swf::FillStyle& fill, const swf::ColorTransform& colorTransform,
                                             bool highQuality)
{
    const swf::Gradient& gradient = fill.gradient;
    const QGradient::Spread spread = toSpread(gradient.spread);
    std::shared_ptr<const GradientRamp> ramp;
    if (gradient.records.empty()) {
        ramp = GradientRamp::fromStops({ { 0.0, Qt::transparent } }, spread, QGradient::ComponentInterpolation);
    } else {
        const Records records = transformedRecords(gradient, colorTransform);
        const GradientMixing mixing = mixingOf(gradient);
        const GradientRamp::Lookup lookup = highQuality ? GradientRamp::Lookup::Nearest : GradientRamp::Lookup::Blended;
        ramp = GradientRamp::fromTable(makeMixingColors(records.colors, records.ratios, mixing), mixing, lookup,
                                       entryLead(fill.type, highQuality), spread);
    }
    FillShader shader;
    if (fill.type == swf::FillType::LinearGradient)
        shader = FillShader::linear(std::move(ramp), QPointF(-GradientHalfSize, 0.0), QPointF(GradientHalfSize, 0.0), QTransform());
    else if (fill.type == swf::FillType::RadialGradient || fill.type == swf::FillType::FocalGradient)
        shader = FillShader::radial(std::move(ramp), QPointF(0.0, 0.0), GradientHalfSize,
                                    QPointF(focalPoint(fill) * GradientHalfSize, 0.0), QTransform());
    else
        return std::nullopt;
    return shader.mapped(toTransform(gradient.matrix));
}

QBrush makeFillBrush(const swf::FillStyle& fill, const swf::ColorTransform& colorTransform, const QImage& bitmap,
                     bool highQuality)
{
    switch (fill.type) {
    case swf::FillType::Solid:
        return QBrush(applyColorTransform(colorTransform, fill.color));
    case swf::FillType::LinearGradient:
    case swf::FillType::RadialGradient:
    case swf::FillType::FocalGradient:
        return gradientBrush(fill, colorTransform, highQuality);
    case swf::FillType::RepeatingBitmap:
    case swf::FillType::ClippedBitmap:
    case swf::FillType::NonSmoothedRepeatingBitmap:
    case swf::FillType::NonSmoothedClippedBitmap: {
        if (bitmap.isNull())
            return QBrush(Qt::NoBrush);
        QBrush brush(bitmap);
        brush.setTransform(toTransform(fill.bitmapMatrix));
        return brush;
    }
    }
    // Unknown fill types from a malformed file paint nothing.
    return QBrush(Qt::NoBrush);
}

} // namespace player::render
