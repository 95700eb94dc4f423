#pragma once

#include <cstdint>

namespace player::swf {

// Every tag code the reader knows, once: the enum and the names come from this list.
#define SKRV_SWF_TAGS(X)            \
    X(End, 0)                       \
    X(ShowFrame, 1)                 \
    X(DefineShape, 2)               \
    X(PlaceObject, 4)               \
    X(RemoveObject, 5)              \
    X(DefineBits, 6)                \
    X(DefineButton, 7)              \
    X(JpegTables, 8)                \
    X(SetBackgroundColor, 9)        \
    X(DefineFont, 10)               \
    X(DefineText, 11)               \
    X(DoAction, 12)                 \
    X(DefineFontInfo, 13)           \
    X(DefineSound, 14)              \
    X(StartSound, 15)               \
    X(DefineButtonSound, 17)        \
    X(SoundStreamHead, 18)          \
    X(SoundStreamBlock, 19)         \
    X(DefineBitsLossless, 20)       \
    X(DefineBitsJpeg2, 21)          \
    X(DefineShape2, 22)             \
    X(DefineButtonCxform, 23)       \
    X(Protect, 24)                  \
    X(PlaceObject2, 26)             \
    X(RemoveObject2, 28)            \
    X(DefineShape3, 32)             \
    X(DefineText2, 33)              \
    X(DefineButton2, 34)            \
    X(DefineBitsJpeg3, 35)          \
    X(DefineBitsLossless2, 36)      \
    X(DefineEditText, 37)           \
    X(DefineSprite, 39)             \
    X(FrameLabel, 43)               \
    X(SoundStreamHead2, 45)         \
    X(DefineMorphShape, 46)         \
    X(DefineFont2, 48)              \
    X(ExportAssets, 56)             \
    X(ImportAssets, 57)             \
    X(EnableDebugger, 58)           \
    X(DoInitAction, 59)             \
    X(DefineVideoStream, 60)        \
    X(VideoFrame, 61)               \
    X(DefineFontInfo2, 62)          \
    X(EnableDebugger2, 64)          \
    X(ScriptLimits, 65)             \
    X(SetTabIndex, 66)              \
    X(FileAttributes, 69)           \
    X(PlaceObject3, 70)             \
    X(ImportAssets2, 71)            \
    X(DefineFontAlignZones, 73)     \
    X(CsmTextSettings, 74)          \
    X(DefineFont3, 75)              \
    X(SymbolClass, 76)              \
    X(Metadata, 77)                 \
    X(DefineScalingGrid, 78)        \
    X(DoAbc, 82)                    \
    X(DefineShape4, 83)             \
    X(DefineMorphShape2, 84)        \
    X(DefineSceneAndFrameLabelData, 86) \
    X(DefineBinaryData, 87)         \
    X(DefineFontName, 88)           \
    X(DefineBitsJpeg4, 90)

enum class TagCode : uint16_t {
#define SKRV_TAG_ENUM(name, code) name = code,
    SKRV_SWF_TAGS(SKRV_TAG_ENUM)
#undef SKRV_TAG_ENUM
};

// The tag's name for messages, or nullptr for a code not in the list.
inline const char* tagName(uint16_t code)
{
    switch (code) {
#define SKRV_TAG_NAME(name, value) \
    case value:                    \
        return #name;
        SKRV_SWF_TAGS(SKRV_TAG_NAME)
#undef SKRV_TAG_NAME
    }
    return nullptr;
}

} // namespace player::swf
