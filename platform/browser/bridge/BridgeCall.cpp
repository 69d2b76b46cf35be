#include "browser/bridge/BridgeCall.h"

#include <QJsonObject>
#include <vector>

#include "browser/bridge/BridgeValue.h"
#include "com/OleControl.h"
#include "com/Runtime.h"

namespace browser {
namespace {

QString Describe(HRESULT hr) {
    return QString::fromStdString(com::DescribeHResult(hr));
}

BridgeError Failure(const QString& message, HRESULT hr) {
    return BridgeError{message, static_cast<qint32>(hr), QString()};
}

// The class a create request names; CO_E_CLASSSTRING when the text names none.
HRESULT ClassOf(const BridgeRequest& request, CLSID* clsid) {
    if (!request.progId.isEmpty()) {
        return CLSIDFromProgID(request.progId.toStdU16String().c_str(), clsid);
    }
    QString text = request.classId.trimmed();
    if (!text.startsWith(u'{')) {
        text = u'{' + text + u'}';
    }
    return com::ParseGuid(text.toStdString(), clsid) ? S_OK : CO_E_CLASSSTRING;
}

// True when the object lets untrusted callers script it, or does not say.
bool SafeForScripting(IDispatch* object) {
    com::ComPtr<IObjectSafety> safety;
    if (FAILED(object->QueryInterface(IID_IObjectSafety, safety.ReceiveVoid()))) {
        return true;
    }
    DWORD supported = 0;
    DWORD enabled = 0;
    return SUCCEEDED(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled)) &&
           (supported & INTERFACESAFE_FOR_UNTRUSTED_CALLER) != 0 &&
           SUCCEEDED(safety->SetInterfaceSafetyOptions(IID_IDispatch,
                                                       INTERFACESAFE_FOR_UNTRUSTED_CALLER,
                                                       INTERFACESAFE_FOR_UNTRUSTED_CALLER));
}

// Arguments in Invoke's order (reversed), cleared on every path. An argument passed
// by reference is a VT_BYREF | VT_VARIANT slot pointing at a holder of its own, which
// the member may change.
class ArgumentFrame {
  public:
    explicit ArgumentFrame(qsizetype count)
        : values_(static_cast<std::size_t>(count)), holders_(static_cast<std::size_t>(count)) {
        for (std::size_t i = 0; i < values_.size(); ++i) {
            VariantInit(&values_[i]);
            VariantInit(&holders_[i]);
        }
    }
    ~ArgumentFrame() {
        for (std::size_t i = 0; i < values_.size(); ++i) {
            VariantClear(&values_[i]);
            VariantClear(&holders_[i]);
        }
    }
    ArgumentFrame(const ArgumentFrame&) = delete;
    ArgumentFrame& operator=(const ArgumentFrame&) = delete;

    // The argument at script position i (0 = first).
    VARIANT* At(qsizetype i) { return &values_[Slot(i)]; }
    // Makes the argument at script position i a reference; returns its holder.
    VARIANT* ReferenceAt(qsizetype i) {
        VARIANT* slot = At(i);
        slot->vt = VT_BYREF | VT_VARIANT;
        slot->pvarVal = &holders_[Slot(i)];
        return slot->pvarVal;
    }
    const VARIANT& Holder(qsizetype i) const { return holders_[Slot(i)]; }
    DISPPARAMS Params() {
        return DISPPARAMS{values_.data(), nullptr, static_cast<UINT>(values_.size()), 0};
    }

  private:
    std::size_t Slot(qsizetype i) const { return values_.size() - 1 - static_cast<std::size_t>(i); }

