// Calling order "List the identities": the first KeyValue loads the identity store,
// Count then says how many names there are, and reading KeyValue on gives the others.
var control = new ActiveXObject("QBStorage.IdentityCtr");
WScript.Echo("before the first name: " + control.Count);
var first = control.KeyValue;
var count = control.Count;
WScript.Echo(count + " identities:");
WScript.Echo("  " + first);
for (var i = 1; i < count; ++i) {
    WScript.Echo("  " + control.KeyValue);
}
WScript.Echo("reading on starts again: " + control.KeyValue);
WScript.Echo("whatever file type is asked for: " + control.GetKeyValue("Passcards"));
