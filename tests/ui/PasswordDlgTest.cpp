// The password dialogs against a temporary hive, driven through the scripted
// backend. Built into both the program's and the server module's foundation: the
// server's eENTER neither shows nor writes the prompt flag, everything else is alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "Crypto.h"
#include "PasswordDlg.h"
#include "ScriptedUi.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "ui/MessageBox.h"

namespace {

using Lines = std::vector<std::string>;

constexpr const char* kKey = "SOFTWARE\\Quenby";
const std::string kStored = "Right";

std::string Box(const std::string& text) {
    return "MessageBox \"Quenby\" 0x30 \"" + text + "\" -> OK";
}
std::string Typed(int id, const std::string& text) {
    return "User types \"" + text + "\" into " + std::to_string(id);
}
std::string SelectAndFocus(int id) {
    return "Select " + std::to_string(id) + " 0..end\nFocus " + std::to_string(id);
}
const std::string kReadError = Box("Error in reading from the registry!");
const std::string kClickOk = "User clicks 1";

std::string Enciphered(const std::string& plain) {
    std::string s = plain;
    CCrypto().ConvertBuffer(reinterpret_cast<unsigned char*>(s.data()),
                            static_cast<short>(s.size()));
    return s;
}

// A password whose enciphered bytes hold a zero and every substitute candidate.
std::string NoSubstituteLeft() {
    const std::string candidates = "+-_|~S=q38A";
    std::string password;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        password.push_back(static_cast<char>(candidates[i] ^ CCrypto::kKey[i]));
    }
    password.push_back(CCrypto::kKey[candidates.size()]);
    return password;
}

const ui::ResourceTable& Templates() {
    static const ui::ResourceTable table{PasswordDialogTemplates(), {}, {}, {}};
    return table;
}

// Splits lines that hold several ("a\nb") so expectations can group them.
Lines Flatten(const Lines& lines) {
    Lines flat;
    for (const std::string& line : lines) {
        std::size_t start = 0;
        for (std::size_t nl; (nl = line.find('\n', start)) != std::string::npos; start = nl + 1) {
            flat.push_back(line.substr(start, nl - start));
        }
        flat.push_back(line.substr(start));
    }
    return flat;
}

class PasswordDlgTest : public qbtest::TempEnvironment {
  protected:
    void SetUp() override {
        TempEnvironment::SetUp();
        CreateKey(kKey);
    }
    // Stores a record the way the dialogs do, outside the transcript.
    void Store(const std::string& password, bool prompt) {
        ASSERT_TRUE(SavePassword(password, prompt));
        ui_.backend.ClearTranscript();
    }
    std::string Record() { return ReadRaw(kKey, "AppValue"); }
    int Run(ePWD_MODE mode) {
        CPasswordDlg dialog(mode);
        return dialog.DoModal();
    }
    void Type(int id, const std::string& text) { backend().QueueType(id, text); }
    ui::ScriptedBackend& backend() { return ui_.backend; }
    Lines Transcript() { return Flatten(backend().Lines()); }

    qbtest::ScriptedUi ui_{Templates()};
};

// One row of the dialogs' failure table: what is typed before OK, what the user sees
// when the dialog opens and after OK. OK fails, the user then presses Escape; the
// registry stays as it was.
struct FailureRow {
    const char* name;
    ePWD_MODE mode;
    bool keyMissing;
    std::vector<std::pair<int, std::string>> typed;
    Lines onOpen;
    Lines afterOk;
};

const char* Caption(ePWD_MODE mode) {
    switch (mode) {
        case eSET:
            return "Quenby - Set Password";
        case eCHANGE:
            return "Quenby - Change Password";
        case eENTER:
            break;
    }
    return "Quenby - Password";
}

