// Adds (or replaces) identities from a CSV file, one field per line:
//
//   identity,field,value
//   Home,City,Bern
//   Home,Street,"Gasse 1, 2. Stock"
//   Work,City,Zug
//
// The first line names the columns and is skipped. A value holding a comma or a quote
// is quoted, a quote inside doubled (""), as spreadsheets write it. An identity that
// already exists gets exactly the fields the file gives it.
//
//   qbscript add_identities.js identities.csv
if (WScript.Arguments.length !== 1) {
    WScript.StdErr.WriteLine("usage: qbscript add_identities.js FILE.csv");
    WScript.Quit(2);
}

// The cells of one CSV line.
function cells(line) {
    var out = [], cell = "", quoted = false;
    for (var i = 0; i < line.length; ++i) {
        var c = line.charAt(i);
        if (quoted) {
            if (c === '"' && line.charAt(i + 1) === '"') {
                cell += '"';
                ++i;
            } else if (c === '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c === '"') {
            quoted = true;
        } else if (c === ",") {
            out.push(cell);
            cell = "";
        } else {
            cell += c;
        }
    }
    out.push(cell);
    return out;
}

var lines = WScript.ReadFile(WScript.Arguments(0)).split(/\r?\n/);
var order = [], fields = {};
for (var n = 1; n < lines.length; ++n) {
    if (lines[n] === "") {
        continue;
    }
    var row = cells(lines[n]);
    if (row.length !== 3) {
        throw new Error("line " + (n + 1) + ": three cells expected, not " + row.length);
    }
    if (!fields.hasOwnProperty(row[0])) {
        order.push(row[0]);
        fields[row[0]] = [];
    }
    fields[row[0]].push([row[1], row[2]]);
}

var control = new ActiveXObject("QBStorage.IdentityCtr");
var count = 0;
for (var i = 0; i < order.length; ++i) {
    var list = fields[order[i]];
    for (var f = 0; f < list.length; ++f) {
        control.SetKeyValue(list[f][0], list[f][1]);
        ++count;
    }
    control.WriteToFile(order[i], "identity");
}
WScript.Echo("added " + order.length + " identities with " + count + " fields; the store holds " +
             control.Count);
