#include "ClassTable.h"

#include "CIDentity.h"
#include "CIdentityCtr.h"
#include "CPasscards.h"
#include "QBStorage.h"
#include "com/Object.h"

namespace {

using com::RegKey;
using com::RegKeyDesc;
using com::RegMark;

// OLEMISC_SETCLIENTSITEFIRST | INVISIBLEATRUNTIME | ACTIVATEWHENVISIBLE | INSIDEOUT |
// CANTLINKINSIDE | RECOMPOSEONRESIZE
constexpr const char* kControlMiscStatus = "132497";

com::RegScript Script(const char* name, const CLSID& clsid, bool control) {
    const std::string progId = std::string("QBStorage.") + name + ".1";
    const std::string independent = std::string("QBStorage.") + name;
    const std::string description = std::string(name) + " Class";
    const std::string id = com::FormatGuid(clsid);

    const RegKeyDesc server =
        RegKey("InprocServer32", "%MODULE%", {}, RegMark::None, {{"ThreadingModel", "Apartment"}});
    std::vector<RegKeyDesc> classKeys{
        RegKey("ProgID", progId), RegKey("VersionIndependentProgID", independent),
        RegKey("Programmable", std::nullopt, {}, RegMark::ForceRemove), server};
    if (control) {
        classKeys.push_back(RegKey("Control", std::nullopt, {}, RegMark::ForceRemove));
        classKeys.push_back(RegKey("Insertable", std::nullopt, {}, RegMark::ForceRemove));
        classKeys.push_back(RegKey("ToolboxBitmap32", "%MODULE%, 104", {}, RegMark::ForceRemove));
        classKeys.push_back(RegKey("MiscStatus", "0", {RegKey("1", kControlMiscStatus)}));
    }
    classKeys.push_back(RegKey("TypeLib", com::FormatGuid(LIBID_QBSTORAGELib)));
    if (control) {
        classKeys.push_back(RegKey("Version", "1.0"));
    }
    return com::RegScript{
        HKEY_CLASSES_ROOT,
        {RegKey(progId, description, {RegKey("CLSID", id)}),
         RegKey(independent, description, {RegKey("CLSID", id), RegKey("CurVer", progId)}),
         RegKey("CLSID", std::nullopt,
                {RegKey(id, description, std::move(classKeys), RegMark::ForceRemove)},
                RegMark::NoRemove)}};
}

com::RegScript IDentityScript() {
    return Script("IDentity", CLSID_IDentity, false);
}
com::RegScript PasscardsScript() {
    return Script("Passcards", CLSID_Passcards, false);
}
com::RegScript IdentityCtrScript() {
    return Script("IdentityCtr", CLSID_IdentityCtr, true);
}

const com::ClassEntry kClasses[] = {
    {&CLSID_IDentity, &com::CreatePlain<CIDentity>, &com::CreateAggregated<CIDentity>,
     &IDentityScript},
    {&CLSID_Passcards, &com::CreatePlain<CPasscards>, &com::CreateAggregated<CPasscards>,
     &PasscardsScript},
    {&CLSID_IdentityCtr, &com::CreatePlain<CIdentityCtr>, &com::CreateAggregated<CIdentityCtr>,
     &IdentityCtrScript},
};

}  // namespace

std::span<const com::ClassEntry> ServerClasses() {
    return kClasses;
}
