#pragma once

#include "player/swf/Geometry.h"

#include <cstdint>
#include <optional>

namespace player::display {

class DisplayObject;

// A matrix as Flash computes with it when it maps points between clips: the four scale and skew
// terms in single precision and the translation in whole twips. Every product and every mapped
// point is rounded to the nearest twip (ties to even), so a chain of clips loses precision step
// by step exactly as the player does, and a converted point always lands on a twip.
struct TwipMatrix {
    float a = 1.0f;
    float b = 0.0f;
    float c = 0.0f;
    float d = 1.0f;
    int32_t tx = 0;
    int32_t ty = 0;

    static TwipMatrix from(const swf::Matrix& matrix);
    // The matrix from the object's own coordinates to the stage, parents' matrices included.
    static TwipMatrix toStage(const DisplayObject& object);

    // outer * inner: inner applies first.
    friend TwipMatrix operator*(const TwipMatrix& outer, const TwipMatrix& inner);
    // No inverse when the determinant is (nearly) zero, as for a clip scaled to nothing.
    std::optional<TwipMatrix> inverted() const;
    void map(int32_t x, int32_t y, int32_t& outX, int32_t& outY) const;
};

// Script coordinates (pixels) to twips: the fraction below a twip is cut off toward zero, and
// what does not fit an integer saturates (not-a-number gives 0).
int32_t pixelsToTwips(double pixels);
// Rounds to the nearest integer, ties to even; infinities and not-a-number give 0 and values
// beyond the integer range give its minimum, as the player's conversion does.
int32_t roundTwips(float value);

} // namespace player::display
