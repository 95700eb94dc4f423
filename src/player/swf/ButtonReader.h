#pragma once

#include "Button.h"
#include "ByteReader.h"

namespace player::swf {

// DefineButton (version 1) and DefineButton2 (version 2) tag bodies.
Button readButton(ByteReader& reader, int version);
// DefineButtonCxform applied to every record of a version 1 button (after its id).
void readButtonColorTransform(ByteReader& reader, Button& button);

} // namespace player::swf
