// Calling order "Create or replace an identity": a name (from the identity-name dialog,
// or from the command line when the dialog is cancelled), one SetKeyValue per field,
// then WriteToFile(name, "identity"). An identity of that name loses its old fields.
//   qbscript create_or_replace.js NAME KEY=VALUE...
var control = new ActiveXObject("QBStorage.IdentityCtr");
var name = control.SetProfile();
if (name === undefined) {
    name = WScript.Arguments(0);
}
for (var i = 1; i < WScript.Arguments.length; ++i) {
    var field = WScript.Arguments(i);
    var equals = field.indexOf("=");
    control.SetKeyValue(field.substring(0, equals), field.substring(equals + 1));
}
control.WriteToFile(name, "identity");
WScript.Echo("saved " + name + "; the store holds " + control.Count + " identities");
