// The program's pages against the real server module: the identity list and fields as
// the store holds them, a new identity, an edited one, deletion with its question, the
// start-up hand-over, export and import, and failures shown in the page.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "EntryMap.h"
#include "PagesFixture.h"
#include "StoreFiles.h"
#include "ui/MessageBox.h"

namespace qbtest {
namespace {

using storetest::Entry;
using Lines = std::vector<std::string>;

const std::vector<Entry> kSeed = {
    {"Home",
     true,
     {{"First name", "Anna"},
      {"Last name", "Muster"},
      {"Street", "Aareweg 4"},
      {"City", "Bern"},
      {"Zip", "3011"},
      {"Phone", "031 123 45 67"}}},
    {"Work", true, {{"Company", "Quenby AG"}, {"Email", "anna.muster@example.org"}}},
    {"Travel", true, {{"Passport", "X1234567"}, {"Nationality", "Swiss"}}},
    {"Shopping", true, {{"Email", "anna@example.org"}, {"Card holder", "A. Muster"}}},
    {"Sports club", true, {{"Member no", "4711"}}},
};

// name -> sorted fields, for every entry of a store (an entry without field map has
// none).
std::map<std::string, Fields> Identities(const std::vector<Entry>& entries) {
    std::map<std::string, Fields> out;
    for (const Entry& entry : entries) {
        Fields fields(entry.fields.begin(), entry.fields.end());
        std::sort(fields.begin(), fields.end());
        out[entry.name] = fields;
    }
    return out;
}

class IdentityPagesTest : public PagesTest {
  protected:
    std::map<std::string, Fields> Stored() const {
        EntryMap map;
        store::LoadStore(IdentityStore(), map);
        return Identities(storetest::Enumerate(map));
    }
    void Choose(const std::string& name) {
        Act("Array.from(document.querySelectorAll('#list li')).find(li => li.dataset.name === " +
            JsString(name) + ").click()");
    }
};

TEST_F(IdentityPagesTest, TheListShowsTheStoredIdentitiesInStoreOrderAndEachOnesFields) {
    Seed(kSeed);
    ASSERT_TRUE(Open());
    const Lines stored = StoredNames();
    ASSERT_EQ(stored.size(), kSeed.size());
    EXPECT_EQ(ListedNames(), stored);
    EXPECT_EQ(SelectedName(), stored.front()) << "the first identity is shown at the start";
    const std::map<std::string, Fields> seeded = Identities(kSeed);
    EXPECT_EQ(ShownFields(), seeded.at(stored.front()));
    EXPECT_TRUE(Wait([&] {
        return TextInFrame("down", "document.getElementById('count').textContent") ==
               "5 identities";
    })) << "the status line counts them";

    for (auto it = stored.rbegin(); it != stored.rend(); ++it) {
        Choose(*it);
        EXPECT_EQ(SelectedName(), *it);
        EXPECT_EQ(ShownFields(), seeded.at(*it)) << *it;
    }
    Choose("Home");
    // The arrow keys move through the list in its order.
    const auto home = std::find(stored.begin(), stored.end(), "Home") - stored.begin();
    const std::string key = home + 1 < static_cast<long>(stored.size()) ? "ArrowDown" : "ArrowUp";
    Act("document.getElementById('list').dispatchEvent(new KeyboardEvent('keydown', "
        "{key: '" +
        key + "', bubbles: true}))");
    EXPECT_EQ(SelectedName(),
              stored[static_cast<std::size_t>(home + (key == "ArrowDown" ? 1 : -1))]);
    Choose("Home");
    EXPECT_EQ(Message(), "");
    EXPECT_TRUE(ui_.MessageTexts().empty()) << ui_.MessageTexts().front();
    EXPECT_EQ(Stored(), seeded) << "reading changes nothing";
    Screenshot("pages-identities.png");

    // Nothing is cut off, at this size and at the size the window has with the classic
    // 8-point dialog font (503 x 316 dialog units at 1.5 pixels each).
    for (const QSize size : {browser_->size(), QSize(754, 474)}) {
        browser_->resize(size);
        for (const char* frame : {"top", "main", "down"}) {
            EXPECT_TRUE(Wait([&] {
                return InFrame(frame,
                               "document.documentElement.scrollWidth <= innerWidth && "
                               "document.documentElement.scrollHeight <= innerHeight && "
                               "Array.from(document.querySelectorAll('button')).every(b => "
                               "b.scrollWidth <= b.clientWidth)") == "true";
            })) << frame
                << " at " << size.width() << " x " << size.height();
        }
    }
    Screenshot("pages-identities-small.png");
}

TEST_F(IdentityPagesTest, ManyAndLongIdentitiesScrollInsideTheWindow) {
    std::vector<Entry> seed;
    for (int i = 0; i < 40; ++i) {
        Entry entry{
            "Identity " + std::to_string(i) + std::string(i % 7 == 0 ? 60 : 0, 'w'), true, {}};
        for (int f = 0; f < 30; ++f) {
            entry.fields.emplace_back(
                "Field " + std::to_string(f) + std::string(f % 5 ? 0 : 50, 'k'),
                std::string(f % 3 ? 4 : 200, 'v'));
        }
        seed.push_back(entry);
    }
    Seed(seed);
    ASSERT_TRUE(Open());
    EXPECT_EQ(ListedNames().size(), 40u);
    const std::string longest = StoredNames().back();
    Choose(longest);
    for (const char* frame : {"top", "main", "down"}) {
        EXPECT_EQ(InFrame(frame,
                          "document.documentElement.scrollWidth <= innerWidth && "
                          "document.documentElement.scrollHeight <= innerHeight"),
                  "true")
            << frame;
    }
    // The lists scroll within their panes and the selected identity is in view.
    EXPECT_EQ(InMain("(function () { var list = document.getElementById('list'); "
                     "var item = list.querySelector('[aria-selected=\"true\"]'); "
                     "return list.scrollHeight > list.clientHeight && "
                     "item.offsetTop >= list.scrollTop && "
                     "item.offsetTop + item.offsetHeight <= list.scrollTop + list.clientHeight "
                     "+ list.offsetTop; })()"),
              "true");
    Screenshot("pages-many.png");
}

TEST_F(IdentityPagesTest, AnEmptyStoreShowsWhatToDoFirst) {
    ASSERT_TRUE(Open());
    EXPECT_EQ(ListedNames(), Lines{});
    EXPECT_EQ(TextInMain("document.getElementById('welcome-title').textContent"),
              "No identities yet");
    EXPECT_EQ(InMain("document.getElementById('welcome').hidden"), "false");
    EXPECT_EQ(InMain("document.getElementById('delete').disabled"), "true");
    EXPECT_EQ(Message(), "");
    Screenshot("pages-empty.png");
}

TEST_F(IdentityPagesTest, TheStartUpHandOverSelectsTheIdentityItNamesOnce) {
    const struct {
        const char* wanted;
        const char* selected;
        const char* message;
    } cases[] = {
        {"Work", "Work", ""},
        {"Nobody", "", "info: The identity \u201CNobody\u201D to be shown is not in the list."},
    };
    Seed(kSeed);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wanted);
        SetString("SOFTWARE\\Quenby\\AppPath", "Identity", c.wanted);
        ASSERT_TRUE(Open());
        EXPECT_EQ(SelectedName(), *c.selected ? c.selected : StoredNames().front());
        EXPECT_EQ(Message(), c.message);
        bool found = true;
        ReadRaw("SOFTWARE\\Quenby\\AppPath", "Identity", &found);
        EXPECT_FALSE(found) << "the hand-over is taken once";
    }
}

