// Fixture of the page tests: the program's own pages (pages/) copied into the Resources
// folder of a temporary installation, shown by a WebBrowser of the main window's size
// with the object bridge on, the real QBStorage.so registered in the test's own hive,
// and the scripted UI backend answering the module's dialogs (InstalledServerTest).
//
// The pages are driven as a person drives them (clicks, typing) by scripts run in the
// identities frame; a command is over when the frame is no longer busy.
//
// Thread: the test's main thread (the browser's and the objects' thread).
#pragma once

#include <QJsonArray>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "InstalledServer.h"
#include "browser/WebBrowser.h"

namespace qbtest {

using Fields = std::vector<std::pair<std::string, std::string>>;

class PagesTest : public InstalledServerTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the identity store, entries put in in this order.
    void Seed(const std::vector<storetest::Entry>& entries) const;
    // The names of the identity store in its enumeration order.
    std::vector<std::string> StoredNames() const;

    // Loads frameset.htm from the install folder and waits until the identities frame
    // has read the store; false when it never got there.
    bool Open();
    // Runs script in the identities frame; its value as JSON ("" when it failed).
    std::string InMain(const std::string& script);
    std::string InFrame(const char* frame, const std::string& script);
    // The same for a script whose value is a string: the string itself.
    std::string TextInFrame(const char* frame, const std::string& script);
    std::string TextInMain(const std::string& script) { return TextInFrame("main", script); }
    // Runs script in the identities frame (typically a click) and waits until the
    // command it started has ended.
    void Act(const std::string& script);
    void Click(const char* id) {
        Act(std::string("document.getElementById('") + id + "').click()");
    }
    // Types text into the key or value input of field row `row` (0 = first).
    void TypeField(int row, const char* which, const std::string& text);

    // What the identities frame shows.
    std::vector<std::string> ListedNames();
    std::string SelectedName();
    Fields ShownFields();  // sorted, the page shows them in the store's order
    // "kind: text" (failures shown together: one a line), or "" when the bar is hidden.
    std::string Message();

    // Saves a picture of the whole browser view into the screenshots folder.
    void Screenshot(const std::string& name);

    std::unique_ptr<browser::WebBrowser> browser_;
    int topDocuments_ = 0;  // top documents completed so far
};

// Runs the event loop until done() holds; false when it still does not after 30 s (a
// hang shows as a failure, not as a stuck test).
bool Wait(const std::function<bool()>& done);

// A JavaScript string literal holding text.
std::string JsString(const std::string& text);
// The JSON array in json (empty when it is none).
QJsonArray ParseArray(const std::string& json);

}  // namespace qbtest
