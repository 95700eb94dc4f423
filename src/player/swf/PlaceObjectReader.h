#pragma once

#include "ByteReader.h"
#include "Movie.h"

namespace player::swf {

// PlaceObject (version 1), PlaceObject2 and PlaceObject3 tag bodies. Clip event masks are
// normalised to the 32-bit layout whatever the movie's version.
PlaceObject readPlaceObject(ByteReader& reader, int version, uint8_t swfVersion);
RemoveObject readRemoveObject(ByteReader& reader, int version);

} // namespace player::swf
