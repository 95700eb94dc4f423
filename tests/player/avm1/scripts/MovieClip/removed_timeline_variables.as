// swf 7
// Once the clip a function was defined on leaves the stage during the function, its variables
// are no longer found there: names go to the root.
where = "root";
createEmptyMovieClip("doomed", 1);
doomed.where = "doomed";
tellTarget ("doomed") {
    _root.look = function () {
        trace(where);
        removeMovieClip("/doomed");
        trace(where);
        set("fresh", 1);
    };
}
look();
trace(_root.fresh);
