// The object bridge with real pages in Qt WebEngine: pages of the Resources folder
// create objects by ProgID and by <object classid>, read properties, call methods, see
// failures as rejected promises, from the top document and from a frame; pages
// elsewhere get nothing; leaving the pages releases their objects so that the module
// can unload.
#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include "BridgeFixture.h"
#include "Probe.h"
#include "QtTestApp.h"
#include "browser/BrowserProcess.h"
#include "browser/BrowserUrls.h"
#include "browser/ResourceSchemeHandler.h"
#include "browser/WebBrowser.h"
#include "browser/bridge/ObjectBridge.h"
#include "com/Runtime.h"

namespace {

// A page that tries everything and shows each outcome in a table. Each outcome goes to
// window.results and, in a frame, to the top window as well (window.frameResults).
const char* const kProbePage = R"(<!DOCTYPE html>
<html><head><title>Probe</title><style>
body { margin: 0; padding: 14px 20px; font: 13px "DejaVu Sans", sans-serif; background: #fafafa; }
h1 { font-size: 15px; font-weight: normal; color: #1f4e79; margin: 0 0 8px; }
td { padding: 2px 14px 2px 0; vertical-align: top; } td:first-child { color: #555; }
</style></head><body><h1>Objects of this page</h1>
<object id="probe" classid="clsid:B41D0E00-5A1E-4C3B-9D2A-7E0B5F10A001"></object>
<table id="out"></table>
<script>
var results = {}, messagesSeen = 0;
window.addEventListener('message', function () { messagesSeen++; });
function report(name, value) {
    results[name] = value;
    var row = document.getElementById('out').insertRow();
    row.insertCell().textContent = name;
    row.insertCell().textContent = JSON.stringify(value);
    if (window !== window.top) window.top.postMessage({probeResult: [name, value]}, '*');
}
async function step(name, action) {
    try { report(name, await action()); }
    catch (e) { report(name, e.constructor.name + ': ' + e.message + ' [' + e.number + ']'); }
}
async function run() {
    report('ActiveXObject', typeof ActiveXObject);
    report('qt', typeof qt);
    var probe = window.keep = new ActiveXObject('QBBridgeTest.Probe');
    var element = document.getElementById('probe');
    await step('greeting', function () { return probe.Greeting; });
    await step('join', function () { return probe.Join('ab', 3); });
    await step('half', function () { return probe.Half(5); });
    await step('unknown', function () { return probe.Frobnicate(1); });
    await step('fail', function () { return probe.Fail('disk full'); });
    await step('badArgument', function () { return probe.Join({}, 1); });
    await step('references', async function () {
        var length = ActiveXObject.Ref(), tail = ActiveXObject.Ref('x:');
        var result = await probe.Measure('abc', length, tail);
        return [result === undefined, length.value, tail.value];
    });
    await step('set', function () { probe.Greeting = 'x'; return 'allowed'; });
    await step('notThenable', async function () { return (await probe) === probe; });
    await step('element', function () { return element.Join('x', 2); });
    await step('elementObject', function () { return element.object.Greeting; });
    await step('elementStillElement', function () {
        return element instanceof HTMLObjectElement && element.id;
    });
    await step('elementShown', function () { return getComputedStyle(element).display; });
    await step('missingProgId', function () {
        return new ActiveXObject('QBBridgeTest.Missing').Greeting;
    });
    report('messagesSeen', messagesSeen);  // the bridge's own messages stay hidden
    report('done', true);
}
run();
</script></body></html>
)";

// The frameset of the program's pages, collecting what its frames report.
const char* const kFrameset = R"(<!DOCTYPE html>
<html><head><title>Quenby</title><script>
var frameResults = {}, otherMessages = 0;
window.addEventListener('message', function (event) {
    if (event.data && event.data.probeResult) {
        frameResults[event.data.probeResult[0]] = event.data.probeResult[1];
        frameResults.otherMessages = otherMessages;
    } else {
        otherMessages++;
    }
});
</script></head>
<frameset rows="40,*" border="0">
<frame name="top" src="top.htm" scrolling="no"><frame name="main" src="main.htm">
</frameset></html>
)";
const char* const kTopFrame = R"(<!DOCTYPE html><html><body style="margin:0;padding:10px 20px;
background:#1f4e79;color:white;font:16px 'DejaVu Sans',sans-serif">Quenby</body></html>)";
const char* const kOther = "<!DOCTYPE html><html><body>other</body></html>";
const char* const kBlankPage =
    "<HTML>\r\n<HEAD>\r\n<TITLE>sdfsdfk</TITLE>\r\n</HEAD>\r\n<BODY>\r\n</BODY>\r\n</HTML>\r\n";
const char* const kProgramPath = "/opt/quenby/Quenby";

// What the probe page reports, in a document that may use objects.
const std::pair<const char*, const char*> kExpected[] = {
    {"ActiveXObject", R"("function")"},
    {"qt", R"("undefined")"},  // the channel stays in the isolated world
    {"greeting", R"("Hello from the probe")"},
    {"join", R"("ab|ab|ab")"},
    {"half", "2.5"},
    {"unknown", R"("Error: Frobnicate: Unknown name. [-2147352570]")"},
    {"fail", R"("Error: Fail: disk full [-2147467259]")"},
    {"badArgument",
     R"("TypeError: Join: argument 1 must be a string, a finite number, a boolean, null or )"
     R"(undefined (or a reference to one) [undefined]")"},
    {"references", R"([true,3,"x:abc"])"},
    {"set", R"("TypeError: Cannot set Greeting: properties of server objects are read through the )"
            R"(bridge only [undefined]")"},
    {"notThenable", "true"},
    {"element", R"("x|x")"},
    {"elementObject", R"("Hello from the probe")"},
    {"elementStillElement", R"("probe")"},
    {"elementShown", R"("none")"},  // invisible at run time
    {"missingProgId",
     R"("Error: Automation server can't create object (QBBridgeTest.Missing): Invalid class )"
     R"(string. [-2147221005]")"},
    {"messagesSeen", "0"},
    {"done", "true"},
};

