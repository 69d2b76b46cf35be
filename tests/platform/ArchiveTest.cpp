#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "TestEnvironment.h"
#include "files/Archive.h"
#include "files/FileFind.h"
#include "files/FileSystem.h"

namespace {

class ArchiveTest : public qbtest::TempEnvironment {};

TEST_F(ArchiveTest, RoundTripsAcrossBufferBoundaries) {
    const std::string longText(70000, 'x');
    for (const UINT buffer : {16u, CArchive::kDefaultBufferSize}) {
        const std::string path = Path("a" + std::to_string(buffer));
        {
            CFile file;
            ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
            CArchive ar(&file, CArchive::store, buffer);
            for (int i = 0; i < 10; ++i) {
                ar.WriteByte(0xAB);
                ar.WriteWord(0xBEEF);
                ar.WriteDword(0xDEADBEEF);
                ar.WriteCount(i % 2 == 0 ? 7u : 70000u);
                ar.WriteString(i % 3 == 0 ? longText : "short");
            }
            ar.Close();
            file.Close();
        }
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeRead));
        CArchive ar(&file, CArchive::load, buffer);
        std::string s;
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(ar.ReadByte(), 0xAB);
            EXPECT_EQ(ar.ReadWord(), 0xBEEF);
            EXPECT_EQ(ar.ReadDword(), 0xDEADBEEFu);
            EXPECT_EQ(ar.ReadCount(), i % 2 == 0 ? 7u : 70000u);
            ar.ReadString(s);
            EXPECT_EQ(s, i % 3 == 0 ? longText : "short") << i;
        }
        EXPECT_TRUE(ar.AtEnd());
        EXPECT_EQ(ar.GetPosition(), file.GetLength());
    }
}

TEST_F(ArchiveTest, WritesWholeBuffersAndDropsTheRestUnlessClosed) {
    const std::string data(5000, 'd');
    struct Case {
        const char* what;
        void (*finish)(CArchive&);
        std::uint64_t size;
    } cases[] = {
        {"closed", [](CArchive& ar) { ar.Close(); }, 5000},
        {"aborted", [](CArchive& ar) { ar.Abort(); }, 4096},
        {"destroyed", [](CArchive&) {}, 4096},
    };
    for (const Case& c : cases) {
        CFile file;
        ASSERT_TRUE(file.Open(Path("blocks"), CFile::modeCreate | CFile::modeWrite));
        {
            CArchive ar(&file, CArchive::store);
            ar.Write(data.data(), data.size());
            EXPECT_EQ(file.GetLength(), 4096u) << "one full buffer written so far";
            c.finish(ar);
        }
        EXPECT_EQ(file.GetLength(), c.size) << c.what;
    }
}

TEST_F(ArchiveTest, LoadFaultsCarryTheOffsetAndWrongDirectionsAreRefused) {
    qbtest::WriteFile(Path("short"), std::string("\x01\x02\x03", 3));
    CFile file;
    ASSERT_TRUE(file.Open(Path("short"), CFile::modeRead));
    CArchive ar(&file, CArchive::load);
    EXPECT_EQ(ar.ReadWord(), 0x0201);
    EXPECT_EQ(ar.BytesRemaining(), 1u);
    try {
        ar.ReadDword();
        ADD_FAILURE() << "read past the end";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        EXPECT_EQ(e.m_offset, 2u);
        EXPECT_NE(std::string(e.what()).find("Format error at byte 2 of " + Path("short")),
                  std::string::npos)
            << e.what();
    }
    try {
        ar.WriteByte(1);
        ADD_FAILURE() << "wrote to a load archive";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::readOnly);
    }
    CFile out;
    ASSERT_TRUE(out.Open(Path("out"), CFile::modeCreate | CFile::modeWrite));
    CArchive store(&out, CArchive::store);
    EXPECT_THROW(store.ReadByte(), CArchiveException);
}

TEST_F(ArchiveTest, AttributesMapToTheOwnersWriteBit) {
    const std::string path = Path("store.cfg");
    qbtest::WriteFile(path, "data");
    ::chmod(path.c_str(), 0664);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
    CFile file;
    EXPECT_FALSE(file.Open(path, CFile::modeCreate | CFile::modeWrite))
        << "read-only, even for root";
    EXPECT_FALSE(DeleteFileA(path.c_str())) << "a read-only file is not deleted";
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_FALSE(DeleteFileA(path.c_str())) << "already gone";
    EXPECT_FALSE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(DeleteFileA(root().c_str())) << "a folder";
    EXPECT_EQ(GetFileAttributesA(root().c_str()), FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(ArchiveTest, FindFileTestsExistenceLiterally) {
    qbtest::WriteFile(Path("QbIDStorage.cfg"), "x");
    struct Case {
        std::string path;
        bool found;
    } cases[] = {
        {Path("QbIDStorage.cfg"), true},
        {Path("qbidstorage.cfg"), false},
        {Path("*.cfg"), false},
        {Path("missing"), false},
        {"", false},
    };
    for (const Case& c : cases) {
        CFileFind finder;
        EXPECT_EQ(finder.FindFile(c.path), c.found) << c.path;
        EXPECT_EQ(finder.GetFilePath(), c.found ? c.path : "");
    }
}

}  // namespace
