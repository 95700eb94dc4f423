#pragma once

#include <QString>

class cDIBSection;

// The number of every error the JPEG writer raises; its source text is the executable's name
// followed by ".mIntelJPEGLibrary".
constexpr int jpegWriterErrorNumber = 26001;

// Writes the bitmap as an upright three-channel baseline JPEG of the given quality (1 to 100;
// the program always passes 90). The bitmap's bottom-up, padded rows go to the encoder in place.
//
// The file is written under a temporary name in the target's folder and renamed over the target
// only once it is complete, so a failed write leaves an existing file as it was. A replaced file
// keeps its permission bits, owner (where allowed), last-access and last-write times; a new file
// gets the usual permissions for the user's umask. When the target is a symbolic link, the file
// it points to is replaced.
//
// Returns true; every failure throws RuntimeError 26001 with "Failed to initialise the IJL
// library: " or "Failed to save to JPG " followed by the encoder's error code, or -1 where the
// encoder gives none (no bitmap held, a file that cannot be written).
bool SaveJPG(const cDIBSection& D, const QString& path, int quality);
