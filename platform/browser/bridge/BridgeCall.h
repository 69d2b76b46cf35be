// What the object bridge does with the object runtime for a page: create an object
// and call its members by name, and describe a failure the way a script sees it.
//
// Thread: the UI thread (the apartment of the objects); the thread must have called
// CoInitialize. Members may run nested message loops (dialogs, message boxes).
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include "browser/bridge/BridgeRequest.h"
#include "com/Automation.h"

namespace browser {

// What a page's promise is rejected with: an Error with this message, whose `number`
// is the HRESULT (the EXCEPINFO scode, when the member gave one) and whose `source`
// names the object's class when the member said so.
struct BridgeError {
    QString message;
    qint32 number = 0;
    QString source;
};

// Creates the object a create request names (by ProgID, or by the class id of an
// <object classid>) as its IDispatch, in-process. An object that answers IObjectSafety
// must agree to be safe for untrusted callers on IDispatch, or it is released and
// refused. *invisible tells whether the class is registered as invisible at run time
// (OLEMISC_INVISIBLEATRUNTIME for its content aspect): its element shows nothing. On
// failure *error says why: "Automation server can't create object (<name>): <reason>".
bool CreateForPage(const BridgeRequest& request, com::ComPtr<IDispatch>* out, bool* invisible,
                   BridgeError* error);

struct CallOutcome {
    bool ok = false;
    QJsonValue value;      // see BridgeValue.h
    bool present = false;  // false: the page sees undefined
    BridgeError error;
    // The values of the arguments passed by reference after the call, by script position
    // ("0" = first), each in the form of a result ({"undefined": true} for nothing).
    QJsonObject references;
};

// GetIDsOfNames for member, then Invoke: a property read with DISPATCH_PROPERTYGET, a
// call with DISPATCH_METHOD | DISPATCH_PROPERTYGET (as script engines do), the
// arguments reversed. A failure of the member (DISP_E_EXCEPTION) carries the member's
// description; other failures read "<member>: <what the HRESULT means>", with
// "(argument N)" in script order when the runtime names the argument at fault. An
// argument {"ref": value} is passed by reference (VT_BYREF | VT_VARIANT) and its value
// after the call comes back in CallOutcome::references.
CallOutcome CallForPage(IDispatch* object, const QString& member, MemberAccess access,
                        const QJsonArray& args);

}  // namespace browser
