#include "PagesFixture.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <algorithm>
#include <filesystem>

#include "EntryMap.h"
#include "QtTestApp.h"
#include "StoreFiles.h"
#include "browser/BrowserProcess.h"
#include "browser/BrowserUrls.h"
#include "ui/qt/DialogMetrics.h"

namespace qbtest {
namespace {

const char* const kPages[] = {"frameset.htm", "top.htm", "main.htm", "down.htm"};

}  // namespace

QJsonArray ParseArray(const std::string& json) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(json)).array();
}

bool Wait(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 30000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

std::string JsString(const std::string& text) {
    const QByteArray json =
        QJsonDocument(QJsonArray{QString::fromStdString(text)}).toJson(QJsonDocument::Compact);
    return json.mid(1, json.size() - 2).toStdString();
}

void PagesTest::SetUp() {
    InstalledServerTest::SetUp();
    QtApp([] { browser::PrepareBrowserProcess(); });
    const std::filesystem::path resources = Path("app/Resources");
    std::filesystem::create_directories(resources);
    for (const char* page : kPages) {
        std::filesystem::copy_file(std::filesystem::path(QB_PAGES_DIR) / page, resources / page);
    }
    browser_ = std::make_unique<browser::WebBrowser>();
    // The client area of the main window: template 102, 503 x 316 dialog units, in the
    // dialog font the Qt backend uses.
    const ui::qt::DialogUnits units(ui::qt::DialogFont("MS Sans Serif", 8));
    browser_->resize(units.ToPixels(503, 316));
    browser_->show();
    browser_->EnableObjectBridge(InstallFolder() + "/Resources/");
    browser_->SetDocumentCompleteHandler([this](const browser::DocumentCompleteEvent& event) {
        topDocuments_ += event.topLevel ? 1 : 0;
    });
}

void PagesTest::TearDown() {
    browser_.reset();  // the pages' objects go with it
    InstalledServerTest::TearDown();
}

void PagesTest::Seed(const std::vector<storetest::Entry>& entries) const {
    WriteStore(IdentityStore(), entries);
}

std::vector<std::string> PagesTest::StoredNames() const {
    EntryMap map;
    store::LoadStore(IdentityStore(), map);
    std::vector<std::string> names;
    for (const storetest::Entry& entry : storetest::Enumerate(map)) {
        names.push_back(entry.name);
    }
    return names;
}

bool PagesTest::Open() {
    const int before = topDocuments_;
    browser_->Navigate(browser::PagesUrl(InstallFolder()));
    return Wait([&] { return topDocuments_ > before; }) && Wait([&] {
               return InMain(
                          "document.body.dataset.state === 'ready' && "
                          "!('busy' in document.body.dataset)") == "true";
           });
}

std::string PagesTest::InFrame(const char* frame, const std::string& script) {
    // By its element: frames['top'] would be the top window itself.
    const std::string wrapped =
        std::string("(function () { try { var w = document.querySelector(") +
        JsString(std::string("frame[name=") + frame + "]") +
        ").contentWindow; return JSON.stringify(w.eval(" + JsString(script) +
        ")); } catch (e) { return ''; } })()";
    bool done = false;
    QString result;
    browser_->Page()->runJavaScript(QString::fromStdString(wrapped), QWebEngineScript::MainWorld,
                                    [&](const QVariant& value) {
                                        result = value.toString();
                                        done = true;
                                    });
    Wait([&] { return done; });
    return result.toStdString();
}

std::string PagesTest::TextInFrame(const char* frame, const std::string& script) {
    return ParseArray("[" + InFrame(frame, script) + "]").at(0).toString().toStdString();
}

std::string PagesTest::InMain(const std::string& script) {
    return InFrame("main", script);
}

void PagesTest::Act(const std::string& script) {
    InMain(script);
    EXPECT_TRUE(Wait([&] { return InMain("'busy' in document.body.dataset") == "false"; }))
        << "the command did not end: " << script;
}

void PagesTest::TypeField(int row, const char* which, const std::string& text) {
    InMain("(function () { var input = document.querySelectorAll('#field-rows tr')[" +
           std::to_string(row) + "].querySelector('input." + which + "'); input.focus(); " +
           "input.value = " + JsString(text) +
           "; input.dispatchEvent(new Event('input', {bubbles: true})); })()");
}

std::vector<std::string> PagesTest::ListedNames() {
    std::vector<std::string> names;
    for (const QJsonValue& name : ParseArray(InMain(
             "Array.from(document.querySelectorAll('#list li')).map(li => li.textContent)"))) {
        names.push_back(name.toString().toStdString());
    }
    return names;
}

std::string PagesTest::SelectedName() {
    return TextInFrame(
        "main",
        "(document.querySelector('#list li[aria-selected=\"true\"]') || {}).textContent || ''");
}

Fields PagesTest::ShownFields() {
    Fields fields;
    for (const QJsonValue& row : ParseArray(InMain(
             "Array.from(document.querySelectorAll('#field-rows tr')).map(tr => "
             "[tr.querySelector('input.key').value, tr.querySelector('input.value').value])"))) {
        fields.emplace_back(row.toArray().at(0).toString().toStdString(),
                            row.toArray().at(1).toString().toStdString());
    }
    std::sort(fields.begin(), fields.end());
    return fields;
}

std::string PagesTest::Message() {
    const QJsonArray message =
        ParseArray(InMain("document.getElementById('message').hidden ? [] : "
                          "[document.getElementById('message').className, "
                          "Array.from(document.getElementById('message-text').children)"
                          ".map(line => line.textContent).join('\\n')]"));
    if (message.isEmpty()) {
        return "";
    }
    return message.at(0).toString().toStdString() + ": " + message.at(1).toString().toStdString();
}

void PagesTest::Screenshot(const std::string& name) {
    bool painted = false;  // let the last changes reach the screen
    QTimer::singleShot(300, [&] { painted = true; });
    Wait([&] { return painted; });
    EXPECT_TRUE(browser_->grab().toImage().save(QString::fromStdString(ScreenshotPath(name))));
}

}  // namespace qbtest
