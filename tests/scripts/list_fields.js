// Calling order "List the fields of one identity", for each identity named on the
// command line: GetKeyInfo(name, 1) gives the number of fields and puts the first into
// KeyName and GetValue; GetKeyInfo(name, k) with k other than 1 steps to the next.
var control = new ActiveXObject("QBStorage.IdentityCtr");
control.KeyValue;  // loads the identity list
for (var a = 0; a < WScript.Arguments.length; ++a) {
    var name = WScript.Arguments(a);
    var n = control.GetKeyInfo(name, 1);
    WScript.Echo(name + ": " + n + " fields");
    for (var k = 1; k <= n; ++k) {
        if (k > 1) {
            control.GetKeyInfo(name, k);
        }
        WScript.Echo("  " + control.KeyName + " = " + control.GetValue() + " (of " +
                     control.GetMapCount() + ")");
    }
}
