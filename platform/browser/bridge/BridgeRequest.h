// The messages the page scripts send to the object bridge, and their checks.
//
// Every message is one JSON object in a string; whatever comes from a page is
// untrusted, so ParseRequest accepts only what the table below allows and says why it
// refuses anything else. Fields:
//
//   op      "attach" | "detach" | "create" | "invoke" | "release"
//   doc     the sending document's id: 32 lower-case hex digits          (all)
//   req     the page's request number, 1 .. 2^53-1; replies carry it    (create, invoke;
//           optional: without it no reply is sent)
//   url     the document's URL, at most 8192 characters                 (attach)
//   top     true for the top document, false for a frame                (attach)
//   handle  the page's number for an object, 1 .. 2^31-1                (create, invoke,
//                                                                        release)
//   progid  a ProgID: a letter, then letters, digits, '.', '_', '-'; at most 255
//   clsid   the text after "clsid:" of an <object classid>: a class id with or without
//           braces                                                      (create: one of
//                                                                        progid, clsid)
//   member  a member name: a letter or '_', then letters, digits, '_'; at most 255
//   kind    "get" (property read) | "call" (method call)                (invoke)
//   args    array of at most 32 arguments in script order, each a string, a number, a
//           boolean, null, or {"undefined": true}                       (invoke)
//
// Messages are at most kMaxMessageLength characters. Unknown fields are ignored.
// Thread: any.
#pragma once

#include <QJsonArray>
#include <QString>
#include <optional>

namespace browser {

enum class RequestOp { Attach, Detach, Create, Invoke, Release };
enum class MemberAccess { Get, Call };

struct BridgeRequest {
    RequestOp op = RequestOp::Attach;
    QString document;
    qint64 id = 0;  // 0: no reply wanted
    QString url;
    bool top = false;
    int handle = 0;
    QString progId;   // create: exactly one of progId and classId is set
    QString classId;  // as the page wrote it (braces optional)
    QString member;
    MemberAccess access = MemberAccess::Call;
    QJsonArray args;
};

struct ParsedRequest {
    std::optional<BridgeRequest> request;
    // When the message is refused: why. In every case: where an answer can be sent (the
    // document and request number when the message names them validly; else empty
    // and 0).
    QString problem;
    QString document;
    qint64 id = 0;
};

constexpr qsizetype kMaxMessageLength = 1 << 20;
constexpr qsizetype kMaxArguments = 32;

ParsedRequest ParseRequest(const QString& message);

// True for a well-formed document id (32 lower-case hex digits).
bool IsDocumentId(const QString& text);

}  // namespace browser