TEST_F(IdentityPagesTest, ANewIdentityWithItsFieldsIsWrittenToTheStore) {
    Seed(kSeed);
    ASSERT_TRUE(Open());
    ui_.QueueType(201, "  Library ");
    ui_.QueueClick(IDOK);
    Click("new");
    EXPECT_EQ(SelectedName(), "Library (new)");
    EXPECT_EQ(ShownFields(), (Fields{{"", ""}})) << "one empty field to start with";
    TypeField(0, "key", "Card no");
    TypeField(0, "value", "L-889");
    Click("add-field");
    TypeField(1, "key", "PIN hint");
    TypeField(1, "value", "birthday");
    Screenshot("pages-new-identity.png");
    Click("save");
    EXPECT_EQ(Message(), "");

    std::map<std::string, Fields> expected = Identities(kSeed);
    expected["Library"] = {{"Card no", "L-889"}, {"PIN hint", "birthday"}};
    EXPECT_EQ(Stored(), expected);
    EXPECT_EQ(ListedNames(), StoredNames());
    EXPECT_EQ(SelectedName(), "Library");
    EXPECT_EQ(ShownFields(), expected["Library"]);
    EXPECT_TRUE(ui_.MessageTexts().empty());
}

TEST_F(IdentityPagesTest, NewWithACancelledOrTakenNameWritesNothing) {
    const struct {
        const char* what;
        bool ok;
        const char* selected;
        const char* message;
    } cases[] = {
        {"cancelled", false, "Home", ""},
        {"Work", true, "Work",
         "info: There is already an identity named \u201CWork\u201D. Its fields are shown here "
         "to edit."},
    };
    Seed(kSeed);
    const std::string before = ReadFile(IdentityStore());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Open());
        Choose("Home");
        if (c.ok) {
            ui_.QueueType(201, c.what);
            ui_.QueueClick(IDOK);
        } else {
            ui_.QueueEscape();
        }
        Click("new");
        EXPECT_EQ(SelectedName(), c.selected);
        EXPECT_EQ(Message(), c.message);
        EXPECT_EQ(ReadFile(IdentityStore()), before);
        EXPECT_EQ(ui_.PendingSteps(), 0u);
    }
}