void PrepareApp() {
    qbtest::QtApp([] { browser::PrepareBrowserProcess(); });
}

class PageBridgeTest : public qbtest::BridgeTest {
  protected:
    void SetUp() override {
        BridgeTest::SetUp();
        PrepareApp();
        browser::SetResourceProvider(
            [](const std::string& module, int id) -> std::optional<std::string> {
                if (module == kProgramPath && id == 146) {
                    return std::string(kBlankPage);
                }
                return std::nullopt;
            });
        control_ = std::make_unique<browser::WebBrowser>();
        control_->resize(754, 474);
        control_->show();
        control_->SetDocumentCompleteHandler([this](const browser::DocumentCompleteEvent& e) {
            events_.push_back(e);
            objectsAtEvent_.push_back(control_->Bridge()->ObjectCount());
        });
        control_->EnableObjectBridge(ResourcesFolder());
        Put(ResourcesFolder() + "main.htm", kProbePage);
        Put(ResourcesFolder() + "frameset.htm", kFrameset);
        Put(ResourcesFolder() + "top.htm", kTopFrame);
        Put(ResourcesFolder() + "other.htm", kOther);
    }
    void TearDown() override {
        control_.reset();
        browser::SetResourceProvider({});
        BridgeTest::TearDown();
    }

    // Loads a URL and waits for its top document to complete.
    void Load(const std::string& url) {
        events_.clear();
        objectsAtEvent_.clear();
        control_->Navigate(url);
        ASSERT_TRUE(qbtest::RunEventsUntil([&] {
            return !events_.empty() && events_.back().topLevel;
        })) << url;
    }

    // Runs a script in the page's own world of the top document; its result as JSON.
    std::string Eval(const QString& script) {
        bool done = false;
        QVariant result;
        control_->Page()->runJavaScript(script, QWebEngineScript::MainWorld,
                                        [&](const QVariant& value) {
                                            result = value;
                                            done = true;
                                        });
        qbtest::RunEventsUntil([&] { return done; });
        return result.toString().toStdString();
    }

