// The copy routine of export and import: the bytes unchanged whatever the length, and a
// source or destination that fails leaves the destination as it was, with a message.
#include <gtest/gtest.h>

#include <filesystem>

#include "StoreCopy.h"
#include "StoreFixture.h"

namespace {

using Lines = std::vector<std::string>;

class StoreCopyTest : public storetest::StoreTest {};

TEST_F(StoreCopyTest, CopiesEveryByteUnchanged) {
    for (const std::size_t length : {0u, 1u, 511u, 512u, 513u, 1024u, 5000u}) {
        std::string bytes(length, '\0');
        for (std::size_t i = 0; i < length; ++i) {
            bytes[i] = static_cast<char>((i * 7 + length) % 256);
        }
        qbtest::WriteFile(Path("source"), bytes);
        qbtest::WriteFile(Path("copy"), "older and longer content than some of the sources");
        EXPECT_TRUE(store::CopyStoreFile(Path("source"), Path("copy"))) << length;
        EXPECT_EQ(qbtest::ReadFile(Path("copy")), bytes) << length;
    }
    EXPECT_TRUE(ui_.transcript().empty());
}

TEST_F(StoreCopyTest, AFailureSaysSoAndLeavesTheDestinationAsItWas) {
    std::filesystem::create_directories(Path("folder"));
    qbtest::WriteFile(Path("source"), "new");
    const struct {
        std::string source;
        std::string destination;
        std::string message;
    } cases[] = {
        {Path("missing"), Path("copy"),
         "Unable to read the file " + Path("missing") + ". Nothing was copied."},
        {Path("folder"), Path("copy"),
         "Unable to read the file " + Path("folder") + ". Nothing was copied."},
        {Path("source"), Path("no/such/folder/copy"),
         "Unable to write the file " + Path("no/such/folder/copy") + ". Nothing was copied."},
        {Path("source"), Path("folder"),
         "Unable to write the file " + Path("folder") + ". Nothing was copied."},
    };
    for (const auto& c : cases) {
        qbtest::WriteFile(Path("copy"), "old");
        ui_.ClearTranscript();
        EXPECT_FALSE(store::CopyStoreFile(c.source, c.destination)) << c.message;
        EXPECT_EQ(ui_.Lines(), Lines{"MessageBox \"Quenby\" 0x0 \"" + c.message + "\" -> OK"});
        EXPECT_EQ(qbtest::ReadFile(Path("copy")), "old");
        EXPECT_TRUE(std::filesystem::is_directory(Path("folder")));
        EXPECT_TRUE(std::filesystem::is_empty(Path("folder")));
    }
    // Nothing of a failed copy is left beside its destination.
    for (const auto& entry : std::filesystem::directory_iterator(root())) {
        EXPECT_EQ(entry.path().filename().string().find(".new-"), std::string::npos)
            << entry.path();
    }
}

}  // namespace
