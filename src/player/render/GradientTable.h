#pragma once

#include "player/swf/Geometry.h"

#include <QRgb>
#include <array>
#include <vector>

namespace player::render {

// The 256 colours Flash looks gradients up in, one per ratio.
//
// Flash fills the table in one pass over the records, in file order, never going back: each
// record continues the table from where the previous one stopped up to its own ratio, mixing
// from the previous record's colour (measured from the previous record's ratio). A record whose
// ratio the table has already passed (a repeated ratio, or one lower than before) gets no range
// of its own; it only writes the previous record's colour into the next single entry. The
// entries after the last record hold the last record's colour, whether or not it had a range.
using GradientColors = std::array<swf::Rgba, 256>;

// How the colours between two records are mixed: straight on the stored values, or in linear
// light (the linear-RGB interpolation of DefineShape4 gradients, which Flash also honours in
// older shape tags).
enum class GradientMixing { Straight, LinearLight };

GradientColors makeGradientColors(const std::vector<swf::Rgba>& colors, const std::vector<uint8_t>& ratios,
                                  GradientMixing mixing = GradientMixing::Straight);

// The table before it goes back to shown colours: the stored colours when mixing straight,
// bytes of linear light when mixing in light (alpha as stored in both). A gradient's pixels
// blend neighbouring entries of this table (see GradientRamp) and only then convert the blend.
GradientColors makeMixingColors(const std::vector<swf::Rgba>& colors, const std::vector<uint8_t>& ratios,
                                GradientMixing mixing);

// A colour of the mixing table, or a blend of its entries, as it shows: straight (not
// premultiplied), each channel rounded to a byte.
swf::Rgba shownColor(double red, double green, double blue, double alpha, GradientMixing mixing);

// The same table premultiplied, as filters (GradientGlow, GradientBevel) use it.
using GradientTable = std::array<QRgb, 256>;

GradientTable makeGradientTable(const std::vector<swf::Rgba>& colors, const std::vector<uint8_t>& ratios);

} // namespace player::render