    // The results object `name` of the top window once it reports done.
    QJsonObject WaitForResults(const char* name) {
        const QString script =
            QStringLiteral("JSON.stringify(window.%1 && window.%1.done ? window.%1 : null)")
                .arg(QLatin1String(name));
        std::string json;
        qbtest::RunEventsUntil([&] {
            json = Eval(script);
            return json != "null" && !json.empty();
        });
        return QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
    }

    static void ExpectProbeResults(const QJsonObject& results) {
        for (const auto& [name, expected] : kExpected) {
            const QJsonValue value = results.value(QLatin1String(name));
            const QByteArray actual =
                QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
            EXPECT_EQ(actual.mid(1, actual.size() - 2).toStdString(), expected) << name;
        }
    }

    std::unique_ptr<browser::WebBrowser> control_;
    std::vector<browser::DocumentCompleteEvent> events_;
    std::vector<std::size_t> objectsAtEvent_;
};

TEST_F(PageBridgeTest, PagesOfTheFolderScriptObjectsFromAFrameAndFromTheTopDocument) {
    Load(browser::PagesUrl(Path("My Apps/Quenby")));
    const QJsonObject fromFrame = WaitForResults("frameResults");
    ExpectProbeResults(fromFrame);
    EXPECT_EQ(fromFrame.value("otherMessages").toInt(-1), 0)
        << "the frameset saw none of its frames' messages to the bridge";
    EXPECT_EQ(control_->Bridge()->ObjectCount(), 2u) << "the page's object and its element's";

    bool painted = false;  // let the last rows reach the screen
    QTimer::singleShot(300, [&] { painted = true; });
    qbtest::RunEventsUntil([&] { return painted; });
    const QImage shot = control_->grab().toImage();
    ASSERT_TRUE(shot.save(QString::fromStdString(qbtest::ScreenshotPath("bridge-frameset.png"))));

    Load(FileUrl(ResourcesFolder() + "main.htm"));
    ExpectProbeResults(WaitForResults("results"));
    EXPECT_EQ(control_->Bridge()->ObjectCount(), 2u) << "the frameset's objects went";
}

TEST_F(PageBridgeTest, PagesElsewhereGetNoObjectsEvenWhenTheyFrameAPageOfTheFolder) {
    Put(Path("Elsewhere/page.htm"), kProbePage);
    Load(FileUrl(Path("Elsewhere/page.htm")));
    EXPECT_EQ(Eval("typeof ActiveXObject"), "undefined");
    EXPECT_EQ(Eval("typeof document.getElementById('probe').object + ' ' + "
                   "typeof document.getElementById('probe').Greeting"),
              "undefined undefined");
    EXPECT_EQ(Eval("typeof qt"), "undefined");

    // A frameset elsewhere around the folder's page: the page has its ActiveXObject, but
    // the server refuses it objects.
    Put(Path("Elsewhere/frameset.htm"),
        std::string(kFrameset).replace(std::string(kFrameset).find("main.htm"), 8,
                                       FileUrl(ResourcesFolder() + "main.htm")));
    Load(FileUrl(Path("Elsewhere/frameset.htm")));
    const QJsonObject results = WaitForResults("frameResults");
    EXPECT_EQ(results.value("ActiveXObject").toString(), "function");
    const QString refused = "Error: This page may not use the server's objects. [-2147024891]";
    EXPECT_EQ(results.value("greeting").toString(), refused);
    EXPECT_EQ(results.value("element").toString(), refused);
    EXPECT_EQ(control_->Bridge()->ObjectCount(), 0u);
    CoFreeUnusedLibraries();
    EXPECT_FALSE(ProbeLoaded()) << "nothing was ever created";
}

