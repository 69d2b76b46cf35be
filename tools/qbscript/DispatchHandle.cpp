#include "DispatchHandle.h"

#include <memory>

#include "ScriptHost.h"
#include "ScriptValues.h"

namespace {

std::u16string Wide(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size()));
}

QString FromBstr(BSTR text) {
    const std::u16string_view view = com::BstrView(text);
    return QString(reinterpret_cast<const QChar*>(view.data()),
                   static_cast<qsizetype>(view.size()));
}

// A by-reference argument of the script: an object with a value of its own.
bool IsReference(const QJSValue& arg) {
    return arg.isObject() && !arg.isCallable() && arg.hasOwnProperty("value") &&
           arg.property("__qbscriptHandle").isUndefined();
}

}  // namespace

DispatchHandle::DispatchHandle(ScriptHost& host, com::ComPtr<IDispatch> object)
    : host_(host), object_(std::move(object)) {
    UINT count = 0;
    if (object_ && SUCCEEDED(object_->GetTypeInfoCount(&count)) && count > 0) {
        object_->GetTypeInfo(0, LOCALE_USER_DEFAULT, typeInfo_.Receive());
    }
}

DispatchHandle::~DispatchHandle() {
    host_.Forget(this);
}

void DispatchHandle::Drop() {
    typeInfo_.reset();
    object_.reset();
}

bool DispatchHandle::Find(const QString& name, Member& member) {
    if (!object_) {
        return false;
    }
    std::u16string wide = Wide(name);
    LPOLESTR names[] = {wide.data()};
    if (FAILED(object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member.id))) {
        return false;
    }
    TYPEATTR* attr = nullptr;
    if (!typeInfo_ || FAILED(typeInfo_->GetTypeAttr(&attr))) {
        return true;  // no type information: a method or a property, whichever answers
    }
    for (UINT i = 0; i < attr->cFuncs && !member.described; ++i) {
        const FUNCDESC* f = nullptr;
        if (FAILED(typeInfo_->GetFuncDesc(i, &f))) {
            continue;
        }
        if (f->memid == member.id) {
            member.described = true;
            member.invkind = f->invkind;
            for (std::size_t p = 0; p < f->ArgumentCount(); ++p) {
                member.byRef.push_back((f->params[p].type & VT_BYREF) != 0);
            }
        }
        typeInfo_->ReleaseFuncDesc(f);
    }
    typeInfo_->ReleaseTypeAttr(attr);
    return true;
}

QString DispatchHandle::kind(const QString& name) {
    Member member;
    if (!Find(name, member)) {
        return QString();
    }
    if (!member.described) {
        return "method";
    }
    return member.invkind == INVOKE_PROPERTYGET ? "get" : "method";
}

QJSValue DispatchHandle::get(const QString& name) {
    Member member;
    if (!Find(name, member)) {
        Throw("Object doesn't support this property or method: " + name);
        return QJSValue();
    }
    return Invoke(name, member, DISPATCH_PROPERTYGET, {});
}

QJSValue DispatchHandle::call(const QString& name, const QJSValue& args) {
    Member member;
    if (!Find(name, member)) {
        Throw("Object doesn't support this property or method: " + name);
        return QJSValue();
    }
    QJSValueList list;
    const int length = args.property("length").toInt();
    for (int i = 0; i < length; ++i) {
        list.append(args.property(static_cast<quint32>(i)));
    }
    const WORD flags =
        member.described ? WORD{DISPATCH_METHOD} : WORD{DISPATCH_METHOD | DISPATCH_PROPERTYGET};
    return Invoke(name, member, flags, list);
}

QString DispatchHandle::typeName() {
    com::Bstr name;
    if (typeInfo_ && SUCCEEDED(typeInfo_->GetDocumentation(MEMBERID_NIL, name.Receive(), nullptr,
                                                           nullptr, nullptr))) {
        return FromBstr(name.get());
    }
    return "Object";
}

QJSValue DispatchHandle::Invoke(const QString& name, const Member& member, WORD flags,
                                const QJSValueList& args) {
    const std::size_t n = static_cast<std::size_t>(args.size());
    // values[i] owns what argument i holds; rgvarg passes it, last argument first.
    auto values = std::make_unique<com::Variant[]>(n);
    std::vector<VARIANT> rgvarg(n);
    std::vector<bool> reference(n, false);
    for (std::size_t i = 0; i < n; ++i) {
        const QJSValue& arg = args[static_cast<int>(i)];
        reference[i] = IsReference(arg);
        if (!ToVariant(reference[i] ? arg.property("value") : arg, &values[i])) {
            Throw(name + ": not enough memory for the arguments");
            return QJSValue();
        }
        VARIANT& slot = rgvarg[n - 1 - i];
        if (reference[i] || (i < member.byRef.size() && member.byRef[i])) {
            VariantInit(&slot);
            slot.vt = VT_BYREF | VT_VARIANT;
            slot.pvarVal = &values[i];
        } else {
            slot = values[i];  // borrowed: values[i] keeps it
        }
    }
    DISPPARAMS params{rgvarg.data(), nullptr, static_cast<UINT>(n), 0};
    com::Variant result;
    EXCEPINFO excep{};
    UINT argErr = 0;
    if (!object_) {
        Throw(name + ": the object has been released");
        return QJSValue();
    }
    const HRESULT hr = object_->Invoke(member.id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                       &result, &excep, &argErr);
    if (FAILED(hr)) {
        QString message;
        if (hr == DISP_E_EXCEPTION && excep.bstrDescription != nullptr) {
            message = FromBstr(excep.bstrDescription);
        } else {
            message = name + ": " +
                      QString::fromStdString(
                          com::DescribeHResult(hr == DISP_E_EXCEPTION ? excep.scode : hr));
            if ((hr == DISP_E_TYPEMISMATCH || hr == DISP_E_OVERFLOW) && argErr < n) {
                message += QString(" (argument %1)").arg(n - argErr);
            }
        }
        com::ClearExcepInfo(&excep);
        Throw(message);
        return QJSValue();
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (reference[i]) {
            QJSValue arg = args[static_cast<int>(i)];
            arg.setProperty("value", FromVariant(host_, values[i]));
        }
    }
    return FromVariant(host_, result);
}

void DispatchHandle::Throw(const QString& message) {
    host_.engine().throwError(QJSValue::GenericError, message);
}
