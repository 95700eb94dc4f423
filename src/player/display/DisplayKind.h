#pragma once

#include <cstdint>

namespace player::display {

enum class DisplayKind : uint8_t {
    MovieClip,  // sprites, level roots and script-created clips
    Shape,      // DefineShape instance
    MorphShape, // DefineMorphShape instance, drawn at its ratio
    Bitmap,     // a bitmap placed directly (rare; mostly through fills)
    StaticText, // DefineText
    EditText,   // DefineEditText
    Button,     // DefineButton/2
    Video,      // DefineVideoStream
};

// Depths as scripts see them: an object placed by a timeline at depth d sits at d + TimelineDepthOffset.
constexpr int TimelineDepthOffset = -16384;
// The depths scripts may put objects at (attachMovie, duplicateMovieClip, swapDepths): from the
// lowest timeline depth up to the top Flash keeps for itself. A request outside does nothing.
constexpr int LowestScriptDepth = TimelineDepthOffset;
constexpr int HighestScriptDepth = 2130690044;
constexpr bool isScriptDepth(int depth) { return depth >= LowestScriptDepth && depth <= HighestScriptDepth; }
// A removed object waiting for its unload handlers moves from depth d to SetAsideDepthBase - d.
constexpr int SetAsideDepthBase = 2 * TimelineDepthOffset - 1;

} // namespace player::display
