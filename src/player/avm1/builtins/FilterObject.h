#pragma once

#include "player/avm1/Object.h"
#include "player/avm1/Value.h"
#include "player/swf/Filter.h"

#include <array>
#include <cstdint>
#include <optional>

namespace player::avm1 {

class Machine;

namespace builtins {

// The classes of flash.filters. BitmapFilter is their common base; the others match the kinds a
// display object keeps.
enum class FilterKind : uint8_t {
    BitmapFilter,
    Blur,
    Glow,
    DropShadow,
    Bevel,
    GradientGlow,
    GradientBevel,
    ColorMatrix,
    Convolution,
    DisplacementMap,
};
constexpr size_t FilterKindCount = 10;

// One colour of a gradient filter: Flash keeps sixteen of them and a count, and the ones beyond
// the count keep their values (a later longer "colors" array shows them again).
struct GradientStop {
    uint32_t rgb = 0;
    uint8_t alpha = 0;
    uint8_t ratio = 0;
};

// A filter made by a script or read from a clip: its settings live here, not in ordinary
// properties, and its class's getters and setters read and clamp them as Flash does.
class FilterObject final : public Object {
public:
    static constexpr size_t MaximumGradientStops = 16;

    FilterObject(Object* prototype, FilterKind kind);

    FilterKind filterKind() const { return m_kind; }

    // Settings shared with the display side. The angle is in radians, as in the file.
    swf::Filter& settings() { return m_settings; }
    const swf::Filter& settings() const { return m_settings; }

    std::array<GradientStop, MaximumGradientStops>& gradientStops() { return m_gradientStops; }
    size_t gradientCount() const { return m_gradientCount; }
    void setGradientCount(size_t count) { m_gradientCount = std::min(count, MaximumGradientStops); }

    // A displacement map's bitmap, kept by reference; the display side keeps only the numbers.
    const Value& mapBitmap() const { return m_mapBitmap; }
    void setMapBitmap(const Value& bitmap) { m_mapBitmap = bitmap; }

    // The filter as a display object keeps it; nothing for a bare BitmapFilter.
    std::optional<swf::Filter> toFilter() const;
    // The state of a filter a movie placed with a clip.
    void assignFrom(const swf::Filter& filter);
    // A copy of all settings, for clone() and for the clips' filter lists.
    void copySettingsFrom(const FilterObject& other);

    static FilterKind kindOf(swf::FilterType type);

    void traceReferences(Marker& marker) override;

private:
    FilterKind m_kind;
    swf::Filter m_settings;
    std::array<GradientStop, MaximumGradientStops> m_gradientStops {};
    size_t m_gradientCount = 0;
    Value m_mapBitmap;
};

// The script object for a placed filter, of its class; null when the class is not installed.
FilterObject* makeFilterObject(Machine& machine, const swf::Filter& filter);
// A new object of the same class with the same settings (clone()).
FilterObject* cloneFilterObject(Machine& machine, const FilterObject& original);

} // namespace builtins

} // namespace player::avm1
