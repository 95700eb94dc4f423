// The chair's sheet: seat fabric (a texture), frame and leg colours, and two backrest styles.
stop();

title = "Windsor Chair";
price = "0";
description = "A wooden chair with a padded seat. Change the seat fabric and the colours of the frame and the legs.";
category = "Chairs";
objectmakersitename = "Oakfield Furniture";
templatemakersitename = "Skarvelle Samples";
objectmakersite = "https://oakfield.example.com/";
templatemakersite = "https://samples.skarvelle.example.org/";
tiles = 1;
guid = "{6C1F2A4E-3B7D-4E8A-9A51-2D0C7E14B9A1}";
tileguids = "";

fscommand("setsize", "512 x 512");
fscommand("clearitems");
fscommand("additem", "Seat Fabric&seattexture&file");
fscommand("additem", "Frame Colour&framecolour&colour");
fscommand("additem", "Leg Colour&legcolour&colour");
fscommand("addseperator");
fscommand("additem", "Plain Back&1&goto|/backrest");
fscommand("additem", "Carved Back&2&goto|/backrest");

resetParts();
addTexturePart("seattexture", seat.holder, 300, 210);
addColourPart("framecolour", framebase, "0x8B5A2B");
addColourPart("legcolour", legsbase, "0x6B4423");
updateParts();

// A click on the seat chooses its item, as if picked from the menu.
seat.onRelease = function () {
    fscommand("clickitem", "0");
};
