// ScriptHost: runs one script file in a QJSEngine with what a Windows script host
// gives a script, as far as our objects need it:
//
//   new ActiveXObject("QBStorage.Passcards")     an object by ProgID ...
//   new ActiveXObject("clsid:E0E762DF-...")      ... or by class id, through the
//                                                registry, as its proxy (DispatchHandle)
//   WScript.Echo(a, b, ...)                      one line on stdout, arguments joined
//                                                by blanks
//   WScript.Arguments(i), .Item(i), .Count(), .length   the script's arguments
//   WScript.ScriptName, WScript.ScriptFullName
//   WScript.Quit(code)                           ends the script with that exit status
//   WScript.Ref(value)                           {value: value}: an argument passed by
//                                                reference (out parameters)
//   WScript.ReadFile(path)                       a UTF-8 text file's content
//   WScript.StdErr.WriteLine(text)               one line on stderr
//
// Run returns the exit status: 0 when the script ends normally, the code of
// WScript.Quit, or 1 after an error nobody caught, whose message is printed on stderr
// as "<script>:<line>: <message>".
//
// Ownership: the host owns the engine and every object proxy; objects are released
// when the host is destroyed at the latest. Thread: the thread that made it, which must
// have called CoInitialize.
#pragma once

#include <QJSEngine>
#include <QObject>
#include <QStringList>
#include <set>

#include "com/Automation.h"

class DispatchHandle;

class ScriptHost : public QObject {
    Q_OBJECT
  public:
    // arguments: what WScript.Arguments holds; scriptPath: the file Run will run.
    ScriptHost(QString scriptPath, QStringList arguments);
    ~ScriptHost() override;

    int Run();

    // A proxy for object (for results of type VT_DISPATCH).
    QJSValue Wrap(com::ComPtr<IDispatch> object);
    QJSEngine& engine() { return engine_; }

    // Used by the proxies' handles.
    void Forget(DispatchHandle* handle) { handles_.erase(handle); }

    // Called from the script's prelude.
    Q_INVOKABLE QJSValue create(const QString& progId);
    Q_INVOKABLE void echo(const QString& line);
    Q_INVOKABLE void echoError(const QString& line);
    Q_INVOKABLE QJSValue readFile(const QString& path);

  private:
    int Report(const QJSValue& thrown, const QStringList& stack);

    QString scriptPath_;
    QStringList arguments_;
    std::set<DispatchHandle*> handles_;  // live proxies' handles (declared before the engine)
    QJSEngine engine_;
    QJSValue makeProxy_;
};
