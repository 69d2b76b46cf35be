#include "ScriptValues.h"

#include "DispatchHandle.h"
#include "ScriptHost.h"

namespace {

BSTR FromQString(const QString& text) {
    return com::AllocBstr(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
}

}  // namespace

bool ToVariant(const QJSValue& value, VARIANT* v) {
    VariantInit(v);
    if (value.isUndefined()) {
        return true;
    }
    if (value.isNull()) {
        v->vt = VT_NULL;
        return true;
    }
    if (value.isBool()) {
        v->vt = VT_BOOL;
        v->boolVal = value.toBool() ? VARIANT_TRUE : VARIANT_FALSE;
        return true;
    }
    if (value.isNumber()) {
        VariantFromNumber(v, value.toNumber());
        return true;
    }
    if (value.isObject()) {
        auto* handle =
            qobject_cast<DispatchHandle*>(value.property("__qbscriptHandle").toQObject());
        if (handle != nullptr && handle->object() != nullptr) {
            v->vt = VT_DISPATCH;
            v->pdispVal = handle->object();
            v->pdispVal->AddRef();
            return true;
        }
    }
    v->bstrVal = FromQString(value.toString());
    if (v->bstrVal == nullptr) {
        return false;
    }
    v->vt = VT_BSTR;
    return true;
}

QJSValue FromVariant(ScriptHost& host, const VARIANT& v) {
    if (v.vt == (VT_BYREF | VT_VARIANT)) {
        return v.pvarVal != nullptr ? FromVariant(host, *v.pvarVal) : QJSValue();
    }
    com::Variant value;
    if ((v.vt & VT_BYREF) != 0) {
        if (FAILED(VariantCopyInd(&value, &v))) {
            return QJSValue();
        }
    } else if (FAILED(VariantCopy(&value, &v))) {
        return QJSValue();
    }
    switch (value.vt) {
        case VT_NULL:
            return QJSValue(QJSValue::NullValue);
        case VT_I2:
            return QJSValue(static_cast<int>(value.iVal));
        case VT_I4:
        case VT_INT:
            return QJSValue(static_cast<int>(value.lVal));
        case VT_ERROR:
            return QJSValue(static_cast<int>(value.scode));
        case VT_R8:
            return QJSValue(value.dblVal);
        case VT_BOOL:
            return QJSValue(value.boolVal != VARIANT_FALSE);
        case VT_BSTR: {
            const std::u16string_view text = com::BstrView(value.bstrVal);
            return QJSValue(QString(reinterpret_cast<const QChar*>(text.data()),
                                    static_cast<qsizetype>(text.size())));
        }
        case VT_DISPATCH: {
            if (value.pdispVal == nullptr) {
                return QJSValue(QJSValue::NullValue);
            }
            com::ComPtr<IDispatch> object;
            *object.Receive() = value.pdispVal;  // the copy's reference moves over
            value.vt = VT_EMPTY;
            return host.Wrap(std::move(object));
        }
        default:
            return QJSValue();
    }
}