TEST_F(IdentityPagesTest, SavingAnEditedIdentityChangesOnlyThatIdentity) {
    Seed(kSeed);
    ASSERT_TRUE(Open());
    Choose("Home");
    const std::string rowOf =
        "Array.from(document.querySelectorAll('#field-rows input.key')).findIndex(i => i.value "
        "=== ";
    const int city = std::stoi(InMain(rowOf + "'City')"));
    const int zip = std::stoi(InMain(rowOf + "'Zip')"));
    // Revert brings back what is stored.
    TypeField(city, "value", "Spiez");
    EXPECT_EQ(InMain("document.getElementById('save').disabled"), "false");
    Click("revert");
    EXPECT_EQ(ShownFields(), Identities(kSeed).at("Home"));
    EXPECT_EQ(InMain("document.getElementById('save').disabled"), "true");

    TypeField(city, "value", "Thun");
    Act("document.querySelectorAll('#field-rows button.remove')[" + std::to_string(zip) +
        "].click()");
    Click("add-field");
    TypeField(static_cast<int>(kSeed[0].fields.size()) - 1, "key", "Mobile");
    TypeField(static_cast<int>(kSeed[0].fields.size()) - 1, "value", "079 000 00 00");

    // Leaving with unsaved changes asks first; No keeps them.
    ui_.QueueMessageBoxAnswer(IDNO);
    Choose("Work");
    EXPECT_EQ(ui_.MessageTexts(), Lines{"The changes to \"Home\" are not saved.\n\nDiscard them?"});
    EXPECT_EQ(SelectedName(), "Home");
    EXPECT_EQ(InMain("document.getElementById('dirty-note').hidden"), "false");
    Screenshot("pages-edited.png");

    Click("save");
    EXPECT_EQ(Message(), "");
    std::map<std::string, Fields> expected = Identities(kSeed);
    expected["Home"] = {{"City", "Thun"},           {"First name", "Anna"},
                        {"Last name", "Muster"},    {"Mobile", "079 000 00 00"},
                        {"Phone", "031 123 45 67"}, {"Street", "Aareweg 4"}};
    EXPECT_EQ(Stored(), expected);
    EXPECT_EQ(ShownFields(), expected["Home"]);
    EXPECT_EQ(InMain("document.getElementById('save').disabled"), "true") << "nothing left to save";
}

TEST_F(IdentityPagesTest, DeletingAsksFirstAndRemovesOnlyOnYes) {
    const struct {
        const char* name;
        int answer;
        bool removed;
    } cases[] = {
        {"Work", IDYES, true},
        {"Work", IDNO, false},
        {"Empty", IDYES, true},  // stored without any field
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.answer == IDYES ? " yes" : " no"));
        std::vector<Entry> seed = kSeed;
        seed.push_back({"Empty", false, {}});
        Seed(seed);
        ASSERT_TRUE(Open());
        Choose(c.name);
        ui_.ClearTranscript();
        ui_.QueueMessageBoxAnswer(c.answer);
        Click("delete");
        EXPECT_EQ(ui_.MessageTexts(),
                  Lines{"Delete the identity \"" + std::string(c.name) + "\" and all its fields?"});
        std::map<std::string, Fields> expected = Identities(seed);
        if (c.removed) {
            expected.erase(c.name);
        }
        EXPECT_EQ(Stored(), expected);
        EXPECT_EQ(ListedNames(), StoredNames());
        EXPECT_EQ(Message(), "");
        if (!c.removed) {
            EXPECT_EQ(SelectedName(), c.name);
        }
    }
}

