// What a script sees of failures: a store that cannot be read fails the call with a
// description, the control stays usable, and an error nobody catches ends the script
// with status 1 and its message.
var control = new ActiveXObject("QBStorage.IdentityCtr");
try {
    control.KeyValue;
    WScript.Echo("the broken store was read?");
} catch (e) {
    WScript.Echo("caught: " + e.message.substring(0, e.message.indexOf(":")));
}
control.SetCount(3);
WScript.Echo("the control still works: " + control.GetMapCount());
try {
    control.Frobnicate();
} catch (e) {
    WScript.Echo("caught: " + e.message);
}
control.Export();  // the file dialog is cancelled (no display): nothing happens
WScript.Echo("export cancelled quietly");
control.Count = 4;
WScript.Echo("not reached");
