#pragma once

#include "PixelVectors.h"

#include <QRgb>

#include <cstddef>

namespace player::render {

#if SKRV_WIDE_PIXELS

// The per-pixel loops of fills, eight pixels to an instruction with AVX2, for processors that
// have it (PixelVectors::wide() says when to take them). Each gives exactly the pixels of the
// scalar code: the same double operations in the same order (nothing fused), integer channels
// in lanes wide enough for every intermediate. Each returns how many pixels it did (the
// blending ones only whole groups of eight, the others all of them); the caller does the rest.
namespace wide {

// `length` pixels set to `color`.
SKRV_WIDE int fill(QRgb* pixels, int length, QRgb color);

// A run of `length` pixels, `covered` (the colour already scaled by its coverage) over each,
// the pixel below scaled by `uncovered`.
SKRV_WIDE int blendSolid(QRgb* pixels, int length, QRgb covered, unsigned uncovered);
// `colors` scaled by `coverage` / 255, each over its pixel.
SKRV_WIDE int blendColors(QRgb* pixels, const QRgb* colors, int length, int coverage);
// Pixels of one row at scattered columns (no column twice), each `colors[i]` scaled by
// `coverages[i]` / 255 over `row[columns[i]]`. All of them, the last group of eight with lanes
// past `count` left out: the three arrays must be readable up to a multiple of eight entries.
SKRV_WIDE int blendScattered(QRgb* row, const int* columns, const QRgb* colors, const int* coverages, int count);
// `content` scaled by the alpha of `coverage`, over `target`; pixels the mask leaves wholly
// uncovered are not touched.
SKRV_WIDE int compositeMasked(QRgb* target, const QRgb* content, const QRgb* coverage, int length);

// A gradient's table and the rule for positions beyond its ends.
struct GradientTable {
    const QRgb* colors;
    // 0 pad, 1 repeat, 2 reflect; positions are in table entries (1024 to the gradient).
    int spread;
};

// The entries at positions rowStart + step × (first + index).
SKRV_WIDE int linearEntries(const GradientTable& table, double rowStart, double step, double first, int length,
                            QRgb* out);

// A radial gradient's row: the point less the focus is (rowX + stepX × c, rowY + stepY × c) at
// pixel centre c = first + index.
struct RadialRow {
    double rowX;
    double rowY;
    double stepX;
    double stepY;
    double first;
    double focusX;
    double focusY;
    double inside;
    double scale;
    bool centered;
};

SKRV_WIDE int radialEntries(const GradientTable& table, const RadialRow& row, int length, QRgb* out);

// A smoothed bitmap's row: texel coordinates in 256ths are row + step × (first + index), held
// within ±limit and rounded down; the four texels around each are wrapped or held at the edges
// (or taken as they are when `inside`), and mixed across, then down.
struct SmoothRow {
    const QRgb* bits;
    // Pixels from one image row to the next.
    std::ptrdiff_t rowPixels;
    int width;
    int height;
    bool clamped;
    bool inside;
    double rowU;
    double rowV;
    double stepU;
    double stepV;
    double first;
    double limit;
};

SKRV_WIDE int smoothPixels(const SmoothRow& row, int length, QRgb* out);
// The nearest texel to each pixel: coordinates in whole texels, each rounded down and wrapped or
// held (`inside` is not used).
SKRV_WIDE int nearestPixels(const SmoothRow& row, int length, QRgb* out);

} // namespace wide

#endif

} // namespace player::render
