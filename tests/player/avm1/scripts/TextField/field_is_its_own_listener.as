// swf 7
// A text field is a broadcaster from birth, with itself as its first (hidden) listener; the
// broadcaster methods are its own.
createTextField("field", 1, 0, 0, 50, 20);
trace(field._listeners.length + " " + (field._listeners[0] == field) + " " + field.hasOwnProperty("addListener"));
var names = "";
for (var name in field)
    if (name == "_listeners" || name.indexOf("Listener") >= 0 || name == "broadcastMessage")
        names += name + ";";
trace("[" + names + "]");
var listener = {};
listener.onChanged = function(a, b) { trace("listener: " + a + "," + b); };
field.onChanged = function(a, b) { trace("field: " + a + "," + b); };
field.addListener(listener);
trace(field.broadcastMessage("onChanged", "x", "y") + " " + field._listeners.length);
field.removeListener(field);
field.broadcastMessage("onChanged", "z");
