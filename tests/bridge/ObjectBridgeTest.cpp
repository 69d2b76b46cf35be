// The object bridge's C++ end, driven with the messages the page scripts send: which
// documents may create objects, what calls give and how they fail, when objects are
// released, and calls that arrive while a member runs a nested loop.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>

#include "BridgeFixture.h"
#include "browser/bridge/ObjectBridge.h"
#include "com/Runtime.h"

namespace {

using browser::ObjectBridge;

const QString kToken = QStringLiteral("0123456789abcdef0123456789abcdef");
const QString kTop = QString(32, u'a');
const QString kFrame = QString(32, u'b');
const QString kOtherTop = QString(32, u'c');
const QString kProbeClsid = QStringLiteral("B41D0E00-5A1E-4C3B-9D2A-7E0B5F10A001");

constexpr qint32 kAccessDenied = static_cast<qint32>(0x80070005);

QJsonObject Parse(const QString& text) {
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

class ObjectBridgeTest : public qbtest::BridgeTest {
  protected:
    void SetUp() override {
        BridgeTest::SetUp();
        Put(ResourcesFolder() + "main.htm", "<p>main</p>");
        Put(ResourcesFolder() + "frame.htm", "<p>frame</p>");
        Put(Path("Elsewhere/page.htm"), "<p>elsewhere</p>");
        bridge_ = std::make_unique<ObjectBridge>(kToken, browser::PageFolder(ResourcesFolder()));
        QObject::connect(bridge_.get(), &ObjectBridge::reply,
                         [this](const QString& text) { replies_.push_back(Parse(text)); });
    }
    void TearDown() override {
        bridge_.reset();
        BridgeTest::TearDown();
    }

    QString Inside(const char* name) const {
        return QString::fromStdString(FileUrl(ResourcesFolder() + name));
    }
    QString Outside() const { return QString::fromStdString(FileUrl(Path("Elsewhere/page.htm"))); }

    void Send(QJsonObject message) {
        bridge_->post(kToken, QString::fromUtf8(QJsonDocument(message).toJson()));
    }
    void Attach(const QString& doc, const QString& url, bool top) {
        Send({{"op", "attach"}, {"doc", doc}, {"url", url}, {"top", top}});
    }
    // The reply to a request, or an empty object when there was none.
    QJsonObject Ask(QJsonObject message) {
        message.insert("req", ++request_);
        const std::size_t before = replies_.size();
        Send(message);
        for (std::size_t i = before; i < replies_.size(); ++i) {
            if (replies_[i].value("req").toInteger() == request_) {
                return replies_[i];
            }
        }
        return {};
    }
    QJsonObject Create(const QString& doc, int handle, const char* field, const QString& name) {
        return Ask({{"op", "create"}, {"doc", doc}, {"handle", handle}, {field, name}});
    }
    static QJsonObject InvokeMessage(const QString& doc, int handle, const char* member,
                                     const char* kind, QJsonArray args = {}) {
        return {{"op", "invoke"},   {"doc", doc},   {"handle", handle},
                {"member", member}, {"kind", kind}, {"args", args}};
    }
    QJsonObject Invoke(const QString& doc, int handle, const char* member, const char* kind,
                       QJsonArray args = {}) {
        return Ask(InvokeMessage(doc, handle, member, kind, std::move(args)));
    }
    // A call sent with a request number of its own choosing (replies are collected).
    void SendCall(qint64 req, const char* member, const char* kind) {
        QJsonObject message = InvokeMessage(kTop, 1, member, kind);
        message.insert("req", req);
        Send(message);
    }
    static QString ErrorOf(const QJsonObject& reply) {
        return reply.value("error").toObject().value("message").toString();
    }

    std::unique_ptr<ObjectBridge> bridge_;
    std::vector<QJsonObject> replies_;
    int request_ = 0;
};

TEST_F(ObjectBridgeTest, MembersAnswerWithTheirResultsOrTheirFailures) {
    Attach(kTop, Inside("main.htm"), true);
    ASSERT_TRUE(Create(kTop, 1, "progid", "QBBridgeTest.Probe").value("ok").toBool());

    struct Case {
        const char* member;
        const char* kind;
        QJsonArray args;
        QJsonValue value;   // expected result (undefined: none)
        const char* error;  // expected message when the call fails
        qint32 number;      // and its number
    };
    const QJsonObject undefinedArg{{"undefined", true}};
    const Case cases[] = {
        {"Greeting", "get", {}, "Hello from the probe", nullptr, 0},
        {"greeting", "get", {}, "Hello from the probe", nullptr, 0},   // names ignore case
        {"Greeting", "call", {}, "Hello from the probe", nullptr, 0},  // as script engines do
        {"Join", "call", {"ab", 3}, "ab|ab|ab", nullptr, 0},
        {"Join", "call", {undefinedArg, 2}, "|", nullptr, 0},  // undefined reads as ""
        {"Half", "call", {5}, 2.5, nullptr, 0},
        {"Half", "call", {"7"}, 3.5, nullptr, 0},  // text converts to the declared type
        {"Half", "call", {1e300}, 5e299, nullptr, 0},
        {"Nested", "call", {}, QJsonValue::Undefined, nullptr, 0},
        {"Join", "get", {}, {}, "Join: Member not found.", static_cast<qint32>(0x80020003)},
        {"Frobnicate",
         "call",
         {},
         {},
         "Frobnicate: Unknown name.",
         static_cast<qint32>(0x80020006)},
        {"Join",
         "call",
         {"ab"},
         {},
         "Join: Invalid number of parameters.",
         static_cast<qint32>(0x8002000E)},
        {"Join",
         "call",
         {"ab", "many"},
         {},
         "Join: Type mismatch. (argument 2)",
         static_cast<qint32>(0x80020005)},
        {"Join",
         "call",
         {QJsonValue::Null, 1},
         {},
         "Join: Type mismatch. (argument 1)",
         static_cast<qint32>(0x80020005)},
        {"Join",
         "call",
         {"ab", 3e10},
         {},
         "Join: Out of present range. (argument 2)",
         static_cast<qint32>(0x8002000A)},
        // The member's own failures: DISP_E_EXCEPTION with its description and scode.
        {"Join",
         "call",
         {"ab", -1},
         {},
         "Join: The parameter is incorrect.",
         static_cast<qint32>(0x80070057)},
        {"Fail", "call", {"disk full"}, {}, "Fail: disk full", static_cast<qint32>(0x80004005)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.member) + " " + c.kind);
        const QJsonObject reply = Invoke(kTop, 1, c.member, c.kind, c.args);
        ASSERT_FALSE(reply.isEmpty()) << "no reply";
        EXPECT_EQ(reply.value("doc").toString(), kTop);
        if (c.error == nullptr) {
            EXPECT_TRUE(reply.value("ok").toBool()) << ErrorOf(reply).toStdString();
            EXPECT_EQ(reply.value("value"), c.value);
            EXPECT_EQ(reply.contains("value"), !c.value.isUndefined());
        } else {
            EXPECT_FALSE(reply.value("ok").toBool());
            EXPECT_EQ(ErrorOf(reply).toStdString(), c.error);
            EXPECT_EQ(reply.value("error").toObject().value("number").toInteger(), c.number);
        }
    }
    const QJsonObject fail = Invoke(kTop, 1, "Fail", "call", {"x"});
    EXPECT_EQ(fail.value("error").toObject().value("source").toString(), "QBBridgeTest.Probe");
}

TEST_F(ObjectBridgeTest, ArgumentsByReferenceComeBackWithWhatTheMemberLeftInThem) {
    Attach(kTop, Inside("main.htm"), true);
    ASSERT_TRUE(Create(kTop, 1, "progid", "QBBridgeTest.Probe").value("ok").toBool());
    const QJsonObject undefinedArg{{"undefined", true}};

    const QJsonObject reply = Invoke(kTop, 1, "Measure", "call",
                                     {"abc", QJsonObject{{"ref", 0}}, QJsonObject{{"ref", "x:"}}});
    ASSERT_TRUE(reply.value("ok").toBool()) << ErrorOf(reply).toStdString();
    EXPECT_EQ(reply.value("refs").toObject(), (QJsonObject{{"1", 3}, {"2", "x:abc"}}));

    // An out parameter may start empty; plain arguments never come back.
    const QJsonObject fromEmpty =
        Invoke(kTop, 1, "Measure", "call",
               {"", QJsonObject{{"ref", undefinedArg}}, QJsonObject{{"ref", "tail"}}});
    EXPECT_EQ(fromEmpty.value("refs").toObject(), (QJsonObject{{"1", 0}, {"2", "tail"}}));
    EXPECT_FALSE(Invoke(kTop, 1, "Join", "call", {"ab", 2}).contains("refs"));

    // A member that fails sends back no references; malformed references are refused.
    EXPECT_FALSE(Invoke(kTop, 1, "Fail", "call", {QJsonObject{{"ref", "why"}}}).contains("refs"));
    for (const QJsonValue& bad : {QJsonValue(QJsonObject{{"ref", QJsonObject{{"ref", 1}}}}),
                                  QJsonValue(QJsonObject{{"ref", 1}, {"extra", 2}}),
                                  QJsonValue(QJsonObject{{"ref", QJsonArray{1}}})}) {
        const QJsonObject refused = Invoke(kTop, 1, "Measure", "call", {"a", bad, "b"});
        EXPECT_FALSE(refused.value("ok").toBool());
        EXPECT_NE(ErrorOf(refused).indexOf("argument 2"), -1) << ErrorOf(refused).toStdString();
    }
}

TEST_F(ObjectBridgeTest, ObjectsAreCreatedByProgIdOrClassIdAndFailuresStayWithTheirHandle) {
    Attach(kTop, Inside("main.htm"), true);
    struct Case {
        const char* field;
        QString name;
        const char* error;  // null: created
    };
    const Case cases[] = {
        {"progid", "QBBridgeTest.Probe", nullptr},
        {"clsid", kProbeClsid, nullptr},
        {"clsid", "{" + kProbeClsid.toLower() + "}", nullptr},
        {"progid", "QBBridgeTest.Missing",
         "Automation server can't create object (QBBridgeTest.Missing): Invalid class string."},
        {"clsid", "B41D0E00-5A1E-4C3B-9D2A-7E0B5F10A0EE",
         "Automation server can't create object (clsid:B41D0E00-5A1E-4C3B-9D2A-7E0B5F10A0EE): "
         "Class not registered."},
        {"clsid", "not-a-class",
         "Automation server can't create object (clsid:not-a-class): Invalid class string."},
        {"progid", "QBBridgeTest.Unsafe",
         "Automation server can't create object (QBBridgeTest.Unsafe): the object is not safe "
         "for scripting."},
    };
    int handle = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        ++handle;
        const QJsonObject created = Create(kTop, handle, c.field, c.name);
        const QJsonObject call = Invoke(kTop, handle, "Greeting", "get");
        if (c.error == nullptr) {
            EXPECT_TRUE(created.value("ok").toBool()) << ErrorOf(created).toStdString();
            EXPECT_EQ(created.value("value").toObject(), QJsonObject({{"invisible", true}}))
                << "the class is registered as invisible at run time";
            EXPECT_EQ(call.value("value").toString(), "Hello from the probe");
        } else {
            EXPECT_EQ(ErrorOf(created).toStdString(), c.error);
            EXPECT_EQ(ErrorOf(call).toStdString(), c.error) << "calls repeat why creation failed";
        }
    }
    EXPECT_EQ(bridge_->ObjectCount(), 3u) << "only the created objects are held";
}

