// A type library held as data: what a module declares about its classes and their
// scriptable interfaces. CreateTypeLib (com/TypeInfo.h) turns it into an ITypeLib.
//
// Parameter types are VARTYPEs; a pointer parameter is its pointee type with VT_BYREF
// (BSTR* is VT_BSTR | VT_BYREF, VARIANT* is VT_VARIANT | VT_BYREF). A member's
// [out, retval] parameter is its last one and is not passed by callers of Invoke: it
// comes back as the call's result.
#pragma once

#include <string>
#include <vector>

#include "com/ComTypes.h"
#include "com/Guid.h"
#include "com/Variant.h"

enum TYPEKIND : int {
    TKIND_ENUM = 0,
    TKIND_RECORD = 1,
    TKIND_MODULE = 2,
    TKIND_INTERFACE = 3,
    TKIND_DISPATCH = 4,
    TKIND_COCLASS = 5,
};

enum INVOKEKIND : int {
    INVOKE_FUNC = 1,
    INVOKE_PROPERTYGET = 2,
    INVOKE_PROPERTYPUT = 4,
    INVOKE_PROPERTYPUTREF = 8,
};

enum SYSKIND : int { SYS_WIN16 = 0, SYS_WIN32 = 1, SYS_MAC = 2, SYS_WIN64 = 3 };

// Type flags.
constexpr WORD TYPEFLAG_FAPPOBJECT = 0x1;
constexpr WORD TYPEFLAG_FCANCREATE = 0x2;
constexpr WORD TYPEFLAG_FCONTROL = 0x20;
constexpr WORD TYPEFLAG_FDUAL = 0x40;
constexpr WORD TYPEFLAG_FNONEXTENSIBLE = 0x80;
constexpr WORD TYPEFLAG_FOLEAUTOMATION = 0x100;

// Parameter flags (directions).
constexpr USHORT PARAMFLAG_NONE = 0x0;
constexpr USHORT PARAMFLAG_FIN = 0x1;
constexpr USHORT PARAMFLAG_FOUT = 0x2;
constexpr USHORT PARAMFLAG_FRETVAL = 0x8;

// Implemented-interface flags of a coclass.
constexpr int IMPLTYPEFLAG_FDEFAULT = 0x1;

constexpr MEMBERID MEMBERID_NIL = -1;

namespace com {

struct ParamDesc {
    std::string name;
    VARTYPE type;
    USHORT flags;
};

struct FuncDesc {
    MEMBERID memid;
    std::string name;
    INVOKEKIND invkind;
    std::vector<ParamDesc> params;
    std::string helpString;

    bool HasRetval() const {
        return !params.empty() && (params.back().flags & PARAMFLAG_FRETVAL) != 0;
    }
    // The number of arguments a caller passes (the retval excluded).
    std::size_t ArgumentCount() const { return params.size() - (HasRetval() ? 1 : 0); }
};

struct EnumValueDesc {
    std::string name;
    LONG value;
};

struct ImplTypeDesc {
    std::string interfaceName;  // a TKIND_DISPATCH type of the same library
    int flags;                  // IMPLTYPEFLAG_*
};

// One type of the library: an enumeration, a (dual) interface or a coclass.
struct TypeDesc {
    TYPEKIND kind;
    std::string name;
    GUID guid;  // GUID_NULL for an enumeration
    std::string helpString;
    WORD flags;
    std::vector<FuncDesc> funcs;          // interface members, in function-table order
    std::vector<EnumValueDesc> values;    // enumeration values
    std::vector<ImplTypeDesc> implTypes;  // coclass interfaces
};

struct TypeLibDesc {
    std::string name;
    GUID libid;
    WORD majorVersion;
    WORD minorVersion;
    LCID lcid;
    SYSKIND syskind;
    std::string helpString;
    WORD libFlags;
    std::vector<TypeDesc> types;
};

}  // namespace com

using FUNCDESC = com::FuncDesc;
using VARDESC = com::EnumValueDesc;
