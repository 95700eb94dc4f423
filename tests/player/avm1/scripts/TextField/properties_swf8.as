// swf 8
// A field's properties are listed by for..in (newest first), its methods are not. The SWF 8
// rendering settings keep the names they know and any number; tabIndex is an unsigned
// number once set; replaceSel writes at the selection, the start of the text at first.
var names = [];
for (var name in TextField.prototype)
    names.push(name);
trace(names.join(","));
createTextField("field", 1, 0, 0, 100, 20);
function rendering() { trace(field.antiAliasType + " " + field.gridFitType + " " + field.thickness + " " + field.sharpness); }
rendering();
field.antiAliasType = "advanced"; field.gridFitType = "subpixel"; field.thickness = 300; field.sharpness = -Infinity;
rendering();
field.antiAliasType = "bogus"; field.gridFitType = "Pixel"; field.thickness = "x";
rendering();
trace(field.tabIndex);
field.tabIndex = -4; trace(field.tabIndex);
field.tabIndex = "x"; trace(field.tabIndex);
field.tabIndex = 1.9; trace(field.tabIndex);
field.tabIndex = null; trace(field.tabIndex);
trace(field.restrict);
field.restrict = "a-z"; trace(field.restrict);
field.text = "abcd";
field.replaceSel("|"); trace(field.text);
field.replaceSel("-"); trace(field.text);