std::vector<FailureRow> FailureRows() {
    const std::string tooLong(kMaxPasswordLength + 1, 'p');
    const std::string tooLongMessage =
        Box("The password is too long! Please use a password of at most 258 characters.");
    const std::string mismatch = Box("The re-type password does not match the original password!");
    return {
        {"WrongPassword",
         eENTER,
         false,
         {{1006, "wrong"}},
#if QUENBY_MANAGER_FLAVOUR
         {"Check 1008 checked", "Focus 1006"},
#else
         {"Focus 1006"},
#endif
         {SelectAndFocus(1006), Box("Invalid Password!")}},
        {"WrongOldPassword",
         eCHANGE,
         false,
         {{206, "wrong"}, {1006, "new"}, {205, "differs"}},
         {"Focus 206"},
         {SelectAndFocus(206), Box("Invalid Old Password!")}},
        {"RetypeDiffersOnSet",
         eSET,
         false,
         {{1006, "new"}, {205, "newer"}},
         {"Focus 1006"},
         {mismatch, SelectAndFocus(205)}},
        {"RetypeDiffersOnChange",
         eCHANGE,
         false,
         {{206, "right"}, {1006, "new"}, {205, "newer"}},
         {"Focus 206"},
         {mismatch, SelectAndFocus(205)}},
        {"NoSubstituteOnSet",
         eSET,
         false,
         {{1006, NoSubstituteLeft()}, {205, NoSubstituteLeft()}},
         {"Focus 1006"},
         {Box("Please try some other password!"), SelectAndFocus(1006)}},
        {"NoSubstituteOnChange",
         eCHANGE,
         false,
         {{206, kStored}, {1006, NoSubstituteLeft()}, {205, NoSubstituteLeft()}},
         {"Focus 206"},
         {Box("Please try some other password!"), SelectAndFocus(1006)}},
        {"KeyMissingOnEnter",
         eENTER,
         true,
         {{1006, "right"}},
#if QUENBY_MANAGER_FLAVOUR
         // The prompt flag cannot be read either; like a missing record it reads as set.
         {kReadError, "Check 1008 checked", "Focus 1006"},
#else
         {"Focus 1006"},
#endif
         {kReadError, SelectAndFocus(1006), Box("Invalid Password!")}},
        {"KeyMissingOnSet",
         eSET,
         true,
         {{1006, "new"}, {205, "new"}},
         {"Focus 1006"},
         {Box("Error in writing to the registry!"), SelectAndFocus(1006)}},
        {"KeyMissingOnChange",
         eCHANGE,
         true,
         {{206, "right"}, {1006, "new"}, {205, "new"}},
         {"Focus 206"},
         {kReadError, kReadError, SelectAndFocus(206), Box("Invalid Old Password!")}},
        // Longer than the record holds: refused before anything is written.
        {"TooLongOnSet",
         eSET,
         false,
         {{1006, tooLong}, {205, tooLong}},
         {"Focus 1006"},
         {tooLongMessage, SelectAndFocus(1006)}},
        {"TooLongOnChange",
         eCHANGE,
         false,
         {{206, kStored}, {1006, tooLong}, {205, tooLong}},
         {"Focus 206"},
         {tooLongMessage, SelectAndFocus(1006)}},
    };
}

TEST_F(PasswordDlgTest, EveryFailureKeepsTheDialogOpenAndTheRegistryAsItWas) {
    for (const FailureRow& row : FailureRows()) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        Store(kStored, true);
        const std::string before = Record();
        if (row.keyMissing) {
            ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, kKey), ERROR_SUCCESS);
        }
        Lines expected = {"Dialog " + std::to_string(CPasswordDlg::TemplateFor(row.mode)) + " \"" +
                          Caption(row.mode) + "\" shown"};
        expected.insert(expected.end(), row.onOpen.begin(), row.onOpen.end());
        for (const auto& [id, text] : row.typed) {
            Type(id, text);
            expected.push_back(Typed(id, text));
        }
        backend().QueueClick(IDOK);
        expected.push_back(kClickOk);
        expected.insert(expected.end(), row.afterOk.begin(), row.afterOk.end());
        backend().QueueEscape();
        expected.push_back("User presses Escape");
        expected.push_back("Dialog " + std::to_string(CPasswordDlg::TemplateFor(row.mode)) +
                           " ended -> Cancel");

        EXPECT_EQ(Run(row.mode), IDCANCEL);
        EXPECT_EQ(Transcript(), Flatten(expected));
        if (row.keyMissing) {
            bool found = true;
            ReadRaw(kKey, "AppValue", &found);
            EXPECT_FALSE(found);
        } else {
            EXPECT_EQ(Record(), before);
        }
    }
}

TEST_F(PasswordDlgTest, EnterAcceptsThePasswordIgnoringCase) {
    struct Case {
        bool stored;  // the prompt flag before
        bool click;   // the user toggles the check box
        const char* typed;
        bool after;  // the prompt flag after OK
    } cases[] = {
#if QUENBY_MANAGER_FLAVOUR
        {true, false, "Right", true},
        {true, true, "RIGHT", false},
        {false, true, "right", true},
        {false, false, "rIGHT", false},
#else
        // The server's template has no check box and its OK writes no flag.
        {true, false, "Right", true},
        {false, false, "RIGHT", false},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Store(kStored, c.stored);
        Type(1006, c.typed);
        if (c.click) {
            backend().QueueClick(1008);
        }
        backend().QueueClick(IDOK);
        EXPECT_EQ(Run(eENTER), IDOK);
        EXPECT_TRUE(backend().MessageTexts().empty());
        EXPECT_EQ(Record(), Enciphered(kStored) + (c.after ? "?" : "=") + std::string(1, '\0'));
        EXPECT_TRUE(CheckPassword(kStored));
    }
}

