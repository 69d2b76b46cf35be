#include "ScriptHost.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <cstdio>

#include "DispatchHandle.h"
#include "com/Runtime.h"

namespace {

// Sets up the script's globals; returns the function that wraps a handle in a proxy.
constexpr const char* kPrelude = R"JS(
(function (global, host, args, scriptName, scriptFullName) {
    "use strict";
    var quitMarker = "__qbscriptQuit";
    function unsupported(name) {
        return new TypeError("Object doesn't support this property or method: " + String(name));
    }
    // What a name the object does not have gives: calling it or using its value fails
    // with the message a script host gives. (Throwing from the proxy itself would do
    // for a read, but the engine garbles the message when the read is part of a call.)
    function missing(name) {
        var fail = function () { throw unsupported(name); };
        fail.toString = fail;
        fail.valueOf = fail;
        return fail;
    }
    function makeProxy(handle) {
        return new Proxy({}, {
            get: function (target, name) {
                if (name === "__qbscriptHandle")
                    return handle;
                if (typeof name !== "string")
                    return undefined;
                var kind = handle.kind(name);
                if (kind === "get")
                    return handle.get(name);
                if (kind === "method")
                    return function () {
                        return handle.call(name, Array.prototype.slice.call(arguments));
                    };
                if (name === "toString" || name === "valueOf")
                    return function () { return "[object " + handle.typeName() + "]"; };
                if (name === "then" || name === "toJSON")
                    return undefined;
                return missing(name);
            },
            set: function (target, name) { throw unsupported(name); },
            has: function (target, name) {
                return typeof name === "string" && handle.kind(name) !== "";
            }
        });
    }
    function text(value) { return String(value); }
    var scriptArguments = function (i) {
        if (i < 0 || i >= args.length)
            throw new RangeError("Subscript out of range: " + i);
        return args[i];
    };
    scriptArguments.Item = scriptArguments;
    scriptArguments.Count = function () { return args.length; };
    Object.defineProperty(scriptArguments, "length", { value: args.length });
    global.ActiveXObject = function ActiveXObject(progId) {
        return makeProxy(host.create(String(progId)));
    };
    global.WScript = {
        Echo: function () {
            host.echo(Array.prototype.map.call(arguments, text).join(" "));
        },
        Arguments: scriptArguments,
        ScriptName: scriptName,
        ScriptFullName: scriptFullName,
        Quit: function (code) {
            var marker = {};
            marker[quitMarker] = code === undefined ? 0 : (Number(code) | 0);
            throw marker;
        },
        Ref: function (value) { return { value: value }; },
        ReadFile: function (path) { return host.readFile(String(path)); },
        StdErr: { WriteLine: function (line) { host.echoError(text(line)); } }
    };
    return makeProxy;
})
)JS";

void WriteLine(std::FILE* stream, const QString& line) {
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

}  // namespace

ScriptHost::ScriptHost(QString scriptPath, QStringList arguments)
    : scriptPath_(std::move(scriptPath)), arguments_(std::move(arguments)) {
    QJSEngine::setObjectOwnership(this, QJSEngine::CppOwnership);
    QJSValue args = engine_.newArray(static_cast<uint>(arguments_.size()));
    for (int i = 0; i < arguments_.size(); ++i) {
        args.setProperty(static_cast<quint32>(i), arguments_[i]);
    }
    const QFileInfo info(scriptPath_);
    const QJSValue setUp = engine_.evaluate(QString::fromUtf8(kPrelude), "qbscript-prelude");
    makeProxy_ = setUp.call({engine_.globalObject(), engine_.newQObject(this), args,
                             info.fileName(), info.absoluteFilePath()});
    if (!makeProxy_.isCallable()) {
        // The prelude is ours: failing here is a fault of this program, said plainly.
        WriteLine(stderr, "qbscript: the script host does not start: " +
                              (setUp.isError() ? setUp.toString() : makeProxy_.toString()));
    }
}

ScriptHost::~ScriptHost() {
    // Every object goes back to its server while the runtime is still there.
    makeProxy_ = QJSValue();
    engine_.collectGarbage();
    for (DispatchHandle* handle : handles_) {
        handle->Drop();
    }
}

QJSValue ScriptHost::Wrap(com::ComPtr<IDispatch> object) {
    auto* handle = new DispatchHandle(*this, std::move(object));
    handles_.insert(handle);
    return makeProxy_.call({engine_.newQObject(handle)});
}

QJSValue ScriptHost::create(const QString& progId) {
    std::u16string id(reinterpret_cast<const char16_t*>(progId.utf16()),
                      static_cast<std::size_t>(progId.size()));
    CLSID clsid{};
    HRESULT hr = S_OK;
    if (progId.startsWith("clsid:", Qt::CaseInsensitive)) {
        // "clsid:2A706EC0-..." as in an <object> tag; braces around the id are taken too.
        std::u16string braced = id.substr(6);
        if (braced.empty() || braced.front() != u'{') {
            braced = u"{" + braced + u"}";
        }
        hr = CLSIDFromString(braced.c_str(), &clsid);
    } else {
        hr = CLSIDFromProgID(id.c_str(), &clsid);
    }
    com::ComPtr<IDispatch> object;
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, object.ReceiveVoid());
    }
    if (FAILED(hr)) {
        engine_.throwError(QJSValue::GenericError,
                           QString("Automation server can't create object %1: %2")
                               .arg(progId, QString::fromStdString(com::DescribeHResult(hr))));
        return QJSValue();
    }
    auto* handle = new DispatchHandle(*this, std::move(object));
    handles_.insert(handle);
    return engine_.newQObject(handle);
}

void ScriptHost::echo(const QString& line) {
    WriteLine(stdout, line);
}

void ScriptHost::echoError(const QString& line) {
    WriteLine(stderr, line);
}

QJSValue ScriptHost::readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        engine_.throwError(QJSValue::GenericError,
                           QString("Cannot read %1: %2").arg(path, file.errorString()));
        return QJSValue();
    }
    return QJSValue(QString::fromUtf8(file.readAll()));
}

int ScriptHost::Run() {
    QFile file(scriptPath_);
    if (!file.open(QIODevice::ReadOnly)) {
        WriteLine(stderr,
                  QString("qbscript: cannot read %1: %2").arg(scriptPath_, file.errorString()));
        return 1;
    }
    const QString source = QString::fromUtf8(file.readAll());
    QStringList stack;
    const QJSValue result = engine_.evaluate(source, scriptPath_, 1, &stack);
    if (result.isError() || !stack.isEmpty()) {
        return Report(result, stack);
    }
    return 0;
}

int ScriptHost::Report(const QJSValue& thrown, const QStringList& stack) {
    if (thrown.isObject() && thrown.hasOwnProperty("__qbscriptQuit")) {
        return thrown.property("__qbscriptQuit").toInt();
    }
    QString message = thrown.isError() ? thrown.property("message").toString() : thrown.toString();
    // The line of the script where it happened: the innermost frame in the script
    // itself (an error raised inside the host's own code names the script's call).
    // A frame reads "function:line:column:url".
    QString line;
    for (const QString& frame : stack) {
        const QStringList parts = frame.split(':');
        if (parts.size() >= 4 && QUrl(parts.mid(3).join(':')).toLocalFile() == scriptPath_) {
            line = parts[1];
            break;
        }
    }
    if (line.isEmpty() && thrown.property("lineNumber").isNumber()) {
        line = QString::number(thrown.property("lineNumber").toInt());
    }
    const QString where = scriptPath_ + (line.isEmpty() ? QString() : ":" + line);
    WriteLine(stderr, where + ": " + message);
    return 1;
}
