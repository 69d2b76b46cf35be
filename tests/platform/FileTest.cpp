#include <sys/stat.h>

#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "files/File.h"

namespace {

class FileTest : public qbtest::TempEnvironment {};

TEST_F(FileTest, CreatesPrivateFilesAndTruncates) {
    const std::string path = Path("twin.dat");
    qbtest::WriteFile(path, "old and long content");
    ::chmod(path.c_str(), 0644);
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        file.Write("new", 3);
        file.Close();
    }
    EXPECT_EQ(qbtest::ReadFile(path), "new");
    const std::string fresh = Path("fresh.dat");
    CFile file;
    ASSERT_TRUE(file.Open(fresh, CFile::modeCreate | CFile::modeWrite));
    struct stat st {};
    ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(FileTest, ReadOnlyFileRefusesWritingEvenForRoot) {
    const std::string path = Path("store.cfg");
    qbtest::WriteFile(path, "keep me");
    ::chmod(path.c_str(), 0444);
    CFile file;
    CFileException error(CFileException::none, 0, "");
    EXPECT_FALSE(file.Open(path, CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_EQ(qbtest::ReadFile(path), "keep me") << "not truncated";
    EXPECT_TRUE(file.Open(path, CFile::modeRead));
}

TEST_F(FileTest, OpenFailuresNameTheirCause) {
    struct Case {
        std::string path;
        UINT flags;
        CFileException::Cause cause;
    } cases[] = {
        {Path("missing.cfg"), CFile::modeRead, CFileException::fileNotFound},
        {Path("no/such/folder.cfg"), CFile::modeCreate | CFile::modeWrite, CFileException::fileNotFound},
        {root().string(), CFile::modeRead, CFileException::accessDenied},  // a folder
    };
    for (const Case& c : cases) {
        CFile file;
        CFileException error(CFileException::none, 0, "");
        EXPECT_FALSE(file.Open(c.path, c.flags, &error)) << c.path;
        EXPECT_EQ(error.m_cause, c.cause) << c.path;
    }
}

TEST_F(FileTest, FullDiskThrowsOnWrite) {
    CFile file;
    ASSERT_TRUE(file.Open("/dev/full", CFile::modeWrite));
    try {
        file.Write("x", 1);
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
        EXPECT_NE(std::string(e.what()).find("disk is full"), std::string::npos);
    }
}

}  // namespace
