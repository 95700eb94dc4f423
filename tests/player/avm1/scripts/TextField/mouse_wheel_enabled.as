// swf 7
// mouseWheelEnabled is on in a new field and takes any value as a flag.
createTextField("field", 1, 0, 0, 50, 20);
trace(field.mouseWheelEnabled);
field.mouseWheelEnabled = 0;
trace(field.mouseWheelEnabled);
field.mouseWheelEnabled = "yes";
trace(field.mouseWheelEnabled);
