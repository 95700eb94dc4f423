// The car's first part: the body, with a paint colour and a door decal texture.
stop();

title = "City Coupe";
price = "0";
description = "A small two-door coupe. Its sheet has two parts, the body and the wheels.";
category = "Vehicles";
objectmakersitename = "Roadline Models";
templatemakersitename = "Skarvelle Samples";
objectmakersite = "https://roadline.example.net/";
templatemakersite = "https://samples.skarvelle.example.org/";
tiles = 2;
guid = "{9E0F4C21-58B6-4A7D-B3E2-0C1D7A6F5B48}";
tileguids = "{1B7E5D93-2C40-4F8B-9D61-7A3E0C2F84B5}&{C4A2E8F0-6D19-4B53-8E7C-5F0A1B3D9E62}";
partname = "Body";

fscommand("setsize", "512 x 256");
fscommand("clearitems");
fscommand("additem", "Paint&paintcolour&colour");
fscommand("additem", "Door Decal&decaltexture&file");
fscommand("addseperator");
fscommand("additem", "Wheels&2&goto");

resetParts();
addColourPart("paintcolour", bodybase, "0xC0392B");
addTexturePart("decaltexture", decal.holder, 150, 46);
updateParts();

decal.onRelease = function () {
    fscommand("clickitem", "1");
};
