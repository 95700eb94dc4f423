// swf 8
// Nodes the player makes (parsed, created or cloned) take whatever XMLNode.prototype holds when
// they are made, so a replaced prototype reaches them.
var custom = new Object();
custom.__proto__ = XMLNode.prototype;
custom.greet = function() { return "custom " + this.nodeName; };
var original = XMLNode.prototype;
XMLNode.prototype = custom;
var doc = new XML("<a><b/></a>");
trace(doc.firstChild.greet());
trace(doc.firstChild.firstChild.greet());
trace(doc.createElement("c").greet());
trace(doc.firstChild.cloneNode(true).greet());
XMLNode.prototype = original;
trace(new XML("<d/>").firstChild.greet);
trace(new XML("<e/>").firstChild.nodeName);