TEST_F(IdentityPagesTest, TheKeyboardReachesTheCommands) {
    Seed(kSeed);
    auto key = [&](const std::string& name, bool ctrl) {
        Act("document.activeElement.dispatchEvent(new KeyboardEvent('keydown', {key: '" + name +
            "', ctrlKey: " + (ctrl ? "true" : "false") + ", bubbles: true}))");
    };
    ASSERT_TRUE(Open());
    EXPECT_EQ(TextInMain("document.activeElement.id"), "list") << "the list has the focus";

    // Enter goes from the list to the first field, Ctrl+S saves, Ctrl+Enter adds a field.
    Choose("Work");
    InMain("document.getElementById('list').focus()");
    key("Enter", false);
    EXPECT_EQ(TextInMain("document.activeElement.className"), "key");
    const std::string firstKey = TextInMain("document.activeElement.value");
    TypeField(0, "value", "typed");
    key("s", true);
    Fields expected;
    const std::map<std::string, Fields> seeded = Identities(kSeed);
    for (const auto& [k, v] : seeded.at("Work")) {
        expected.emplace_back(k, k == firstKey ? "typed" : v);
    }
    EXPECT_EQ(Stored().at("Work"), expected);
    key("Enter", true);
    EXPECT_EQ(InMain("document.querySelectorAll('#field-rows tr').length"), "3");
    EXPECT_EQ(TextInMain("document.activeElement.className"), "key");

    // Delete in the list asks, then deletes (an empty new field is no unsaved change).
    InMain("document.getElementById('list').focus()");
    ui_.ClearTranscript();
    ui_.QueueMessageBoxAnswer(IDYES);
    key("Delete", false);
    EXPECT_EQ(ui_.MessageTexts(), Lines{"Delete the identity \"Work\" and all its fields?"});
    EXPECT_EQ(Stored().count("Work"), 0u);
    EXPECT_EQ(ListedNames(), StoredNames());

    // The title bar's access keys work from the identities frame: Alt+A, the About box.
    ui_.ClearTranscript();
    InMain(
        "document.activeElement.dispatchEvent(new KeyboardEvent('keydown', {key: 'a', "
        "altKey: true, bubbles: true}))");
    EXPECT_TRUE(Wait([&] {
        const Lines lines = ui_.Lines();
        return !lines.empty() && lines.front().rfind("Dialog 100 ", 0) == 0;
    })) << (ui_.Lines().empty() ? "nothing shown" : ui_.Lines().front());
}

TEST_F(IdentityPagesTest, ExportCopiesTheStoreAndImportMergesAFileIntoTheList) {
    Seed(kSeed);
    ASSERT_TRUE(Open());
    std::filesystem::create_directories(Path("usb"));
    ui_.QueueFileDialogAnswer(Path("usb/QbIDStorage.cfg"));
    Click("export");
    EXPECT_EQ(ReadFile(Path("usb/QbIDStorage.cfg")), ReadFile(IdentityStore()));

    WriteStore(Path("usb/QbIDStorage.cfg"), {{"Library", true, {{"Card no", "L-889"}}},
                                             {"Work", true, {{"Company", "Other AG"}}}});
    ui_.QueueFileDialogAnswer(Path("usb/QbIDStorage.cfg"));
    Click("import");
    std::map<std::string, Fields> expected = Identities(kSeed);
    expected["Library"] = {{"Card no", "L-889"}};
    expected["Work"] = {{"Company", "Other AG"}};
    EXPECT_EQ(Stored(), expected);
    EXPECT_EQ(ListedNames(), StoredNames()) << "the list is read again";
    Choose("Work");
    EXPECT_EQ(ShownFields(), expected["Work"]);
    EXPECT_EQ(ui_.MessageTexts(), (Lines{"Identity databse Exported Successfully",
                                         "Identity databse Imported Successfully"}));
    EXPECT_EQ(Message(), "");
}

