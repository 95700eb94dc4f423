// swf 7 frames 2
// A clip removed while it, or a clip inside it, has an unload handler stays where scripts find
// it, moved to depth -32769 - depth with everything inside it, until the next frame begins; its
// handlers see it there. A clip without one leaves at once.
createEmptyMovieClip("plain", 5);
createEmptyMovieClip("outer", 3);
outer.createEmptyMovieClip("inner", 7);
outer.inner.onUnload = function () {
    trace("unload " + this + " at " + this.getDepth() + " in " + this._parent);
};
createEmptyMovieClip("handled", 4);
handled.onUnload = function () {
    trace("unload " + this + " at " + this.getDepth() + ", found by name: " + (_root.handled == this));
};
plain.removeMovieClip();
trace("plain: " + typeof plain);
outer.removeMovieClip();
trace("outer: " + outer + " at " + outer.getDepth());
trace("inner at " + outer.inner.getDepth());
trace("at 3: " + getInstanceAtDepth(3));
trace("at -32772: " + getInstanceAtDepth(-32772));
handled.removeMovieClip();
trace("removed again: " + handled.removeMovieClip());
createEmptyMovieClip("watcher", 10);
watcher.onEnterFrame = function () {
    trace("next frame: " + typeof _root.outer + " " + typeof _root.handled);
    delete this.onEnterFrame;
};
