// Export and import of the identity store through the control, with the file dialogs
// answered by the scripted UI: the copy, the file-name rule, the merge, and what a
// cancel, a missing file or a broken file does.
#include <gtest/gtest.h>

#include <filesystem>

#include "InstalledServer.h"
#include "ui/MessageBox.h"

namespace {

using qbtest::Call;
using qbtest::CallResult;
using qbtest::DescribeStore;
using Lines = std::vector<std::string>;

constexpr const char* kWrongName = "Please Save the Identity file as QbIDStorage.cfg";
constexpr const char* kExported = "Identity databse Exported Successfully";
constexpr const char* kNotThere = "The selected location does not contains the file to be imported";
constexpr const char* kImported = "Identity databse Imported Successfully";

class ImportExportTest : public qbtest::InstalledControlTest {
  protected:
    void SetUp() override {
        InstalledControlTest::SetUp();
        std::filesystem::create_directories(Path("usb"));
    }
    // The texts of the message boxes shown, without the file dialog's own question
    // before it replaces a file.
    Lines Messages() const {
        Lines texts;
        for (const std::string& t : ui_.MessageTexts()) {
            if (t.find("already exists") == std::string::npos)
                texts.push_back(t);
        }
        return texts;
    }
    CallResult Run(const char16_t* member) { return Call(control_.get(), member); }
    LONG Count() { return qbtest::Get(control_.get(), u"Count").number; }
    // The file dialogs shown, as their transcript lines.
    Lines Dialogs() const {
        Lines shown;
        for (const std::string& line : ui_.Lines()) {
            if (line.rfind("FileDialog ", 0) == 0)
                shown.push_back(line);
        }
        return shown;
    }
};

TEST_F(ImportExportTest, ExportCopiesTheStoreUnchanged) {
    qbtest::WriteStore(IdentityStore(), {{"Home", true, {{"City", "Bern"}}}});
    qbtest::WriteStore(PasscardStore(), {{"Bank", true, {{"PIN", "1"}}}});
    const std::string store = qbtest::ReadFile(IdentityStore());
    ui_.QueueFileDialogAnswer(Path("usb/QbIDStorage.cfg"));
    EXPECT_EQ(Run(u"Export").hr, S_OK);
    EXPECT_EQ(qbtest::ReadFile(Path("usb/QbIDStorage.cfg")), store);
    EXPECT_EQ(ui_.MessageTexts(), Lines{kExported});
    EXPECT_EQ(Dialogs(), Lines{"FileDialog save \"QbIDStorage.cfg\" filter \"Database Files "
                               "(*.cfg)|*.CFG||\" flags 0x1802 shown"});
    EXPECT_EQ(ui_.Lines().back(),
              "MessageBox \"Quenby\" 0x0 \"" + std::string(kExported) + "\" -> OK");
    EXPECT_EQ(qbtest::ReadFile(IdentityStore()), store);
    EXPECT_EQ(DataFolderFiles(), (Lines{"QbIDStorage.cfg", "QbPASStorage.cfg"}));
    EXPECT_EQ(Count(), 0) << "the list is not read";
    // Over an existing file, the dialog asks first.
    qbtest::WriteStore(IdentityStore(), {{"Work", true, {}}});
    ui_.ClearTranscript();
    ui_.QueueFileDialogAnswer(Path("usb/QbIDStorage.cfg"));
    ui_.QueueMessageBoxAnswer(IDYES);
    EXPECT_EQ(Run(u"Export").hr, S_OK);
    EXPECT_EQ(qbtest::ReadFile(Path("usb/QbIDStorage.cfg")), qbtest::ReadFile(IdentityStore()));
    EXPECT_EQ(ui_.MessageTexts(),
              (Lines{"QbIDStorage.cfg already exists.\nDo you want to replace it?", kExported}));
}

TEST_F(ImportExportTest, OnlyTheNameQbIDStorageCfgIsTaken) {
    qbtest::WriteStore(IdentityStore(), {{"Home", true, {{"City", "Bern"}}}});
    qbtest::WriteStore(Path("usb/QbIDStorage.cfg"), {{"Gym", true, {}}});
    const struct {
        const char16_t* member;
        const char* last;
        int replacePrompts;  // an export asks before it replaces an existing file
    } cases[] = {{u"Import", kImported, 0}, {u"Export", kExported, 4}};
    for (const auto& c : cases) {
        ui_.ClearTranscript();
        for (const char* wrong : {"usb/qbidstorage.cfg", "usb/QbIDStorage.CFG", "usb/store.cfg"}) {
            qbtest::WriteFile(Path(wrong), "");
            ui_.QueueFileDialogAnswer(Path(wrong));
        }
        ui_.QueueFileDialogAnswer(Path("usb/QbIDStorage.cfg"));
        for (int i = 0; i < c.replacePrompts; ++i)
            ui_.QueueMessageBoxAnswer(IDYES);
        EXPECT_EQ(Run(c.member).hr, S_OK);
        EXPECT_EQ(Messages(), (Lines{kWrongName, kWrongName, kWrongName, c.last}));
        EXPECT_EQ(Dialogs().size(), 4u);
        EXPECT_EQ(ui_.PendingAnswers(), 0u);
    }
    EXPECT_EQ(DescribeStore(IdentityStore()), "Gym{} Home{City=Bern}");
    EXPECT_EQ(qbtest::ReadFile(Path("usb/QbIDStorage.cfg")), qbtest::ReadFile(IdentityStore()));
}

TEST_F(ImportExportTest, CancelEndsEitherOperationQuietly) {
    qbtest::WriteStore(IdentityStore(), {{"Home", true, {{"City", "Bern"}}}});
    qbtest::WriteStore(Path("usb/QbIDStorage.cfg"), {{"Gym", true, {}}});
    qbtest::WriteFile(Path("usb/other.cfg"), "x");
    const std::string store = qbtest::ReadFile(IdentityStore());
    const std::string file = qbtest::ReadFile(Path("usb/QbIDStorage.cfg"));
    const struct {
        const char16_t* member;
        std::vector<const char*> answers;  // nullptr: Cancel
        Lines messages;
        bool replacePrompt;  // an export asks before it takes the existing other.cfg
    } cases[] = {
        {u"Export", {nullptr}, {}, false},
        {u"Import", {nullptr}, {}, false},
        {u"Export", {"usb/other.cfg", nullptr}, {kWrongName}, true},
        {u"Import", {"usb/other.cfg", nullptr}, {kWrongName}, false},
    };
    for (const auto& c : cases) {
        ui_.ClearTranscript();
        for (const char* answer : c.answers) {
            if (answer == nullptr)
                ui_.QueueFileDialogCancel();
            else
                ui_.QueueFileDialogAnswer(Path(answer));
        }
        if (c.replacePrompt)
            ui_.QueueMessageBoxAnswer(IDYES);
        EXPECT_EQ(Run(c.member).hr, S_OK);
        EXPECT_EQ(Messages(), c.messages);
        EXPECT_EQ(ui_.PendingFileAnswers(), 0u);
        EXPECT_EQ(ui_.PendingAnswers(), 0u);
        EXPECT_EQ(qbtest::ReadFile(IdentityStore()), store);
        EXPECT_EQ(qbtest::ReadFile(Path("usb/QbIDStorage.cfg")), file);
        EXPECT_EQ(qbtest::ReadFile(Path("usb/other.cfg")), "x");
    }
    EXPECT_EQ(Count(), 0);
}

TEST_F(ImportExportTest, ExportRefusesWhatWouldDestroyOrNotBeTheStore) {
    // No store yet: nothing to export.
    ui_.QueueFileDialogAnswer(Path("usb/QbIDStorage.cfg"));
    EXPECT_EQ(Run(u"Export").hr, S_OK);
    EXPECT_EQ(ui_.MessageTexts(), Lines{"There is no Identity database to export yet."});
    EXPECT_FALSE(std::filesystem::exists(Path("usb/QbIDStorage.cfg")));

    // The store itself as the destination.
    qbtest::WriteStore(IdentityStore(), {{"Home", true, {{"City", "Bern"}}}});
    const std::string store = qbtest::ReadFile(IdentityStore());
    ui_.ClearTranscript();
    ui_.QueueFileDialogAnswer(IdentityStore());
    ui_.QueueMessageBoxAnswer(IDYES);
    EXPECT_EQ(Run(u"Export").hr, S_OK);
    EXPECT_EQ(ui_.MessageTexts().back(),
              "The Identity database cannot be exported onto itself. Please choose another "
              "location.");
    EXPECT_EQ(qbtest::ReadFile(IdentityStore()), store);

    // A destination that cannot be written: the copy says so and changes nothing.
    std::filesystem::create_directories(Path("usb/QbIDStorage.cfg"));
    ui_.ClearTranscript();
    ui_.QueueFileDialogAnswer(Path("usb/QbIDStorage.cfg"));
    ui_.QueueMessageBoxAnswer(IDYES);
    EXPECT_EQ(Run(u"Export").hr, S_OK);
    EXPECT_EQ(ui_.Lines().back(), "MessageBox \"Quenby\" 0x0 \"Unable to write the file " +
                                      Path("usb/QbIDStorage.cfg") +
                                      ". Nothing was copied.\" -> OK");
    EXPECT_TRUE(std::filesystem::is_directory(Path("usb/QbIDStorage.cfg")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("usb")),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left beside the destination";
    EXPECT_EQ(qbtest::ReadFile(IdentityStore()), store);
}

TEST_F(ImportExportTest, ImportIntoAnInstallationWithoutStoreTakesTheFileUnchanged) {
    // Not even a store archive: without a store, the file is taken as it is.
    qbtest::WriteFile(Path("usb/QbIDStorage.cfg"), "bytes that are not deciphered");
    ui_.QueueFileDialogAnswer(Path("usb/QbIDStorage.cfg"));
    EXPECT_EQ(Run(u"Import").hr, S_OK);
    EXPECT_EQ(qbtest::ReadFile(IdentityStore()), "bytes that are not deciphered");
    EXPECT_EQ(ui_.MessageTexts(), Lines{kImported});
    EXPECT_EQ(Dialogs(), Lines{"FileDialog save \"QbIDStorage.cfg\" filter \"Database Files "
                               "(*.cfg)|*.CFG||\" flags 0x1800 shown"});
    EXPECT_EQ(Count(), 0) << "the list waits for its next load";
    EXPECT_EQ(DataFolderFiles(), Lines{"QbIDStorage.cfg"});
}

TEST_F(ImportExportTest, ImportNeedsAFileAtThePathChosen) {
    qbtest::WriteStore(Path("usb/wrong.cfg"), {{"Gym", true, {}}});
    const struct {
        std::vector<const char*> answers;
        Lines messages;
    } cases[] = {
        {{"usb/QbIDStorage.cfg"}, {kNotThere}},
        // A path chosen again after the name was refused is checked as well.
        {{"usb/wrong.cfg", "usb/QbIDStorage.cfg"}, {kWrongName, kNotThere}},
    };
    for (const auto& c : cases) {
        ui_.ClearTranscript();
        for (const char* answer : c.answers)
            ui_.QueueFileDialogAnswer(Path(answer));
        EXPECT_EQ(Run(u"Import").hr, S_OK);
        EXPECT_EQ(ui_.MessageTexts(), c.messages);
        EXPECT_EQ(DataFolderFiles(), Lines{});
    }
}

TEST_F(ImportExportTest, ImportMergesByNameWithTheFilesVersionWinning) {
    qbtest::WriteStore(IdentityStore(),
                       {{"Home", true, {{"Street", "Gasse 1"}, {"Zip", "3000"}, {"Phone", "031"}}},
                        {"Work", true, {{"City", "Zug"}}}});
    qbtest::WriteStore(PasscardStore(), {{"Bank", true, {{"PIN", "1"}}}});
    const std::string cards = qbtest::ReadFile(PasscardStore());
    qbtest::WriteStore(Path("usb/QbIDStorage.cfg"),
                       {{"Home", true, {{"City", "Bern"}}}, {"Gym", false, {}}});
    // The page has listed the identities and has a field pending.
    EXPECT_EQ(qbtest::Get(control_.get(), u"KeyValue").text, "Work");
    EXPECT_EQ(
        Call(control_.get(), u"SetKeyValue", {qbtest::Text(u"Mail"), qbtest::Text(u"a@b")}).hr,
        S_OK);
    ui_.QueueFileDialogAnswer(Path("usb/QbIDStorage.cfg"));
    EXPECT_EQ(Run(u"Import").hr, S_OK);
    EXPECT_EQ(ui_.MessageTexts(), Lines{kImported});
    EXPECT_EQ(DescribeStore(IdentityStore()), "Work{City=Zug} Gym Home{City=Bern}");
    EXPECT_EQ(Count(), 3) << "the list holds the union too";
    EXPECT_EQ(qbtest::ReadFile(PasscardStore()), cards) << "the passcard store is not touched";
    EXPECT_EQ(DataFolderFiles(), (Lines{"QbIDStorage.cfg", "QbPASStorage.cfg"}));
    // The pending field was discarded by the import.
    EXPECT_EQ(
        Call(control_.get(), u"WriteToFile", {qbtest::Text(u"New"), qbtest::Text(u"identity")}).hr,
        S_OK);
    EXPECT_EQ(DescribeStore(IdentityStore()), "Work{City=Zug} Gym New Home{City=Bern}");
}

TEST_F(ImportExportTest, ABrokenFileFailsTheImportAndChangesNothing) {
    qbtest::WriteStore(IdentityStore(), {{"Home", true, {{"City", "Bern"}}}});
    const std::string store = qbtest::ReadFile(IdentityStore());
    qbtest::WriteFile(Path("usb/QbIDStorage.cfg"), std::string("\x01\x00\x05", 3));
    ui_.QueueFileDialogAnswer(Path("usb/QbIDStorage.cfg"));
    const CallResult r = Run(u"Import");
    EXPECT_EQ(r.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(r.error.rfind("Import: ", 0), 0u) << r.error;
    EXPECT_GT(r.error.size(), 8u);
    EXPECT_EQ(ui_.MessageTexts(), Lines{}) << "no success is claimed";
    EXPECT_EQ(qbtest::ReadFile(IdentityStore()), store);
    EXPECT_EQ(DataFolderFiles(), Lines{"QbIDStorage.cfg"});
    // The control goes on working.
    EXPECT_EQ(qbtest::Get(control_.get(), u"KeyValue").text, "Home");
}

}  // namespace
