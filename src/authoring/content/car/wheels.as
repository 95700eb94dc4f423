// The car's second part: the wheels, with a tyre tread texture and a rim colour.
stop();
partname = "Wheels";

fscommand("setsize", "512 x 256");
fscommand("clearitems");
fscommand("additem", "Tyre Tread&treadtexture&file");
fscommand("additem", "Rim Colour&rimcolour&colour");
fscommand("addseperator");
fscommand("additem", "Body&1&goto");

// The catalogue walks the frames from the second one on (the first has run when the movie
// loaded), so this frame reports every part, one per frame in frame order, and picks the first.
fscommand("addpart", "Body");
fscommand("addpart", "Wheels");
fscommand("selectpart", "0");

resetParts();
addTexturePart("treadtexture", tyre.holder, 200, 200);
addColourPart("rimcolour", rimbase, "0xB8BEC6");
updateParts();

tyre.onRelease = function () {
    fscommand("clickitem", "0");
};
