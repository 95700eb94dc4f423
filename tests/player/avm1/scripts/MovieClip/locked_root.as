// swf 7
// A clip whose _lockroot is true is _root to the scripts inside it: for itself and for everything
// below it, whether _root is read as a property, as a path or as a variable. The flag reads
// false until set and holds a boolean.
var outer = this.createEmptyMovieClip("outer", 1);
var inner = outer.createEmptyMovieClip("inner", 1);
var leaf = inner.createEmptyMovieClip("leaf", 1);
trace(outer._lockroot);
trace(leaf._root == _level0);
inner._lockroot = "yes";
trace(inner._lockroot);
trace(typeof inner._lockroot);
trace(leaf._root == inner);
trace(inner._root == inner);
trace(outer._root == _level0);
trace(eval("outer.inner.leaf._root") == inner);
trace(eval("/outer/inner/leaf/_root/leaf") == leaf);
tellTarget ("outer/inner/leaf") {
    _root.seen = true;
}
trace(inner.seen);
trace(_level0.seen);
outer._lockroot = true;
trace(leaf._root == inner);
inner._lockroot = false;
trace(leaf._root == outer);
