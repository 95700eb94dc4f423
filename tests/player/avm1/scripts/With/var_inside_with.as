// swf 8
// var inside a with block: an object of the block that holds the name as its own property
// takes the value; otherwise the variable goes to the function's locals or the timeline. A name
// the object only inherits does not count.
var proto = {inherited: 20};
var holder = {own: 20};
holder.__proto__ = proto;
with (holder) {
    var own = 10;
    var fresh = 10;
    var inherited = 10;
}
trace(holder.own + " " + holder.fresh + " " + holder.inherited);
trace(_root.own + " " + _root.fresh + " " + _root.inherited);
function inFunction(target) {
    with (target) {
        var own = 30;
        var local = 30;
    }
    trace(target.own + " " + target.local + " " + local);
}
inFunction(holder);
trace(_root.local);
