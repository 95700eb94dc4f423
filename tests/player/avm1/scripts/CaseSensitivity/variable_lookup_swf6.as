// swf 6
// Up to SWF 6 variable names ignore case wherever a variable is found: locals, with objects,
// prototypes and timelines. A name made at run time is found the same way.
var Total = 5;
trace(total);
trace(TOTAL);
function inner() {
    var Local = 3;
    local = local + 1;
    return LOCAL;
}
trace(inner());
function Base() {}
Base.prototype.addProperty("Counted", function() { return "counted"; }, null);
var holder = new Base();
holder.Tag = "tagged";
with (holder) {
    trace(COUNTED);
    trace(tag);
    TAG = "changed";
}
trace(holder.Tag);
trace(eval("to" + "TAL"));
