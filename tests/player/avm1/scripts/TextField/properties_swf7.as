// swf 7
// The SWF 8 properties are listed in SWF 7 too, but reads and writes pass them by: a write
// makes an ordinary property of the object's own.
var listed = false;
for (var name in TextField.prototype)
    if (name == "antiAliasType")
        listed = true;
trace(listed);
var o = new TextField();
o.antiAliasType = "x"; trace(o.antiAliasType);
o.text = "x"; trace(o.text);
delete o.antiAliasType; trace(o.antiAliasType);
createTextField("field", 1, 0, 0, 100, 20);
trace(field.antiAliasType);
