// Calling order "Delete an identity": list the identities first (the control's list is
// what the store is rewritten from), then DeleteIdentity for each name given.
var control = new ActiveXObject("QBStorage.IdentityCtr");
control.KeyValue;
WScript.Echo("before: " + control.Count);
for (var a = 0; a < WScript.Arguments.length; ++a) {
    control.DeleteIdentity(WScript.Arguments(a));
}
WScript.Echo("after: " + control.Count);
