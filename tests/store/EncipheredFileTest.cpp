#include <gtest/gtest.h>

#include "Crypto.h"
#include "EncipheredFile.h"
#include "QBIdentityList.h"
#include "StoreFiles.h"
#include "StoreFixture.h"

namespace {

class EncipheredFileTest : public storetest::StoreTest {};

// Pieces of every size and alignment, across the 512-byte blocks where the key restarts.
TEST_F(EncipheredFileTest, MatchesTheFileCipherAtAnyPositionAndPieceSize) {
    std::string plain;
    for (int i = 0; i < 1700; ++i) {
        plain += static_cast<char>(i * 7 + 3);
    }
    const std::vector<std::size_t> pieces = {1, 7, 504, 1, 512, 13, 600, 62};  // sum 1700
    {
        CEncipheredFile out;
        ASSERT_TRUE(out.Open(Path("cipher.cfg"), CFile::modeCreate | CFile::modeWrite));
        std::size_t at = 0;
        for (const std::size_t n : pieces) {
            out.Write(plain.data() + at, static_cast<UINT>(n));
            at += n;
        }
        out.Close();
    }
    qbtest::WriteFile(Path("plain.dat"), plain);
    CCrypto().ConvertFile(Path("plain.dat"), Path("reference.cfg"));
    EXPECT_TRUE(qbtest::ReadFile(Path("cipher.cfg")) == qbtest::ReadFile(Path("reference.cfg")));

    CEncipheredFile in;
    ASSERT_TRUE(in.Open(Path("reference.cfg"), CFile::modeRead));
    std::string back;
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {
        std::string piece(*it, '\0');
        ASSERT_EQ(in.Read(piece.data(), static_cast<UINT>(piece.size())), piece.size());
        back += piece;
    }
    EXPECT_TRUE(back == plain);

    // Positions account for what was read ahead.
    ASSERT_EQ(in.Seek(0, CFile::begin), 0u);
    std::string head(100, '\0');
    ASSERT_EQ(in.Read(head.data(), 100), 100u);
    EXPECT_EQ(in.Seek(0, CFile::current), 100u);
    ASSERT_EQ(in.Seek(600, CFile::begin), 600u);
    std::string tail(1100, '\0');
    ASSERT_EQ(in.Read(tail.data(), 1100), 1100u);
    EXPECT_TRUE(head == plain.substr(0, 100));
    EXPECT_TRUE(tail == plain.substr(600));
}

TEST_F(EncipheredFileTest, AStoreIsExactlyTheEncipheredArchive) {
    CQBIdentityList list;
    for (int i = 0; i < 300; ++i) {
        list.AddValue("Field" + std::to_string(i), std::string(i % 40, 'v'));
    }
    list.WriteToFile("Home", "identity");
    list.WriteToFile("Work", "identity");
    ASSERT_TRUE(ui_.transcript().empty());
    // The list enumerates what it read back (reversed within buckets): save it as it is.
    list.SaveToIdentityFile();
    const std::string archive = storetest::WriteBytes(list.Entries(), Path("list.dat"));
    ASSERT_GT(archive.size(), 4096u);
    CCrypto().ConvertFile(Path("list.dat"), Path("expected.cfg"));
    EXPECT_TRUE(qbtest::ReadFile(DataPath("QbIDStorage.cfg")) ==
                qbtest::ReadFile(Path("expected.cfg")));
    EXPECT_EQ(DataFiles(), std::vector<std::string>{"QbIDStorage.cfg"});
}

}  // namespace