TEST_F(PasswordDlgTest, EnterShowsTheStoredPromptFlag) {
    for (bool prompt : {true, false}) {
        Store(kStored, prompt);
        backend().QueueEscape();
        EXPECT_EQ(Run(eENTER), IDCANCEL);
        const Lines lines = Transcript();
        const bool shownChecked =
            std::find(lines.begin(), lines.end(), "Check 1008 checked") != lines.end();
        EXPECT_EQ(shownChecked, prompt && QUENBY_MANAGER_FLAVOUR) << prompt;
    }
}

TEST_F(PasswordDlgTest, EnterLetsTheUserTryAgain) {
    Store(kStored, false);
    Type(1006, "wrong");
    backend().QueueClick(IDOK);
    Type(1006, kStored);
    backend().QueueEnter();
    EXPECT_EQ(Run(eENTER), IDOK);
    EXPECT_EQ(Transcript(), (Lines{
                                "Dialog 142 \"Quenby - Password\" shown",
                                "Focus 1006",
                                Typed(1006, "wrong"),
                                kClickOk,
                                "Select 1006 0..end",
                                "Focus 1006",
                                Box("Invalid Password!"),
                                Typed(1006, kStored),
                                "User presses Enter (presses 1)",
                                "Dialog 142 ended -> OK",
                            }));
}

TEST_F(PasswordDlgTest, SetStoresTheFirstTextAndTheBox) {
    struct Case {
        const char* password;
        const char* retyped;
        bool click;
        std::string record;
    } cases[] = {
        {"secret", "SECRET", false, Enciphered("secret") + "="},
        {"Secret", "secret", true, Enciphered("Secret") + "?"},
        {"", "", false, "="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password);
        Type(1006, c.password);
        Type(205, c.retyped);
        if (c.click) {
            backend().QueueClick(1008);
        }
        backend().QueueClick(IDOK);
        EXPECT_EQ(Run(eSET), IDOK);
        EXPECT_TRUE(backend().MessageTexts().empty());
        EXPECT_EQ(Record(), c.record + std::string(1, '\0'));
    }
}

TEST_F(PasswordDlgTest, AnEmptyPasswordLetsEveryEntryIn) {
    Type(1006, "");
    Type(205, "");
    backend().QueueClick(IDOK);
    ASSERT_EQ(Run(eSET), IDOK);
    for (const char* entry : {"", "anything"}) {
        Type(1006, entry);
        backend().QueueClick(IDOK);
        EXPECT_EQ(Run(eENTER), IDOK) << entry;
    }
}

TEST_F(PasswordDlgTest, SetTakesTheLongestPasswordTheRecordHolds) {
    const std::string longest(kMaxPasswordLength, 'p');
    Type(1006, longest);
    Type(205, longest);
    backend().QueueClick(IDOK);
    EXPECT_EQ(Run(eSET), IDOK);
    EXPECT_EQ(Record().size(), 260u);
    EXPECT_TRUE(CheckPassword(longest));
}

TEST_F(PasswordDlgTest, ChangeKeepsThePromptFlag) {
    for (bool prompt : {true, false}) {
        SCOPED_TRACE(prompt);
        Store(kStored, prompt);
        Type(206, "RIGHT");
        Type(1006, "Newer");
        Type(205, "newer");
        backend().QueueClick(IDOK);
        EXPECT_EQ(Run(eCHANGE), IDOK);
        EXPECT_TRUE(backend().MessageTexts().empty());
        EXPECT_EQ(Record(), Enciphered("Newer") + (prompt ? "?" : "=") + std::string(1, '\0'));
        EXPECT_FALSE(CheckPassword(kStored));
    }
}

TEST_F(PasswordDlgTest, CancellingNeverWrites) {
    struct Case {
        ePWD_MODE mode;
        void (ui::ScriptedBackend::*step)();
    } cases[] = {
        {eENTER, &ui::ScriptedBackend::QueueEscape},
        {eENTER, &ui::ScriptedBackend::QueueCloseBox},
        {eSET, &ui::ScriptedBackend::QueueEscape},
        {eCHANGE, &ui::ScriptedBackend::QueueCloseBox},
    };
    for (const Case& c : cases) {
        Store(kStored, false);
        const std::string before = Record();
        Type(1006, "other");
        Type(205, "other");
        if (c.mode == eENTER) {
            backend().QueueClick(1008);  // a changed box is not stored either
        }
        (backend().*c.step)();
        EXPECT_EQ(Run(c.mode), IDCANCEL) << c.mode;
        EXPECT_EQ(Record(), before) << c.mode;
        EXPECT_TRUE(backend().MessageTexts().empty());
    }
    Store(kStored, true);
    backend().QueueClick(IDCANCEL);
    EXPECT_EQ(Run(eSET), IDCANCEL) << "the Cancel button";
}

}  // namespace
