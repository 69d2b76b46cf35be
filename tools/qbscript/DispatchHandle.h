// DispatchHandle: one object of the object runtime as a script sees it, behind the
// JavaScript proxy that ActiveXObject returns (see ScriptHost.cpp for the proxy).
//
// Every member access goes through the object's IDispatch: GetIDsOfNames finds the
// member by name (ignoring case), its type information says whether it is a property
// (read without parentheses) or a method (called with them), and Invoke calls it. An
// argument given as {value: x} (WScript.Ref(x)) is passed by reference and receives
// what the member writes back; a plain value passed where the member declares a
// reference is passed through a temporary. A failed call throws a JavaScript Error
// whose message is the member's error description.
//
// Ownership: holds one reference to the object until it is destroyed (by the
// engine's garbage collector) or Drop() is called (the host shutting down).
// Thread: the script's thread, which is the objects' apartment.
#pragma once

#include <QJSValue>
#include <QObject>
#include <QString>
#include <vector>

#include "com/Automation.h"
#include "com/TypeInfo.h"

class ScriptHost;

class DispatchHandle : public QObject {
    Q_OBJECT
  public:
    DispatchHandle(ScriptHost& host, com::ComPtr<IDispatch> object);
    ~DispatchHandle() override;

    IDispatch* object() const { return object_.get(); }
    // Releases the object; later calls fail.
    void Drop();

    // "get" for a property, "method" for a method, "" when the object has no such member.
    Q_INVOKABLE QString kind(const QString& name);
    Q_INVOKABLE QJSValue get(const QString& name);
    Q_INVOKABLE QJSValue call(const QString& name, const QJSValue& args);
    // The name of the object's interface, or "Object".
    Q_INVOKABLE QString typeName();

  private:
    struct Member {
        DISPID id = DISPID_UNKNOWN;
        INVOKEKIND invkind = INVOKE_FUNC;
        bool described = false;   // the type information knows it
        std::vector<bool> byRef;  // per argument a script passes
    };
    bool Find(const QString& name, Member& member);
    QJSValue Invoke(const QString& name, const Member& member, WORD flags,
                    const QJSValueList& args);
    void Throw(const QString& message);

    ScriptHost& host_;
    com::ComPtr<IDispatch> object_;
    com::ComPtr<ITypeInfo> typeInfo_;
};
