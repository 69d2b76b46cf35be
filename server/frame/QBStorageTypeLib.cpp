#include "QBStorageTypeLib.h"

#include "QBStorage.h"

namespace {

using com::FuncDesc;
using com::ParamDesc;

ParamDesc In(const char* name, VARTYPE type) {
    return {name, type, PARAMFLAG_FIN};
}
ParamDesc Out(const char* name, VARTYPE pointee) {
    return {name, static_cast<VARTYPE>(pointee | VT_BYREF), PARAMFLAG_FOUT};
}
// A pointer parameter declared [in] although the member writes through it.
ParamDesc InRef(const char* name, VARTYPE pointee) {
    return {name, static_cast<VARTYPE>(pointee | VT_BYREF), PARAMFLAG_FIN};
}
// A parameter declared without a direction attribute (it is passed in).
ParamDesc Plain(const char* name, VARTYPE type) {
    return {name, type, PARAMFLAG_NONE};
}
ParamDesc Retval(const char* name, VARTYPE pointee) {
    return {name, static_cast<VARTYPE>(pointee | VT_BYREF),
            static_cast<USHORT>(PARAMFLAG_FOUT | PARAMFLAG_FRETVAL)};
}

FuncDesc Method(MEMBERID id, const char* name, std::vector<ParamDesc> params = {}) {
    return {id, name, INVOKE_FUNC, std::move(params), std::string("method ") + name};
}
FuncDesc Property(MEMBERID id, const char* name, std::vector<ParamDesc> params) {
    return {id, name, INVOKE_PROPERTYGET, std::move(params), std::string("property ") + name};
}

constexpr WORD kInterfaceFlags = TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION;

com::TypeDesc Interface(const char* name, const IID& iid, std::vector<FuncDesc> funcs) {
    return {TKIND_DISPATCH,   name, iid, std::string(name) + " Interface", kInterfaceFlags,
            std::move(funcs), {},   {}};
}

com::TypeDesc Coclass(const char* name, const CLSID& clsid, const char* defaultInterface) {
    return {TKIND_COCLASS,       name, clsid, std::string(name) + " Class",
            TYPEFLAG_FCANCREATE, {},   {},    {{defaultInterface, IMPLTYPEFLAG_FDEFAULT}}};
}

com::TypeDesc IIDentityDesc() {
    return Interface(
        "IIDentity", IID_IIDentity,
        {Method(1, "SetKeyValue", {In("bsKeyName", VT_BSTR), In("bsvalue", VT_BSTR)}),
         Method(2, "GetKeyValue", {Out("bsKey", VT_BSTR), In("bsFileType", VT_BSTR)}),
         Method(3, "WriteToFile", {In("bsKeyName", VT_BSTR), In("bsFileType", VT_BSTR)}),
         Property(4, "Count", {Retval("pVal", VT_I4)}),
         Method(5, "GetKeyInfo",
                {In("bsKey", VT_BSTR), InRef("bsKeyName", VT_BSTR), InRef("bsvalue", VT_BSTR),
                 InRef("nCount", VT_I4)}),
         Method(6, "RemoveElements"), Method(7, "DeleteIdentity", {Plain("bsID", VT_BSTR)}),
         Method(8, "ValidatePassword", {Retval("bValue", VT_I4)}), Method(9, "Export"),
         Method(10, "Import")});
}

com::TypeDesc IPasscardsDesc() {
    return Interface(
        "IPasscards", IID_IPasscards,
        {Method(1, "SetKeyValue", {In("bsName", VT_BSTR), In("bsvalue", VT_BSTR)}),
         Method(2, "GetKeyInfo",
                {In("bsKey", VT_BSTR), Out("bsKeyName", VT_BSTR), Out("bsvalue", VT_BSTR),
                 Out("lCount", VT_I4)}),
         Method(3, "WriteToFile", {In("bsKeyName", VT_BSTR), In("bsFileType", VT_BSTR)}),
         Method(4, "GetKeyValue", {Out("bsKeyName", VT_BSTR), In("bsFileType", VT_BSTR)}),
         Property(5, "Count", {Retval("pVal", VT_I4)}),
         Method(6, "WriteToUndelFile", {In("bsKeyName", VT_BSTR), In("bsFileType", VT_BSTR)})});
}

com::TypeDesc IIdentityCtrDesc() {
    return Interface(
        "IIdentityCtr", IID_IIdentityCtr,
        {Method(1, "SetKeyValue", {In("bsName", VT_BSTR), In("bsvalue", VT_BSTR)}),
         Method(2, "WriteToFile", {In("bsName", VT_BSTR), In("bsType", VT_BSTR)}),
         Method(3, "GetKeyInfo",
                {In("bsKey", VT_BSTR), In("lCount", VT_I4), Retval("pResult", VT_I4)}),
         Method(4, "GetKeyValue", {In("bsFileType", VT_BSTR), Retval("bsKey", VT_BSTR)}),
         Property(5, "Count", {Retval("pVal", VT_I4)}),
         Property(6, "KeyValue", {Retval("pVal", VT_VARIANT)}),
         Method(7, "SetProfile", {Retval("bsProfName", VT_VARIANT)}),
         Property(8, "KeyName", {Retval("pVal", VT_VARIANT)}),
         Method(9, "SetKeyName", {In("bsKey", VT_BSTR)}),
         Method(10, "SetValue", {In("bsKeyValue", VT_BSTR)}),
         Method(11, "GetValue", {Retval("vtKeyValue", VT_VARIANT)}),
         Method(12, "SetCount", {In("lCount", VT_I4)}),
         Method(13, "GetMapCount", {Retval("vtCount", VT_VARIANT)}),
         Method(14, "RemoveElements"),
         Method(15, "DeleteIdentity", {Plain("bsID", VT_BSTR)}),
         Method(16, "GetUserName", {Retval("bsUserName", VT_BSTR)}),
         Method(17, "ValidatePassword", {Retval("bValue", VT_I4)}),
         Property(18, "AppPath", {Retval("pVal", VT_BSTR)}),
         Method(19, "ShowHelp"),
         Method(20, "ShowPasswordGeneratorDlg"),
         Method(21, "IdentityToBeSelected", {Retval("pVal", VT_BSTR)}),
         Method(22, "ShowAboutDlg"),
         Method(23, "ShowErrorMsg",
                {In("bsMsg", VT_BSTR), In("nType", VT_INT), Retval("lResult", VT_INT)}),
         Method(24, "ShowInformationMsg",
                {In("bsInfo", VT_BSTR), In("nType", VT_INT), Retval("lResult", VT_INT)}),
         Method(25, "ChangePassword"),
         Method(26, "Export"),
         Method(27, "Import")});
}

com::TypeLibDesc MakeDesc() {
    com::TypeDesc messageTypes{
        TKIND_ENUM, "eMSG_TYPE", GUID_NULL, "", 0, {}, {{"eOK", eOK}, {"eYESNO", eYESNO}}, {}};
    return {"QBSTORAGELib",
            LIBID_QBSTORAGELib,
            1,
            0,
            0x0409,
            SYS_WIN32,
            "QBStorage 1.0 Type Library",
            0,
            {messageTypes, Coclass("IDentity", CLSID_IDentity, "IIDentity"),
             Coclass("Passcards", CLSID_Passcards, "IPasscards"),
             Coclass("IdentityCtr", CLSID_IdentityCtr, "IIdentityCtr"), IIDentityDesc(),
             IPasscardsDesc(), IIdentityCtrDesc()}};
}

}  // namespace

const com::TypeLibDesc& QBStorageTypeLibDesc() {
    static const com::TypeLibDesc desc = MakeDesc();
    return desc;
}
