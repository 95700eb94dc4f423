#include "FilterObject.h"

#include "player/avm1/Machine.h"
#include "player/avm1/Marker.h"

#include <cmath>

namespace player::avm1::builtins {

namespace {

// Flash's default angle is this many radians, a little under 45 degrees (44.9999999772279).
constexpr double DefaultAngle = 0.785398163;

swf::FilterType typeOf(FilterKind kind)
{
    switch (kind) {
    case FilterKind::Glow:
        return swf::FilterType::Glow;
    case FilterKind::DropShadow:
        return swf::FilterType::DropShadow;
    case FilterKind::Bevel:
        return swf::FilterType::Bevel;
    case FilterKind::GradientGlow:
        return swf::FilterType::GradientGlow;
    case FilterKind::GradientBevel:
        return swf::FilterType::GradientBevel;
    case FilterKind::ColorMatrix:
        return swf::FilterType::ColorMatrix;
    case FilterKind::Convolution:
        return swf::FilterType::Convolution;
    case FilterKind::DisplacementMap:
        return swf::FilterType::DisplacementMap;
    case FilterKind::BitmapFilter:
    case FilterKind::Blur:
        break;
    }
    return swf::FilterType::Blur;
}

swf::Filter defaultsOf(FilterKind kind)
{
    swf::Filter filter;
    filter.type = typeOf(kind);
    filter.angle = DefaultAngle;
    filter.distance = 4.0;
    filter.color = swf::Rgba {0, 0, 0, 255};
    switch (kind) {
    case FilterKind::Glow:
        filter.color = swf::Rgba {255, 0, 0, 255};
        filter.blurX = filter.blurY = 6.0;
        filter.strength = 2.0;
        break;
    case FilterKind::Bevel:
        filter.highlightColor = swf::Rgba {255, 255, 255, 255};
        filter.inner = true;
        break;
    case FilterKind::GradientGlow:
    case FilterKind::GradientBevel:
        filter.inner = true;
        break;
    case FilterKind::ColorMatrix:
        filter.matrix.assign(20, 0.0f);
        for (size_t diagonal = 0; diagonal < 4; ++diagonal)
            filter.matrix[diagonal * 6] = 1.0f;
        break;
    case FilterKind::Convolution:
    case FilterKind::DisplacementMap:
        filter.color = swf::Rgba {0, 0, 0, 0};
        filter.defaultColor = swf::Rgba {0, 0, 0, 0};
        break;
    case FilterKind::BitmapFilter:
    case FilterKind::Blur:
    case FilterKind::DropShadow:
        break;
    }
    return filter;
}

double finiteOr(double value, double fallback)
{
    return std::isfinite(value) ? value : fallback;
}

} // namespace

FilterObject::FilterObject(Object* prototype, FilterKind kind)
    : Object(prototype)
    , m_kind(kind)
    , m_settings(defaultsOf(kind))
{
}

FilterKind FilterObject::kindOf(swf::FilterType type)
{
    switch (type) {
    case swf::FilterType::DropShadow:
        return FilterKind::DropShadow;
    case swf::FilterType::Blur:
        return FilterKind::Blur;
    case swf::FilterType::Glow:
        return FilterKind::Glow;
    case swf::FilterType::Bevel:
        return FilterKind::Bevel;
    case swf::FilterType::GradientGlow:
        return FilterKind::GradientGlow;
    case swf::FilterType::Convolution:
        return FilterKind::Convolution;
    case swf::FilterType::ColorMatrix:
        return FilterKind::ColorMatrix;
    case swf::FilterType::GradientBevel:
        return FilterKind::GradientBevel;
    case swf::FilterType::DisplacementMap:
        return FilterKind::DisplacementMap;
    }
    return FilterKind::Blur;
}

std::optional<swf::Filter> FilterObject::toFilter() const
{
    if (m_kind == FilterKind::BitmapFilter)
        return std::nullopt;
    swf::Filter filter = m_settings;
    // Scripts can store NaN and infinities where the file cannot; the renderer gets numbers.
    filter.angle = finiteOr(filter.angle, 0.0);
    filter.distance = finiteOr(filter.distance, 0.0);
    filter.gradientColors.clear();
    filter.gradientRatios.clear();
    if (m_kind == FilterKind::GradientGlow || m_kind == FilterKind::GradientBevel) {
        for (size_t index = 0; index < m_gradientCount; ++index) {
            const GradientStop& stop = m_gradientStops[index];
            filter.gradientColors.push_back(swf::Rgba {static_cast<uint8_t>(stop.rgb >> 16), static_cast<uint8_t>(stop.rgb >> 8),
                                                       static_cast<uint8_t>(stop.rgb), stop.alpha});
            filter.gradientRatios.push_back(stop.ratio);
        }
    }
    if (m_kind == FilterKind::Convolution) {
        const size_t size = static_cast<size_t>(filter.matrixX) * static_cast<size_t>(filter.matrixY);
        filter.convolutionMatrix.resize(size, 0.0f);
    }
    return filter;
}

void FilterObject::assignFrom(const swf::Filter& filter)
{
    m_settings = filter;
    m_gradientCount = std::min(filter.gradientColors.size(), MaximumGradientStops);
    for (size_t index = 0; index < m_gradientCount; ++index) {
        const swf::Rgba& color = filter.gradientColors[index];
        m_gradientStops[index].rgb = (uint32_t(color.r) << 16) | (uint32_t(color.g) << 8) | color.b;
        m_gradientStops[index].alpha = color.a;
        m_gradientStops[index].ratio = index < filter.gradientRatios.size() ? filter.gradientRatios[index] : 0;
    }
    if (m_kind == FilterKind::ColorMatrix)
        m_settings.matrix.resize(20, 0.0f);
}

void FilterObject::copySettingsFrom(const FilterObject& other)
{
    m_settings = other.m_settings;
    m_gradientStops = other.m_gradientStops;
    m_gradientCount = other.m_gradientCount;
    m_mapBitmap = other.m_mapBitmap;
}

void FilterObject::traceReferences(Marker& marker)
{
    Object::traceReferences(marker);
    marker.mark(m_mapBitmap);
}

FilterObject* makeFilterObject(Machine& machine, const swf::Filter& filter)
{
    const FilterKind kind = FilterObject::kindOf(filter.type);
    Object* prototype = machine.prototypes().filters[static_cast<size_t>(kind)];
    if (!prototype)
        return nullptr;
    auto* object = machine.make<FilterObject>(prototype, kind);
    object->assignFrom(filter);
    return object;
}

FilterObject* cloneFilterObject(Machine& machine, const FilterObject& original)
{
    Object* prototype = machine.prototypes().filters[static_cast<size_t>(original.filterKind())];
    auto* copy = machine.make<FilterObject>(prototype ? prototype : original.prototype(), original.filterKind());
    copy->copySettingsFrom(original);
    return copy;
}

} // namespace player::avm1::builtins
