// Values between page scripts (JSON) and the object runtime (VARIANT).
//
// Arguments (already checked by ParseRequest):
//   string -> VT_BSTR;  boolean -> VT_BOOL;  null -> VT_NULL;  {"undefined": true} ->
//   VT_EMPTY;  number -> VT_I4 when it is a whole number in the 32-bit range, else VT_R8;
//   {"ref": argument} -> the argument, passed by reference (see ReferenceInner).
// Results (a by-reference VARIANT is read through):
//   VT_EMPTY, VT_ERROR -> nothing (the page sees undefined);  VT_NULL -> null;
//   VT_I2, VT_I4, VT_INT, VT_R8 -> number (NaN and the infinities, which JSON cannot
//   hold, as {"number": "NaN" | "Infinity" | "-Infinity"});  VT_BOOL -> boolean;
//   VT_BSTR -> string;  objects are refused (pages hold only objects they create);
//   any other type -> its text, when it has one.
//
// Thread: the thread of the values.
#pragma once

#include <QJsonValue>
#include <QString>

#include "com/Variant.h"

namespace browser {

// True when arg is an argument passed by reference ({"ref": value}); *inner is then
// its value, an argument of its own.
bool ReferenceInner(const QJsonValue& arg, QJsonValue* inner);

// out must be VT_EMPTY. S_OK, DISP_E_TYPEMISMATCH for a value that is not an
// argument, E_OUTOFMEMORY.
HRESULT ArgumentToVariant(const QJsonValue& value, VARIANT* out);

// The text of a BSTR (a null BSTR reads as empty).
QString FromBstr(BSTR bstr);

// The JSON form of a result. *present is false when the page is to see undefined.
// Returns "" on success, else why the value cannot reach a page.
QString ResultToJson(const VARIANT& value, QJsonValue* out, bool* present);

}  // namespace browser