    std::vector<VARIANT> values_;
    std::vector<VARIANT> holders_;  // by the same slot; VT_EMPTY unless a reference
};

BridgeError InvokeFailure(const QString& member, HRESULT hr, EXCEPINFO& excep, UINT argErr,
                          UINT argCount) {
    if (hr == DISP_E_EXCEPTION) {
        if (excep.pfnDeferredFillIn != nullptr) {
            excep.pfnDeferredFillIn(&excep);
        }
        const HRESULT code = excep.scode != 0 ? excep.scode : hr;
        BridgeError error{FromBstr(excep.bstrDescription), static_cast<qint32>(code),
                          FromBstr(excep.bstrSource)};
        if (error.message.isEmpty()) {
            error.message = member + QLatin1String(": ") + Describe(code);
        }
        com::ClearExcepInfo(&excep);
        return error;
    }
    QString message = member + QLatin1String(": ") + Describe(hr);
    if ((hr == DISP_E_TYPEMISMATCH || hr == DISP_E_OVERFLOW || hr == DISP_E_PARAMNOTFOUND) &&
        argErr < argCount) {
        message += QStringLiteral(" (argument %1)").arg(argCount - argErr);
    }
    return Failure(message, hr);
}

}  // namespace

bool CreateForPage(const BridgeRequest& request, com::ComPtr<IDispatch>* out, bool* invisible,
                   BridgeError* error) {
    *invisible = false;
    const QString name =
        !request.progId.isEmpty() ? request.progId : QLatin1String("clsid:") + request.classId;
    const QString prefix = QStringLiteral("Automation server can't create object (%1): ").arg(name);
    CLSID clsid{};
    HRESULT hr = ClassOf(request, &clsid);
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              out->ReceiveVoid());
    }
    if (FAILED(hr)) {
        *error = Failure(prefix + Describe(hr), hr);
        return false;
    }
    if (!SafeForScripting(out->get())) {
        out->reset();
        *error = Failure(prefix + QLatin1String("the object is not safe for scripting."),
                         E_ACCESSDENIED);
        return false;
    }
    DWORD status = 0;
    *invisible = SUCCEEDED(OleRegGetMiscStatus(clsid, DVASPECT_CONTENT, &status)) &&
                 (status & OLEMISC_INVISIBLEATRUNTIME) != 0;
    return true;
}

CallOutcome CallForPage(IDispatch* object, const QString& member, MemberAccess access,
                        const QJsonArray& args) {
    CallOutcome outcome;
    std::u16string name = member.toStdU16String();
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        outcome.error = Failure(member + QLatin1String(": ") + Describe(hr), hr);
        return outcome;
    }
    ArgumentFrame frame(args.size());
    for (qsizetype i = 0; i < args.size(); ++i) {
        QJsonValue inner;
        hr = ReferenceInner(args[i], &inner) ? ArgumentToVariant(inner, frame.ReferenceAt(i))
                                             : ArgumentToVariant(args[i], frame.At(i));
        if (FAILED(hr)) {
            outcome.error = Failure(member + QLatin1String(": ") + Describe(hr) +
                                        QStringLiteral(" (argument %1)").arg(i + 1),
                                    hr);
            return outcome;
        }
    }
    DISPPARAMS params = frame.Params();
    com::Variant result;
    EXCEPINFO excep{};
    UINT argErr = 0;
    const WORD flags = access == MemberAccess::Get
                           ? DISPATCH_PROPERTYGET
                           : static_cast<WORD>(DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    hr =
        object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, &excep, &argErr);
    if (FAILED(hr)) {
        outcome.error = InvokeFailure(member, hr, excep, argErr, params.cArgs);
        return outcome;
    }
    const QString problem = ResultToJson(result, &outcome.value, &outcome.present);
    if (!problem.isEmpty()) {
        outcome.error = Failure(member + QLatin1String(": ") + problem, DISP_E_TYPEMISMATCH);
        return outcome;
    }
    for (qsizetype i = 0; i < args.size(); ++i) {
        QJsonValue inner;
        if (!ReferenceInner(args[i], &inner)) {
            continue;
        }
        QJsonValue changed;
        bool present = false;
        const QString refProblem = ResultToJson(frame.Holder(i), &changed, &present);
        if (!refProblem.isEmpty()) {
            outcome.error = Failure(member + QStringLiteral(": argument %1 holds ").arg(i + 1) +
                                        refProblem.mid(refProblem.indexOf(u' ') + 1),
                                    DISP_E_TYPEMISMATCH);
            return outcome;
        }
        outcome.references.insert(
            QString::number(i),
            present ? changed : QJsonValue(QJsonObject{{QLatin1String("undefined"), true}}));
    }
    outcome.ok = true;
    return outcome;
}

}  // namespace browser
