// The checks on messages from page scripts: what passes, and why anything else does not.
#include <gtest/gtest.h>

#include "browser/bridge/BridgeRequest.h"
#include "browser/bridge/BridgeScripts.h"

namespace {

using browser::ParseRequest;

const std::string kDoc = "0123456789abcdef0123456789abcdef";

std::string Message(const std::string& fields) {
    return R"({"doc":")" + kDoc + R"(",)" + fields + "}";
}

TEST(BridgeRequestTest, WellFormedMessagesPass) {
    const auto attach = ParseRequest(QString::fromStdString(
        Message(R"("op":"attach","url":"file:///opt/q/Resources/main.htm","top":false)")));
    ASSERT_TRUE(attach.request) << attach.problem.toStdString();
    EXPECT_EQ(attach.request->op, browser::RequestOp::Attach);
    EXPECT_EQ(attach.request->url, "file:///opt/q/Resources/main.htm");
    EXPECT_FALSE(attach.request->top);
    EXPECT_EQ(attach.request->id, 0) << "no request number: no reply wanted";

    const auto create = ParseRequest(QString::fromStdString(
        Message(R"("op":"create","req":9007199254740991,"handle":2147483647,)"
                R"("progid":"QBStorage.IdentityCtr.1")")));
    ASSERT_TRUE(create.request) << create.problem.toStdString();
    EXPECT_EQ(create.request->id, 9007199254740991);
    EXPECT_EQ(create.request->handle, 2147483647);
    EXPECT_EQ(create.request->progId, "QBStorage.IdentityCtr.1");

    const auto invoke = ParseRequest(QString::fromStdString(
        Message(R"("op":"invoke","req":3,"handle":1,"member":"GetKeyInfo","kind":"call",)"
                R"("args":["Home",1,2.5,true,null,{"undefined":true}],"extra":"ignored")")));
    ASSERT_TRUE(invoke.request) << invoke.problem.toStdString();
    EXPECT_EQ(invoke.request->member, "GetKeyInfo");
    EXPECT_EQ(invoke.request->access, browser::MemberAccess::Call);
    EXPECT_EQ(invoke.request->args.size(), 6);
}

TEST(BridgeRequestTest, AnythingElseIsRefusedWithAReason) {
    struct Case {
        std::string message;
        const char* problem;
        bool answerable;  // names its document and request validly
    };
    const std::string longName(256, 'a');
    std::string manyArgs = "[";
    for (int i = 0; i < 33; ++i) {
        manyArgs += i > 0 ? ",1" : "1";
    }
    manyArgs += "]";
    const Case cases[] = {
        {"", "the message is not a JSON object", false},
        {"[1]", "the message is not a JSON object", false},
        {R"({"op":"detach","doc":"ABCDEF0123456789abcdef0123456789"})",
         "the message names no document", false},
        {R"({"op":"detach","doc":"abc"})", "the message names no document", false},
        {Message(R"("op":"detach","req":0)"), "the request number is not a whole number", false},
        {Message(R"("op":"detach","req":1.5)"), "the request number is not a whole number", false},
        {Message(R"("op":"detach","req":"1")"), "the request number is not a whole number", false},
        {Message(R"("op":"explode","req":1)"), "unknown operation", true},
        {Message(R"("op":"attach","req":1,"top":true)"),
         "attach needs a url of at most 8192 characters", true},
        {Message(R"("op":"attach","req":1,"url":"x","top":1)"), "attach needs top: true or false",
         true},
        {Message(R"("op":"create","req":1,"handle":1)"), "create needs either a progid or a clsid",
         true},
        {Message(R"("op":"create","req":1,"handle":1,"progid":"A.B","clsid":"x")"),
         "create needs either a progid or a clsid", true},
        {Message(R"("op":"create","req":1,"handle":1,"progid":"1abc")"),
         "the progid is not a ProgID", true},
        {Message(R"("op":"create","req":1,"handle":1,"progid":"A B")"),
         "the progid is not a ProgID", true},
        {Message(R"("op":"create","req":1,"handle":1,"progid":")" + longName + R"(")"),
         "the progid is not a ProgID", true},
        {Message(R"("op":"create","req":1,"handle":1,"clsid":"")"), "the clsid is not a class id",
         true},
        {Message(R"("op":"create","req":1,"handle":0,"progid":"A.B")"),
         "the object handle must be a whole number from 1 to 2147483647", true},
        {Message(R"("op":"create","req":1,"handle":2147483648,"progid":"A.B")"),
         "the object handle must be a whole number from 1 to 2147483647", true},
        {Message(R"("op":"release","handle":-1)"),
         "the object handle must be a whole number from 1 to 2147483647", false},
        {Message(
             R"("op":"invoke","req":1,"handle":1,"member":"Get-Value","kind":"call","args":[])"),
         "the member name is not a name", true},
        {Message(R"("op":"invoke","req":1,"handle":1,"member":")" + longName +
                 R"(","kind":"call","args":[])"),
         "the member name is not a name", true},
        {Message(R"("op":"invoke","req":1,"handle":1,"member":"A","kind":"put","args":[])"),
         "the kind of access must be get or call", true},
        {Message(R"("op":"invoke","req":1,"handle":1,"member":"A","kind":"call","args":{})"),
         "the arguments must be an array of at most 32", true},
        {Message(R"("op":"invoke","req":1,"handle":1,"member":"A","kind":"call","args":)" +
                 manyArgs),
         "the arguments must be an array of at most 32", true},
        {Message(R"("op":"invoke","req":1,"handle":1,"member":"A","kind":"call","args":[[1]])"),
         "argument 1 is not a string, number, boolean, null, undefined or a reference to one",
         true},
        {Message(R"("op":"invoke","req":1,"handle":1,"member":"A","kind":"call",)"
                 R"("args":["x",{"undefined":true,"more":1}])"),
         "argument 2 is not a string, number, boolean, null, undefined or a reference to one",
         true},
        {Message(R"("op":"invoke","req":1,"handle":1,"member":"A","kind":"call",)"
                 R"("args":[{"undefined":false}])"),
         "argument 1 is not a string, number, boolean, null, undefined or a reference to one",
         true},
        {Message(R"("op":"invoke","req":1,"handle":1,"member":"A","kind":"call",)"
                 R"("args":[1,{"ref":{"ref":1}}])"),
         "argument 2 is not a string, number, boolean, null, undefined or a reference to one",
         true},
        {Message(R"("op":"detach","pad":")" + std::string(1 << 20, 'x') + R"(")"),
         "the message is too long", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.substr(0, 200));
        const auto parsed = ParseRequest(QString::fromStdString(c.message));
        EXPECT_FALSE(parsed.request);
        EXPECT_EQ(parsed.problem.toStdString(), c.problem);
        EXPECT_EQ(!parsed.document.isEmpty() && parsed.id != 0, c.answerable);
    }
}

TEST(BridgeScriptsTest, PlaceholdersAreFilledInOnePassAsStringLiterals) {
    const QString filled =
        browser::FillScript(QStringLiteral("var a = %FOLDER%, b = %TOKEN%, c = %UNKNOWN%;"),
                            {{QStringLiteral("FOLDER"), QStringLiteral("/opt/%TOKEN%/\"q\"\\/")},
                             {QStringLiteral("TOKEN"), QStringLiteral("abc")}});
    EXPECT_EQ(filled.toStdString(),
              R"(var a = "/opt/%TOKEN%/\"q\"\\/", b = "abc", c = %UNKNOWN%;)");
}

}  // namespace
