// Passcards from a script: create, list, read, replace and delete. The Passcards
// object hands names and fields back through arguments passed by reference
// (WScript.Ref), and reads its store on every GetKeyValue and GetKeyInfo.
var cards = new ActiveXObject("QBStorage.Passcards");

function save(name, fields) {
    for (var key in fields) {
        cards.SetKeyValue(key, fields[key]);
    }
    cards.WriteToFile(name, "Passcards");
}

function names() {
    var name = WScript.Ref("");
    cards.GetKeyValue(name, "Passcards");
    var all = [name.value];
    for (var i = 1; i < cards.Count; ++i) {
        cards.GetKeyValue(name, "Passcards");
        all.push(name.value);
    }
    return all;
}

function fields(name) {
    var key = WScript.Ref(""), value = WScript.Ref(""), count = WScript.Ref(1);
    cards.GetKeyInfo(name, key, value, count);
    var all = [];
    for (var i = 0; i < count.value; ++i) {
        if (i > 0) {
            cards.GetKeyInfo(name, key, value, WScript.Ref(2));
        }
        all.push(key.value + "=" + value.value);
    }
    return name + " {" + all.join(", ") + "}";
}

function show(title) {
    WScript.Echo(title);
    var all = names();
    for (var i = 0; i < all.length; ++i) {
        WScript.Echo("  " + fields(all[i]));
    }
}

save("Bank", {User: "ann", PIN: "1234"});
save("Mail", {User: "ann@example.org", Password: "s3cret"});
show("created:");
save("Bank", {PIN: "9999"});
show("Bank replaced:");
cards.WriteToUndelFile("Mail", "Passcards");
var fresh = new ActiveXObject("clsid:E0E762DF-3A06-4BCF-8EF5-E9B1D22A93BD");
WScript.Echo("Mail deleted; a fresh object sees " + fresh.Count + " before it reads, and:");
WScript.Echo("  " + fields("Bank"));
