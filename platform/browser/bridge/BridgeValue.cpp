#include "browser/bridge/BridgeValue.h"

#include <QJsonObject>
#include <cmath>

namespace browser {
namespace {

QJsonValue NumberToJson(double d) {
    if (std::isfinite(d)) {
        return d;
    }
    const char* name = std::isnan(d) ? "NaN" : d > 0 ? "Infinity" : "-Infinity";
    return QJsonObject{{QLatin1String("number"), QLatin1String(name)}};
}

}  // namespace

bool ReferenceInner(const QJsonValue& arg, QJsonValue* inner) {
    if (!arg.isObject() || !arg.toObject().contains(QLatin1String("ref"))) {
        return false;
    }
    *inner = arg.toObject().value(QLatin1String("ref"));
    return true;
}

QString FromBstr(BSTR bstr) {
    const std::u16string_view text = com::BstrView(bstr);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

HRESULT ArgumentToVariant(const QJsonValue& value, VARIANT* out) {
    VariantInit(out);
    switch (value.type()) {
        case QJsonValue::String: {
            const QString text = value.toString();
            out->bstrVal =
                com::AllocBstr(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                   static_cast<std::size_t>(text.size())));
            if (out->bstrVal == nullptr) {
                return E_OUTOFMEMORY;
            }
            out->vt = VT_BSTR;
            return S_OK;
        }
        case QJsonValue::Bool:
            out->vt = VT_BOOL;
            out->boolVal = value.toBool() ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        case QJsonValue::Null:
            out->vt = VT_NULL;
            return S_OK;
        case QJsonValue::Double:
            VariantFromNumber(out, value.toDouble());
            return S_OK;
        case QJsonValue::Object:
            if (value.toObject() == QJsonObject{{QLatin1String("undefined"), true}}) {
                return S_OK;  // VT_EMPTY
            }
            return DISP_E_TYPEMISMATCH;
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

QString ResultToJson(const VARIANT& value, QJsonValue* out, bool* present) {
    *out = QJsonValue();
    *present = true;
    if (value.vt & VT_BYREF) {
        com::Variant copy;
        const HRESULT hr = VariantCopyInd(&copy, &value);
        if (FAILED(hr) || (copy.vt & VT_BYREF)) {
            return QStringLiteral("returns a value of a type the bridge does not pass");
        }
        return ResultToJson(copy, out, present);
    }
    switch (value.vt) {
        case VT_EMPTY:
        case VT_ERROR:
            *present = false;
            return {};
        case VT_NULL:
            *out = QJsonValue(QJsonValue::Null);
            return {};
        case VT_I2:
            *out = value.iVal;
            return {};
        case VT_I4:
            *out = static_cast<qint64>(value.lVal);
            return {};
        case VT_INT:
            *out = value.intVal;
            return {};
        case VT_R8:
            *out = NumberToJson(value.dblVal);
            return {};
        case VT_BOOL:
            *out = value.boolVal != VARIANT_FALSE;
            return {};
        case VT_BSTR:
            *out = FromBstr(value.bstrVal);
            return {};
        case VT_DISPATCH:
        case VT_UNKNOWN:
            return QStringLiteral("returns an object, which the bridge does not pass to pages");
        default: {
            com::Variant text;
            if (SUCCEEDED(VariantChangeType(&text, &value, 0, VT_BSTR))) {
                *out = FromBstr(text.bstrVal);
                return {};
            }
            return QStringLiteral("returns a value of a type the bridge does not pass");
        }
    }
}

}  // namespace browser
