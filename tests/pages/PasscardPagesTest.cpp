// The passcards view of the pages against the real server module: the stored passcards
// in store order with their fields (read through the members' out parameters), and
// deletion with its question.
#include <gtest/gtest.h>

#include "EntryMap.h"
#include "PagesFixture.h"
#include "StoreFiles.h"
#include "ui/MessageBox.h"

namespace qbtest {
namespace {

using storetest::Entry;
using Lines = std::vector<std::string>;

const std::vector<Entry> kPasscards = {
    {"mail.example.org", true, {{"user", "anna"}, {"password", "s3cret!"}}},
    {"bank.example.ch", true, {{"contract", "12-345"}, {"pin", "0000"}, {"user", "amuster"}}},
    {"shop.example.com", true, {{"email", "anna@example.org"}}},
    {"no fields", false, {}},
};

class PasscardPagesTest : public PagesTest {
  protected:
    void SetUp() override {
        PagesTest::SetUp();
        Seed({{"Home", true, {{"City", "Bern"}}}});
        WriteStore(PasscardStore(), kPasscards);
    }
    Lines StoredPasscards() const {
        EntryMap map;
        store::LoadStore(PasscardStore(), map);
        Lines names;
        for (const Entry& entry : storetest::Enumerate(map)) {
            names.push_back(entry.name);
        }
        return names;
    }
    // Opens the view from the title bar, as a click there does.
    void OpenPasscards() {
        InFrame("top", "document.getElementById('passcards').click()");
        ASSERT_TRUE(Wait([&] {
            return InMain(
                       "document.getElementById('passcards').open && "
                       "!('busy' in document.body.dataset)") == "true";
        }));
    }
    Lines Listed() {
        Lines names;
        for (const QJsonValue& name :
             ParseArray(InMain("Array.from(document.querySelectorAll('#passcard-list li'))"
                               ".map(li => li.dataset.name)"))) {
            names.push_back(name.toString().toStdString());
        }
        return names;
    }
    std::string Selected() {
        return TextInMain(
            "(document.querySelector('#passcard-list li[aria-selected=\"true\"]') || "
            "{dataset: {}}).dataset.name || ''");
    }
    Fields Shown() {
        Fields fields;
        for (const QJsonValue& row :
             ParseArray(InMain("Array.from(document.querySelectorAll('#passcard-rows tr'))"
                               ".filter(tr => tr.cells.length === 2)"
                               ".map(tr => Array.from(tr.cells).map(td => td.textContent))"))) {
            fields.emplace_back(row.toArray()[0].toString().toStdString(),
                                row.toArray()[1].toString().toStdString());
        }
        std::sort(fields.begin(), fields.end());
        return fields;
    }
    void ChoosePasscard(const std::string& name) {
        Act("Array.from(document.querySelectorAll('#passcard-list li'))"
            ".find(li => li.dataset.name === " +
            JsString(name) + ").click()");
    }
};

Fields Sorted(const Entry& entry) {
    Fields fields(entry.fields.begin(), entry.fields.end());
    std::sort(fields.begin(), fields.end());
    return fields;
}

TEST_F(PasscardPagesTest, TheViewListsTheStoredPasscardsInStoreOrderWithTheirFields) {
    ASSERT_TRUE(Open());
    OpenPasscards();
    const Lines stored = StoredPasscards();
    ASSERT_EQ(stored.size(), kPasscards.size());
    EXPECT_EQ(Listed(), stored);
    EXPECT_EQ(Selected(), stored.front());
    for (auto it = kPasscards.rbegin(); it != kPasscards.rend(); ++it) {
        ChoosePasscard(it->name);
        EXPECT_EQ(Selected(), it->name);
        const Fields expected = it->hasFields ? Sorted(*it) : Fields{};
        EXPECT_EQ(Shown(), expected) << it->name;
    }
    ChoosePasscard("no fields");
    EXPECT_EQ(TextInMain("document.getElementById('passcard-rows').textContent"),
              "This passcard has no fields.");
    ChoosePasscard("bank.example.ch");
    EXPECT_EQ(TextInMain("document.getElementById('passcards-note').textContent"), "4 passcards");
    EXPECT_EQ(InMain("document.getElementById('passcards-error').hidden"), "true");
    Screenshot("pages-passcards.png");

    Act("document.getElementById('passcards-close').click()");
    EXPECT_EQ(InMain("document.getElementById('passcards').open"), "false");
    EXPECT_EQ(StoredPasscards(), stored) << "reading changes nothing";
    EXPECT_TRUE(ui_.MessageTexts().empty());
}

TEST_F(PasscardPagesTest, DeletingAsksFirstAndRemovesOnlyThatPasscardOnYes) {
    const struct {
        const char* name;
        int answer;
    } cases[] = {{"bank.example.ch", IDNO}, {"bank.example.ch", IDYES}, {"no fields", IDYES}};
    ASSERT_TRUE(Open());
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.answer == IDYES ? " yes" : " no"));
        Lines expected = StoredPasscards();
        if (c.answer == IDYES) {
            expected.erase(std::find(expected.begin(), expected.end(), c.name));
        }
        OpenPasscards();
        ChoosePasscard(c.name);
        ui_.ClearTranscript();
        ui_.QueueMessageBoxAnswer(c.answer);
        Act("document.getElementById('passcard-delete').click()");
        EXPECT_EQ(ui_.MessageTexts(),
                  Lines{"Delete the passcard \"" + std::string(c.name) + "\" and all its fields?"});
        EXPECT_EQ(StoredPasscards(), expected);
        EXPECT_EQ(Listed(), expected);
        EXPECT_EQ(InMain("document.getElementById('passcards-error').hidden"), "true");
        Act("document.getElementById('passcards-close').click()");
    }
    EXPECT_EQ(ListedNames(), Lines{"Home"}) << "the identities are left alone";
}

TEST_F(PasscardPagesTest, AnEmptyPasscardStoreSaysSo) {
    std::filesystem::remove(PasscardStore());
    ASSERT_TRUE(Open());
    OpenPasscards();
    EXPECT_EQ(Listed(), Lines{});
    EXPECT_EQ(InMain("document.getElementById('passcards-empty').hidden"), "false");
    EXPECT_EQ(InMain("document.getElementById('passcard-delete').disabled"), "true");
    EXPECT_EQ(InMain("document.getElementById('passcards-error').hidden"), "true");
}

}  // namespace
}  // namespace qbtest
