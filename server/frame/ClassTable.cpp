#include "ClassTable.h"

#include "CIDentity.h"
#include "CIdentityCtr.h"
#include "CPasscards.h"
#include "QBStorage.h"
#include "com/Object.h"

namespace {

using com::RegKeyDesc;
using com::RegMark;

// OLEMISC_SETCLIENTSITEFIRST | INVISIBLEATRUNTIME | ACTIVATEWHENVISIBLE | INSIDEOUT |
// CANTLINKINSIDE | RECOMPOSEONRESIZE
constexpr const char* kControlMiscStatus = "132497";

RegKeyDesc Key(std::string name, std::optional<std::string> value = std::nullopt,
               std::vector<RegKeyDesc> children = {}, RegMark mark = RegMark::None) {
    return RegKeyDesc{mark, std::move(name), std::move(value), {}, std::move(children)};
}

com::RegScript Script(const char* name, const CLSID& clsid, bool control) {
    const std::string progId = std::string("QBStorage.") + name + ".1";
    const std::string independent = std::string("QBStorage.") + name;
    const std::string description = std::string(name) + " Class";
    const std::string id = com::FormatGuid(clsid);

    RegKeyDesc server = Key("InprocServer32", "%MODULE%");
    server.values.push_back({"ThreadingModel", "Apartment"});
    std::vector<RegKeyDesc> classKeys{
        Key("ProgID", progId), Key("VersionIndependentProgID", independent),
        Key("Programmable", std::nullopt, {}, RegMark::ForceRemove), server};
    if (control) {
        classKeys.push_back(Key("Control", std::nullopt, {}, RegMark::ForceRemove));
        classKeys.push_back(Key("Insertable", std::nullopt, {}, RegMark::ForceRemove));
        classKeys.push_back(Key("ToolboxBitmap32", "%MODULE%, 104", {}, RegMark::ForceRemove));
        classKeys.push_back(Key("MiscStatus", "0", {Key("1", kControlMiscStatus)}));
    }
    classKeys.push_back(Key("TypeLib", com::FormatGuid(LIBID_QBSTORAGELib)));
    if (control) {
        classKeys.push_back(Key("Version", "1.0"));
    }
    return com::RegScript{
        HKEY_CLASSES_ROOT,
        {Key(progId, description, {Key("CLSID", id)}),
         Key(independent, description, {Key("CLSID", id), Key("CurVer", progId)}),
         Key("CLSID", std::nullopt, {Key(id, description, std::move(classKeys), RegMark::ForceRemove)},
             RegMark::NoRemove)}};
}

com::RegScript IDentityScript() { return Script("IDentity", CLSID_IDentity, false); }
com::RegScript PasscardsScript() { return Script("Passcards", CLSID_Passcards, false); }
com::RegScript IdentityCtrScript() { return Script("IdentityCtr", CLSID_IdentityCtr, true); }

const com::ClassEntry kClasses[] = {
    {&CLSID_IDentity, &com::CreatePlain<CIDentity>, &com::CreateAggregated<CIDentity>,
     &IDentityScript},
    {&CLSID_Passcards, &com::CreatePlain<CPasscards>, &com::CreateAggregated<CPasscards>,
     &PasscardsScript},
    {&CLSID_IdentityCtr, &com::CreatePlain<CIdentityCtr>, &com::CreateAggregated<CIdentityCtr>,
     &IdentityCtrScript},
};

}  // namespace

std::span<const com::ClassEntry> ServerClasses() { return kClasses; }
