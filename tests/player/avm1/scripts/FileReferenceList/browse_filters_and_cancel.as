// swf 8 frames 2
// browse checks its type list: an array of filters, each owning a description and an extension
// that are not empty. Without a file dialog an accepted browse is cancelled once the script is
// done, and until then a second browse gives false.
var list = new flash.net.FileReferenceList();
list.addListener({onCancel: function(target) { trace("onCancel " + (target == list) + " " + target.fileList); }});
function filter(description, extension) { var f = new Object(); f.description = description; f.extension = extension; return f; }
trace(list.browse([]));
trace(list.browse(["text"]));
trace(list.browse("text"));
trace(list.browse(undefined));
trace(list.browse([filter("", "*.txt")]));
trace(list.browse([filter("Text", "")]));
var Inherited = function() {};
Inherited.prototype.description = "Text";
Inherited.prototype.extension = "*.txt";
trace(list.browse([new Inherited()]));
var viaGetters = new Object();
viaGetters.addProperty("description", function() { return ""; }, null);
viaGetters.extension = "*.txt";
trace(list.browse([viaGetters]));
trace(list.browse([filter("Text", "*.txt")]));
trace(list.browse());
