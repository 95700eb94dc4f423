#pragma once

#include <cstdint>

namespace authoring {

// The SWF tag codes the writer produces, listed once.
#define SKRV_AUTHORING_TAG_CODES(X) \
    X(End, 0)                       \
    X(ShowFrame, 1)                 \
    X(SetBackgroundColor, 9)        \
    X(DoAction, 12)                 \
    X(DefineBitsJpeg2, 21)          \
    X(PlaceObject2, 26)             \
    X(RemoveObject2, 28)            \
    X(DefineShape3, 32)             \
    X(DefineBitsJpeg3, 35)          \
    X(DefineBitsLossless2, 36)      \
    X(DefineEditText, 37)           \
    X(DefineSprite, 39)             \
    X(FrameLabel, 43)               \
    X(DefineFont2, 48)              \
    X(ExportAssets, 56)             \
    X(DoInitAction, 59)             \
    X(FileAttributes, 69)           \
    X(PlaceObject3, 70)             \
    X(DefineShape4, 83)             \
    X(DefineButton2, 34)

enum class TagCode : uint16_t {
#define SKRV_TAG_ENUM(name, code) name = code,
    SKRV_AUTHORING_TAG_CODES(SKRV_TAG_ENUM)
#undef SKRV_TAG_ENUM
};

// Tags that Flash's own tools always write with the long header; some readers expect it.
constexpr bool needsLongHeader(TagCode code)
{
    return code == TagCode::DefineBitsJpeg2 || code == TagCode::DefineBitsJpeg3
        || code == TagCode::DefineBitsLossless2;
}

} // namespace authoring