TEST_F(ObjectBridgeTest, OnlyDocumentsOfThePagesFolderUnderATopDocumentOfItMayUseObjects) {
    struct Case {
        const char* what;
        bool topInside;
        const char* frame;  // null: the call comes from the top document
        bool allowed;
    };
    const Case cases[] = {
        {"top document inside", true, nullptr, true},
        {"top document elsewhere", false, nullptr, false},
        {"frame inside, top inside", true, "inside", true},
        {"frame elsewhere, top inside", true, "elsewhere", false},
        {"frame inside, top elsewhere", false, "inside", false},
        {"frame with a web URL", true, "http", false},
        {"frame that never attached", true, "none", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString top = QString(32, c.topInside ? u'1' : u'2');
        Attach(top, c.topInside ? Inside("main.htm") : Outside(), true);
        QString doc = top;
        if (c.frame != nullptr) {
            doc = kFrame;
            const std::string frame = c.frame;
            if (frame != "none") {
                Attach(doc,
                       frame == "inside"      ? Inside("frame.htm")
                       : frame == "elsewhere" ? Outside()
                                              : QStringLiteral("http://example.com/a.htm"),
                       false);
            }
        }
        const QJsonObject created = Create(doc, 1, "progid", "QBBridgeTest.Probe");
        if (c.allowed) {
            EXPECT_TRUE(created.value("ok").toBool()) << ErrorOf(created).toStdString();
            EXPECT_EQ(bridge_->ObjectCount(), 1u);
        } else {
            EXPECT_EQ(ErrorOf(created), "This page may not use the server's objects.");
            EXPECT_EQ(created.value("error").toObject().value("number").toInteger(), kAccessDenied);
            EXPECT_EQ(Invoke(doc, 1, "Greeting", "get").value("ok"), false);
            EXPECT_EQ(bridge_->ObjectCount(), 0u);
        }
        bridge_->TopDocumentCompleted(kOtherTop);  // the next case starts afresh
    }
}

TEST_F(ObjectBridgeTest, AHandleMeansAnObjectOnlyInItsOwnDocument) {
    Attach(kTop, Inside("main.htm"), true);
    Attach(kFrame, Inside("frame.htm"), false);
    ASSERT_TRUE(Create(kTop, 7, "progid", "QBBridgeTest.Probe").value("ok").toBool());
    const QString missing = "The object does not exist (it was released or never created).";
    EXPECT_EQ(ErrorOf(Invoke(kFrame, 7, "Greeting", "get")), missing);
    EXPECT_EQ(ErrorOf(Create(kTop, 7, "progid", "QBBridgeTest.Probe")),
              "The page already has an object with this handle.");
    Send({{"op", "release"}, {"doc", kTop}, {"handle", 7}});
    EXPECT_EQ(ErrorOf(Invoke(kTop, 7, "Greeting", "get")), missing);
    EXPECT_EQ(bridge_->ObjectCount(), 0u);
}

TEST_F(ObjectBridgeTest, ObjectsGoWithTheDocumentThatCreatedThem) {
    auto fill = [this] {
        Attach(kTop, Inside("main.htm"), true);
        Attach(kFrame, Inside("frame.htm"), false);
        ASSERT_TRUE(Create(kTop, 1, "progid", "QBBridgeTest.Probe").value("ok").toBool());
        ASSERT_TRUE(Create(kFrame, 1, "progid", "QBBridgeTest.Probe").value("ok").toBool());
        ASSERT_EQ(bridge_->ObjectCount(), 2u);
    };
    fill();
    bridge_->TopDocumentCompleted(kTop);
    EXPECT_EQ(bridge_->ObjectCount(), 2u) << "the top document itself completing keeps them";
    Send({{"op", "detach"}, {"doc", kFrame}});
    EXPECT_EQ(bridge_->ObjectCount(), 1u) << "a frame that goes takes its objects";

    Send({{"op", "detach"}, {"doc", kTop}});
    EXPECT_EQ(bridge_->ObjectCount(), 0u) << "the top document takes everything";

    fill();
    bridge_->TopDocumentCompleted(kOtherTop);
    EXPECT_EQ(bridge_->ObjectCount(), 0u) << "another top document completed";
    CoFreeUnusedLibraries();
    EXPECT_FALSE(ProbeLoaded()) << "nothing holds the module any more";

    fill();
    Attach(kOtherTop, Inside("main.htm"), true);
    EXPECT_EQ(bridge_->ObjectCount(), 0u) << "another top document attached";

    fill();
    bridge_.reset();
    CoFreeUnusedLibraries();
    EXPECT_FALSE(ProbeLoaded()) << "the bridge releases everything when it goes";
}

TEST_F(ObjectBridgeTest, ForeignAndMalformedMessagesChangeNothing) {
    Attach(kTop, Inside("main.htm"), true);
    // Another token: ignored entirely.
    bridge_->post(QStringLiteral("fedcba9876543210fedcba9876543210"),
                  QStringLiteral(R"({"op":"create","doc":"%1","req":1,"handle":1,)"
                                 R"("progid":"QBBridgeTest.Probe"})")
                      .arg(kTop));
    EXPECT_TRUE(replies_.empty());
    EXPECT_EQ(bridge_->ObjectCount(), 0u);

    // Malformed, but naming a document and request: refused with a reply.
    const QJsonObject refused = Invoke(kTop, 1, "a b", "call");
    EXPECT_EQ(ErrorOf(refused),
              "The bridge refused a malformed request: the member name is not a name.");

    // Not even a document: no reply at all.
    bridge_->post(kToken, QStringLiteral("[1,2,3]"));
    bridge_->post(kToken, QStringLiteral(R"({"op":"create","req":5})"));
    EXPECT_EQ(replies_.size(), 1u);
    EXPECT_EQ(bridge_->ObjectCount(), 0u);
}

TEST_F(ObjectBridgeTest, CallsThatArriveDuringANestedLoopWaitForTheCallInProgress) {
    Attach(kTop, Inside("main.htm"), true);
    ASSERT_TRUE(Create(kTop, 1, "progid", "QBBridgeTest.Probe").value("ok").toBool());
    std::size_t queuedInside = 0;
    std::size_t repliesInside = 0;
    SetNestedLoop([&] {
        // A message box is up; the page sends another call meanwhile.
        SendCall(100, "Greeting", "get");
        queuedInside = bridge_->QueuedCount();
        repliesInside = replies_.size();
    });
    const std::size_t before = replies_.size();
    SendCall(99, "Nested", "call");
    EXPECT_EQ(queuedInside, 1u) << "the second call waits";
    EXPECT_EQ(repliesInside, before) << "and is not answered inside the first";
    ASSERT_EQ(replies_.size(), before + 2);
    EXPECT_EQ(replies_[before].value("req").toInteger(), 99);
    EXPECT_EQ(replies_[before + 1].value("req").toInteger(), 100);
    EXPECT_EQ(bridge_->QueuedCount(), 0u);
    EXPECT_EQ(Invoke(kTop, 1, "Log", "get").value("value").toString().toStdString(),
              "Nested>,Nested<,Greeting");
}

TEST_F(ObjectBridgeTest, TheBridgeMayGoWhileAMemberRunsANestedLoop) {
    Attach(kTop, Inside("main.htm"), true);
    ASSERT_TRUE(Create(kTop, 1, "progid", "QBBridgeTest.Probe").value("ok").toBool());
    SetNestedLoop([&] {
        SendCall(100, "Greeting", "get");
        bridge_.reset();  // the window closed while a message box was up
    });
    const std::size_t before = replies_.size();
    SendCall(99, "Nested", "call");
    EXPECT_EQ(replies_.size(), before) << "nothing is answered by a bridge that is gone";
    CoFreeUnusedLibraries();
    EXPECT_FALSE(ProbeLoaded()) << "the object in use was released when its call returned";
}

}  // namespace
