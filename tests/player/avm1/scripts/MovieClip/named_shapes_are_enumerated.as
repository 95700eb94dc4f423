// swf 8 shape box shape tile
// for..in over a clip lists the names of the shapes in it along with its clips, highest depth
// first; each such name reads as the clip itself.
createEmptyMovieClip("holder", 10);
for (var name in _root) {
    if (name != "$version")
        trace(name + ": " + _root[name]);
}
