// Calling order "Start-up hand-over": IdentityToBeSelected names the identity a page
// should select, once; the second call finds nothing.
var control = new ActiveXObject("QBStorage.IdentityCtr");
WScript.Echo("select: [" + control.IdentityToBeSelected() + "]");
WScript.Echo("again: [" + control.IdentityToBeSelected() + "]");