TEST_F(PageBridgeTest, LeavingThePagesReleasesTheirObjects) {
    Load(browser::PagesUrl(Path("My Apps/Quenby")));
    WaitForResults("frameResults");
    ASSERT_EQ(control_->Bridge()->ObjectCount(), 2u);

    // The frame moves on: its document's objects go, the frameset stays.
    Eval("frames['main'].location.href = 'other.htm'; 0");
    EXPECT_TRUE(qbtest::RunEventsUntil([&] { return control_->Bridge()->ObjectCount() == 0; }));

    // Back to the pages, then to the blank page as the window does when it closes: the
    // objects are gone by the time the blank page reports its completion.
    Load(browser::PagesUrl(Path("My Apps/Quenby")));
    WaitForResults("frameResults");
    ASSERT_EQ(control_->Bridge()->ObjectCount(), 2u);
    Load(browser::ResourceUrl(kProgramPath, 146));
    ASSERT_EQ(events_.size(), 1u);
    EXPECT_EQ(objectsAtEvent_.back(), 0u);
    EXPECT_EQ(Eval("document.title"), "sdfsdfk");
    ASSERT_TRUE(ProbeLoaded());
    CoFreeUnusedLibraries();
    EXPECT_FALSE(ProbeLoaded()) << "DllCanUnloadNow said S_OK and the module went";
}

TEST_F(PageBridgeTest, TheServerModulesControlIsCreatedByProgIdAndByClassId) {
    Put(ResourcesFolder() + "server.htm", R"(<!DOCTYPE html><html><body>
<object id="ctr" classid="clsid:7B42F47F-7322-4021-92FE-BAA20DE7FBAA"></object>
<script>
var results = {};
async function outcome(promise) {
    try { return 'resolved ' + await promise; } catch (e) { return e.message; }
}
(async function () {
    var byProgId = window.keep = new ActiveXObject('QBStorage.IdentityCtr');
    results.progId = await outcome(byProgId.NoSuchMember);
    results.classId = await outcome(document.getElementById('ctr').NoSuchMember());
    results.shown = getComputedStyle(document.getElementById('ctr')).display;
    results.done = true;
})();
</script></body></html>)");
    Load(FileUrl(ResourcesFolder() + "server.htm"));
    const QJsonObject results = WaitForResults("results");
    // Unknown names are refused by the control's own dispatch: both objects exist.
    EXPECT_EQ(results.value("progId").toString(), "NoSuchMember: Unknown name.");
    EXPECT_EQ(results.value("classId").toString(), "NoSuchMember: Unknown name.");
    EXPECT_EQ(results.value("shown").toString(), "none") << "the control is invisible at run time";
    EXPECT_EQ(control_->Bridge()->ObjectCount(), 2u);

    Load(browser::ResourceUrl(kProgramPath, 146));
    EXPECT_EQ(control_->Bridge()->ObjectCount(), 0u);
    CoFreeUnusedLibraries();
    EXPECT_EQ(com::LoadedServerCount(), 0u) << "QBStorage.so may unload";
}

TEST_F(PageBridgeTest, CallsWaitWhileAMemberRunsANestedMessageLoop) {
    // Keep the module loaded to set what Nested() runs: a nested loop, as a message box
    // runs, while the page has its next call on the way. (WebEngine itself holds that
    // call back until the loop ends; the bridge would queue it otherwise.)
    com::ComPtr<IDispatch> keeper = Create(u"QBBridgeTest.Probe");
    bool nestedRan = false;
    SetNestedLoop([&] {
        bool later = false;
        QTimer::singleShot(300, [&] { later = true; });
        nestedRan = qbtest::RunEventsUntil([&] { return later; });
    });
    Put(ResourcesFolder() + "nested.htm", R"(<!DOCTYPE html><html><body><script>
var results = {}, order = [];
var probe = window.keep = new ActiveXObject('QBBridgeTest.Probe');
Promise.all([probe.Nested().then(function () { order.push('Nested'); }),
             probe.Join('a', 2).then(function (v) { order.push('Join ' + v); })])
    .then(async function () {
        results.order = order.join(',');
        results.log = await probe.Log;
        results.done = true;
    });
</script></body></html>)");
    Load(FileUrl(ResourcesFolder() + "nested.htm"));
    const QJsonObject results = WaitForResults("results");
    EXPECT_TRUE(nestedRan);
    EXPECT_EQ(results.value("order").toString(), "Nested,Join a|a");
    EXPECT_EQ(results.value("log").toString(), "Nested>,Nested<,Join");
}

}  // namespace
