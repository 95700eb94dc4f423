// Shared by the sample templates: parts of the sheet that show a texture file or a colour whose
// value the host sets into a root variable. Every frame the variables are compared with what is
// shown, so a new value appears within one frame.

// Each frame's script starts with resetParts() and registers the parts it shows.
function resetParts() {
    _root.textureParts = {};
    _root.colourParts = {};
}

// A texture part: the JPEG whose path is in the variable is loaded into holder and stretched
// over width x height pixels, the size of the part's area.
function addTexturePart(variableName, holder, width, height) {
    _root.textureParts[variableName] = {holder: holder, width: width, height: height, shown: ""};
}

// A colour part: the variable holds "0x" and six hexadecimal digits (red, green, blue); clip is
// tinted with it. The default applies only while the host has set nothing.
function addColourPart(variableName, clip, defaultColour) {
    if (_root[variableName] == undefined || _root[variableName] == "") {
        _root[variableName] = defaultColour;
    }
    _root.colourParts[variableName] = {clip: clip, shown: ""};
}

function showTextures() {
    for (var name in _root.textureParts) {
        var part = _root.textureParts[name];
        var path = _root[name];
        if (path != undefined && path != "" && path != part.shown) {
            part.shown = path;
            loadMovie(path, part.holder);
        }
        // A loaded picture has a size; stretch it over the part's area.
        if (part.shown != "" && part.holder._width > 0) {
            part.holder._width = part.width;
            part.holder._height = part.height;
        }
    }
}

function showColours() {
    for (var name in _root.colourParts) {
        var part = _root.colourParts[name];
        var text = _root[name];
        if (text != part.shown) {
            part.shown = text;
            var value = parseInt(text);
            if (!isNaN(value)) {
                new Color(part.clip).setRGB(value);
            }
        }
    }
}

function updateParts() {
    showTextures();
    showColours();
}

// Each frame's script calls updateParts() once its parts are registered, so the frame already
// shows them; after that it runs on every frame.
_root.onEnterFrame = updateParts;
