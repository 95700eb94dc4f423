#pragma once

#include "CoverageFill.h"

#include <QRgb>

namespace player::render {

// Source-over blending of one run of premultiplied ARGB32 pixels under one coverage, as Qt's
// raster engine blends a solid colour: the colour scaled by the coverage, then the pixel below
// scaled by what the result leaves uncovered, both rounded as CoverageFill::scaledPixel rounds.
//
// Long runs go four or eight pixels at a time through the processor's vector instructions when
// PixelVectors is on; the results are the same to the unit either way. Short runs (most of
// them are the pixel or two where an edge crosses a row) are blended here, inline, a pixel at a
// time, since for them setting up the vector loops costs more than the pixels.
class RunBlender {
public:
    // Runs shorter than this are blended pixel by pixel, inline.
    static constexpr int ShortRun = 4;

    // `length` pixels from `pixels` on, covered `coverage` / 255 by `color`.
    static void blendSolid(QRgb* pixels, int length, QRgb color, int coverage)
    {
        if (length >= ShortRun) {
            blendSolidRun(pixels, length, color, coverage);
            return;
        }
        const QRgb covered = coverage == 255 ? color : CoverageFill::scaledPixel(color, static_cast<unsigned>(coverage));
        const unsigned uncovered = 255u - qAlpha(covered);
        for (int index = 0; index < length; ++index)
            pixels[index] = covered + CoverageFill::scaledPixel(pixels[index], uncovered);
    }

    // `length` pixels from `pixels` on, covered `coverage` / 255 by `colors`, one each.
    static void blendColors(QRgb* pixels, const QRgb* colors, int length, int coverage)
    {
        if (length >= ShortRun) {
            blendColorsRun(pixels, colors, length, coverage);
            return;
        }
        for (int index = 0; index < length; ++index) {
            const QRgb covered
                = coverage == 255 ? colors[index] : CoverageFill::scaledPixel(colors[index], static_cast<unsigned>(coverage));
            pixels[index] = covered + CoverageFill::scaledPixel(pixels[index], 255u - qAlpha(covered));
        }
    }

    // Pixels of one row at scattered columns, none twice: `row[columns[i]]` covered
    // `coverages[i]` / 255 by `colors[i]`. With AVX2, eight pixels at a time, reading the
    // arrays up to the next multiple of eight entries (what lies there is not used).
    static void blendScattered(QRgb* row, const int* columns, const QRgb* colors, const int* coverages, int count);

    // The same for runs of any length, taking the vector loops where they are on.
    static void blendSolidRun(QRgb* pixels, int length, QRgb color, int coverage);
    static void blendColorsRun(QRgb* pixels, const QRgb* colors, int length, int coverage);
};

} // namespace player::render
