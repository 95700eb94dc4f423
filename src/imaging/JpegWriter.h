#pragma once

#include <QString>

namespace imaging {

class BottomUpBitmap;

// The number of every error the JPEG writer raises; its source text is the executable's name
// followed by ".mIntelJPEGLibrary", the text callers have always been shown.
constexpr int jpegWriterErrorNumber = 26001;

// What happens when the path names a symbolic link.
enum class LinkHandling {
    ReplaceTarget, // the file the link points to is replaced: a path the user chose
    ReplaceLink,   // the link itself is replaced and its target never touched: the program's own files
};

// Writes the bitmap as an upright three-channel baseline JPEG of the given quality (1 to 100;
// the program always passes 90). The bitmap's bottom-up, padded rows go to the encoder in place.
//
// The file is written under a temporary name in the target's folder and renamed over the target
// only once it is complete, so a failed write leaves an existing file as it was. A replaced file
// keeps its permission bits, owner (where allowed), last-access and last-write times; a new file
// gets the usual permissions for the user's umask.
//
// Every failure throws RuntimeError 26001 with "Failed to initialise the IJL library: " or
// "Failed to save to JPG " followed by the encoder's error code, or -1 where the encoder gives
// none (no bitmap held, a file that cannot be written).
void writeJpeg(const BottomUpBitmap& bitmap, const QString& path, int quality,
               LinkHandling links = LinkHandling::ReplaceTarget);

} // namespace imaging
