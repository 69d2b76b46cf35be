// Values between the script and the object runtime.
//
//   script            VARIANT
//   undefined         VT_EMPTY
//   null              VT_NULL
//   boolean           VT_BOOL
//   integer number    VT_I4 (when it fits 32 bits), other numbers VT_R8
//   string            VT_BSTR (UTF-16 as it is)
//   object proxy      VT_DISPATCH (the object itself)
//   anything else     VT_BSTR of its text
//
// and back: VT_I2, VT_I4, VT_INT, VT_R8 and VT_ERROR become numbers, VT_BSTR a string
// (a null BSTR the empty string), VT_DISPATCH an object proxy; references are followed.
#pragma once

#include <QJSValue>

#include "com/Variant.h"

class ScriptHost;

// v must be empty (VT_EMPTY); it receives what it then owns. False when memory runs out.
bool ToVariant(const QJSValue& value, VARIANT* v);
QJSValue FromVariant(ScriptHost& host, const VARIANT& v);
