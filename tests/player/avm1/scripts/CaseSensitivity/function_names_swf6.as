// swf 6
// Before SWF 7 a function is called by its name in any case, whether the name comes from the
// constant pool or was made by the script.
function Add(a, b) {
    return a + b;
}
trace(ADD(1, 2) + " " + add(3, 4) + " " + Add(5, 6));
var name = "aDd";
trace(eval(name)(7, 8));
