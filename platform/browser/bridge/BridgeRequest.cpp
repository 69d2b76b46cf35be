#include "browser/bridge/BridgeRequest.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace browser {
namespace {

constexpr double kMaxRequestId = 9007199254740991.0;  // 2^53 - 1
constexpr double kMaxHandle = 2147483647.0;
constexpr qsizetype kMaxUrlLength = 8192;
constexpr qsizetype kMaxNameLength = 255;
constexpr qsizetype kMaxClassIdLength = 40;

bool IsAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool IsMemberName(const QString& name) {
    if (name.isEmpty() || name.size() > kMaxNameLength ||
        !(IsAsciiLetter(name[0]) || name[0] == u'_')) {
        return false;
    }
    for (const QChar c : name) {
        if (!IsAsciiLetter(c) && !IsDigit(c) && c != u'_') {
            return false;
        }
    }
    return true;
}

bool IsProgId(const QString& name) {
    if (name.isEmpty() || name.size() > kMaxNameLength || !IsAsciiLetter(name[0])) {
        return false;
    }
    for (const QChar c : name) {
        if (!IsAsciiLetter(c) && !IsDigit(c) && c != u'.' && c != u'_' && c != u'-') {
            return false;
        }
    }
    return true;
}

// A whole number in [1, max]; JSON numbers are doubles.
bool WholeNumber(const QJsonValue& value, double max, double* out) {
    if (!value.isDouble()) {
        return false;
    }
    const double d = value.toDouble();
    if (!(d >= 1 && d <= max) || std::floor(d) != d) {
        return false;
    }
    *out = d;
    return true;
}

bool IsPlainArgument(const QJsonValue& value) {
    if (value.isString() || value.isDouble() || value.isBool() || value.isNull()) {
        return true;
    }
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        return object.size() == 1 && object.value(QLatin1String("undefined")) == QJsonValue(true);
    }
    return false;
}

// A plain argument, or {"ref": plain} for one passed by reference.
bool IsArgument(const QJsonValue& value) {
    if (IsPlainArgument(value)) {
        return true;
    }
    const QJsonObject object = value.toObject();
    return object.size() == 1 && object.contains(QLatin1String("ref")) &&
           IsPlainArgument(object.value(QLatin1String("ref")));
}

struct Fields {
    const QJsonObject& o;
    QJsonValue operator[](const char* name) const { return o.value(QLatin1String(name)); }
};

// The checks of each operation's own fields; "" when they pass.
QString CheckAttach(Fields f, BridgeRequest& r) {
    if (!f["url"].isString() || f["url"].toString().size() > kMaxUrlLength) {
        return QStringLiteral("attach needs a url of at most 8192 characters");
    }
    if (!f["top"].isBool()) {
        return QStringLiteral("attach needs top: true or false");
    }
    r.url = f["url"].toString();
    r.top = f["top"].toBool();
    return {};
}

QString CheckHandle(Fields f, BridgeRequest& r) {
    double handle = 0;
    if (!WholeNumber(f["handle"], kMaxHandle, &handle)) {
        return QStringLiteral("the object handle must be a whole number from 1 to 2147483647");
    }
    r.handle = static_cast<int>(handle);
    return {};
}

QString CheckCreate(Fields f, BridgeRequest& r) {
    const bool byProgId = f["progid"].isString();
    const bool byClassId = f["clsid"].isString();
    if (byProgId == byClassId) {
        return QStringLiteral("create needs either a progid or a clsid");
    }
    if (byProgId) {
        r.progId = f["progid"].toString();
        if (!IsProgId(r.progId)) {
            return QStringLiteral("the progid is not a ProgID");
        }
    } else {
        r.classId = f["clsid"].toString();
        if (r.classId.isEmpty() || r.classId.size() > kMaxClassIdLength) {
            return QStringLiteral("the clsid is not a class id");
        }
    }
    return CheckHandle(f, r);
}

QString CheckInvoke(Fields f, BridgeRequest& r) {
    if (!f["member"].isString() || !IsMemberName(f["member"].toString())) {
        return QStringLiteral("the member name is not a name");
    }
    r.member = f["member"].toString();
    const QString kind = f["kind"].toString();
    if (kind == QLatin1String("get")) {
        r.access = MemberAccess::Get;
    } else if (kind == QLatin1String("call")) {
        r.access = MemberAccess::Call;
    } else {
        return QStringLiteral("the kind of access must be get or call");
    }
    if (!f["args"].isArray() || f["args"].toArray().size() > kMaxArguments) {
        return QStringLiteral("the arguments must be an array of at most 32");
    }
    r.args = f["args"].toArray();
    for (qsizetype i = 0; i < r.args.size(); ++i) {
        if (!IsArgument(r.args[i])) {
            return QStringLiteral(
                       "argument %1 is not a string, number, boolean, null, undefined or a "
                       "reference to one")
                .arg(i + 1);
        }
    }
    return CheckHandle(f, r);
}

}  // namespace

bool IsDocumentId(const QString& text) {
    if (text.size() != 32) {
        return false;
    }
    for (const QChar c : text) {
        if (!IsDigit(c) && !(c >= u'a' && c <= u'f')) {
            return false;
        }
    }
    return true;
}

ParsedRequest ParseRequest(const QString& message) {
    ParsedRequest parsed;
    if (message.size() > kMaxMessageLength) {
        parsed.problem = QStringLiteral("the message is too long");
        return parsed;
    }
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(message.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !json.isObject()) {
        parsed.problem = QStringLiteral("the message is not a JSON object");
        return parsed;
    }
    const QJsonObject object = json.object();
    const Fields f{object};
    BridgeRequest r;
    if (!f["doc"].isString() || !IsDocumentId(f["doc"].toString())) {
        parsed.problem = QStringLiteral("the message names no document");
        return parsed;
    }
    r.document = f["doc"].toString();
    parsed.document = r.document;
    if (!f["req"].isUndefined()) {
        double id = 0;
        if (!WholeNumber(f["req"], kMaxRequestId, &id)) {
            parsed.problem = QStringLiteral("the request number is not a whole number");
            return parsed;
        }
        r.id = static_cast<qint64>(id);
        parsed.id = r.id;
    }

    const QString op = f["op"].toString();
    QString problem;
    if (op == QLatin1String("attach")) {
        r.op = RequestOp::Attach;
        problem = CheckAttach(f, r);
    } else if (op == QLatin1String("detach")) {
        r.op = RequestOp::Detach;
    } else if (op == QLatin1String("create")) {
        r.op = RequestOp::Create;
        problem = CheckCreate(f, r);
    } else if (op == QLatin1String("invoke")) {
        r.op = RequestOp::Invoke;
        problem = CheckInvoke(f, r);
    } else if (op == QLatin1String("release")) {
        r.op = RequestOp::Release;
        problem = CheckHandle(f, r);
    } else {
        problem = QStringLiteral("unknown operation");
    }
    if (!problem.isEmpty()) {
        parsed.problem = problem;
        return parsed;
    }
    parsed.request = std::move(r);
    return parsed;
}

}  // namespace browser