// Failures of the server reach the page as rejected promises; each one shows in the
// message bar and the status line, and nothing is written.
TEST_F(IdentityPagesTest, FailuresShowInThePage) {
    const struct {
        const char* what;
        bool brokenAtStart;
        const char* message;  // the start of the message bar's text
    } cases[] = {
        {"a broken store at the start", true, "error: The identities could not be read: "},
        {"a store broken before a save", false, "error: \u201CHome\u201D could not be saved: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Seed(kSeed);
        const std::string broken("\x01\x00\x05", 3);
        if (c.brokenAtStart) {
            WriteFile(IdentityStore(), broken);
        }
        ASSERT_TRUE(Open());
        if (!c.brokenAtStart) {
            Choose("Home");
            TypeField(0, "value", "changed");
            WriteFile(IdentityStore(), broken);
            ui_.ClearTranscript();
            Click("save");
        }
        const std::string message = Message();
        EXPECT_EQ(message.rfind(c.message, 0), 0u) << message;
        EXPECT_GT(message.size(), std::string(c.message).size()) << "the reason is given";
        EXPECT_EQ(TextInFrame("down", "document.getElementById('status').className"), "error");
        EXPECT_EQ(ReadFile(IdentityStore()), broken);
        if (c.brokenAtStart) {
            EXPECT_EQ(TextInMain("document.getElementById('welcome-title').textContent"),
                      "The identities could not be read");
            EXPECT_EQ(InMain("document.getElementById('welcome-retry').hidden"), "false");
            Screenshot("pages-error.png");
            // Once the store is sound again, Try again reads it.
            Seed(kSeed);
            Click("welcome-retry");
            EXPECT_EQ(Message(), "");
            EXPECT_EQ(ListedNames(), StoredNames());
            EXPECT_EQ(TextInFrame("down", "document.getElementById('status').className"), "");
        }
    }
}

TEST_F(IdentityPagesTest, WithoutTheServerModuleEveryFrameSaysWhatFailed) {
    Seed(kSeed);
    ASSERT_EQ(RegSvr("/u /s"), 0);
    ASSERT_TRUE(Open());
    const std::string why =
        ": Automation server can't create object (QBStorage.IdentityCtr): Invalid class string.";
    const std::string read = "The identities could not be read" + why;
    const std::string user = "The user name could not be read" + why;
    const std::string about = "The About box could not be shown" + why;
    // The identities frame and the status line fail at the start, in either order.
    std::string message;
    EXPECT_TRUE(Wait([&] {
        message = Message();
        return message == "error: " + read + "\n" + user ||
               message == "error: " + user + "\n" + read;
    })) << message;
    // A command of the title bar reports to the identities frame.
    InFrame("top", "document.getElementById('about').click()");
    EXPECT_TRUE(Wait([&] {
        message = Message();
        return message.size() > about.size() &&
               message.compare(message.size() - about.size(), about.size(), about) == 0;
    })) << message;
    EXPECT_EQ(TextInFrame("down", "document.getElementById('status').className"), "error");
    EXPECT_EQ(TextInFrame("down", "document.getElementById('status').textContent"), about);
    EXPECT_TRUE(ui_.MessageTexts().empty());
    Screenshot("pages-no-server.png");
}

TEST_F(IdentityPagesTest, FieldsThatCannotBeSavedAreNamedAndNothingIsWritten) {
    Seed(kSeed);
    const std::string before = ReadFile(IdentityStore());
    for (const bool twice : {false, true}) {
        SCOPED_TRACE(twice ? "a name used twice" : "an empty name");
        ASSERT_TRUE(Open());
        Choose("Work");
        // The first field's name becomes empty, or the second field's.
        const std::string second =
            TextInMain("document.querySelectorAll('#field-rows input.key')[1].value");
        TypeField(0, "key", twice ? second : "");
        Click("save");
        EXPECT_EQ(Message(), twice ? "warning: The field name \u201C" + second +
                                         "\u201D is used twice. Each field of an identity "
                                         "needs a name of its own."
                                   : "warning: Every field needs a name. Type one, or remove "
                                     "the field.");
        EXPECT_EQ(InMain("document.activeElement.getAttribute('aria-invalid')"), "\"true\"");
        EXPECT_EQ(ReadFile(IdentityStore()), before);
    }
}

}  // namespace
}  // namespace qbtest
