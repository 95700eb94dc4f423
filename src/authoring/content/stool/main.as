// The stool's sheet: a round oak top that takes a texture and three legs with a colour.
stop();

title = "Bar Stool";
price = "0";
description = "A three-legged bar stool with a round top.";
// Grouped with the chair's "Chairs": categories differ only in case and a trailing "s".
category = "chair";
objectmakersitename = "Oakfield Furniture";
templatemakersitename = "Skarvelle Samples";
objectmakersite = "https://oakfield.example.com/";
templatemakersite = "https://samples.skarvelle.example.org/";
tiles = 1;
guid = "{0D9B83F2-71C4-4B0E-8F3A-5E62A9D41C07}";
tileguids = "";

fscommand("setsize", "256 x 256");
fscommand("clearitems");
fscommand("additem", "Seat Top&toptexture&file");
fscommand("additem", "Leg Colour&legcolour&colour");

resetParts();
addTexturePart("toptexture", top.holder, 224, 120);
addColourPart("legcolour", legsbase, "0x3C3C46");
updateParts();

top.onRelease = function () {
    fscommand("clickitem", "0");
};
