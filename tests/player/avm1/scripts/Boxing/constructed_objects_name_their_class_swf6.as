// swf 6
// Every object new makes names its class as a hidden __constructor__, and up to SWF 6 as a
// hidden constructor too: the built-in classes' objects as much as a script's. A primitive
// used as an object is boxed as new would box it, so it names its class the same way.
function show(label, made, expected) {
    var names = [];
    for (var name in made)
        names.push(name);
    trace(label + ": " + (made.__constructor__ == expected) + " " + made.hasOwnProperty("__constructor__")
          + " " + made.hasOwnProperty("constructor") + (names.length > 0 && made instanceof Number ? " listed" : ""));
}
show("Number", new Number(4), Number);
show("String", new String("a"), String);
show("Boolean", new Boolean(false), Boolean);
show("Array", new Array(2), Array);
show("Object", new Object(), Object);
show("Date", new Date(0), Date);
show("XML", new XML(), XML);
show("XMLNode", new XMLNode(1, "a"), XMLNode);
show("TextFormat", new TextFormat(), TextFormat);
show("number", 4, Number);
show("string", "s", String);
show("boolean", true, Boolean);
show("boxed by Object", new Object(5), Number);
var shared = {};
show("handed back", new Object(shared), undefined);
trace(typeof (4).__constructor__ + " " + ("s".__constructor__ == String));
var literal = [];
trace(literal.hasOwnProperty("__constructor__"));
