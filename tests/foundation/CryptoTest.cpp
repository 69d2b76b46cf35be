#include <sys/stat.h>

#include <gtest/gtest.h>

#include "Crypto.h"
#include "TestEnvironment.h"

namespace {

std::string Pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) {
        s[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    }
    return s;
}

TEST(ConvertBufferTest, XorsWithTheKeyFromIndexZero) {
    unsigned char buf[60] = {};
    CCrypto crypto;
    crypto.ConvertBuffer(buf, 60);
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(buf[i], static_cast<unsigned char>(CCrypto::kKey[i % 54])) << i;
    }
    crypto.ConvertBuffer(buf, 60);  // a second call starts at key byte 0 again
    for (unsigned char b : buf) {
        EXPECT_EQ(b, 0);
    }
    unsigned char same = 'Q';  // the byte equal to its key byte gives zero
    crypto.ConvertBuffer(&same, 1);
    EXPECT_EQ(same, 0);
}

TEST(ConvertBufferTest, NullOrNonPositiveLengthsChangeNothing) {
    unsigned char buf[4] = {1, 2, 3, 4};
    CCrypto crypto;
    crypto.ConvertBuffer(nullptr, 4);
    crypto.ConvertBuffer(buf, 0);
    crypto.ConvertBuffer(buf, -3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 4), std::string("\1\2\3\4", 4));
}

class ConvertFileTest : public qbtest::TempEnvironment {
protected:
    std::string Convert(const std::string& plain) {
        qbtest::WriteFile(Path("in"), plain);
        CCrypto().ConvertFile(Path("in"), Path("out"));
        return qbtest::ReadFile(Path("out"));
    }
};

TEST_F(ConvertFileTest, KeyRestartsAtEvery512ByteBlock) {
    const std::string cipher = Convert(std::string(600, '\0'));
    ASSERT_EQ(cipher.size(), 600u);
    for (std::size_t p = 0; p < 600; ++p) {
        ASSERT_EQ(cipher[p], CCrypto::kKey[(p % 512) % 54]) << p;
    }
    EXPECT_EQ(cipher[511], CCrypto::kKey[25]);
    EXPECT_EQ(cipher[512], CCrypto::kKey[0]);
    EXPECT_EQ(cipher[599], CCrypto::kKey[33]);
}

TEST_F(ConvertFileTest, TwiceRestoresTheBytesForManySizes) {
    for (std::size_t n : {0u, 1u, 511u, 512u, 513u, 65536u, 65537u, 200000u}) {
        const std::string plain = Pattern(n);
        const std::string cipher = Convert(plain);
        ASSERT_EQ(cipher.size(), n);
        qbtest::WriteFile(Path("in"), cipher);
        CCrypto().ConvertFile(Path("in"), Path("back"));
        EXPECT_EQ(qbtest::ReadFile(Path("back")), plain) << n;
    }
}

TEST_F(ConvertFileTest, ExistingLongerDestinationIsTruncatedAndNewOneIsPrivate) {
    qbtest::WriteFile(Path("out"), std::string(5000, 'x'));
    EXPECT_EQ(Convert("abc").size(), 3u);
    std::filesystem::remove(Path("out"));
    Convert("abc");
    struct stat st {};
    ASSERT_EQ(::stat(Path("out").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(ConvertFileTest, SourceControlFilesAreSkippedCaseSensitively) {
    std::filesystem::create_directories(Path("vssver.scc.old"));
    qbtest::WriteFile(Path("vssver.scc"), "x");
    qbtest::WriteFile(Path("vssver.scc.old/page"), "x");
    qbtest::WriteFile(Path("VSSVER.SCC"), "x");
    CCrypto crypto;
    crypto.ConvertFile(Path("vssver.scc"), Path("a"));
    crypto.ConvertFile(Path("vssver.scc.old/page"), Path("b"));
    crypto.ConvertFile(Path("VSSVER.SCC"), Path("c"));
    EXPECT_FALSE(std::filesystem::exists(Path("a")));
    EXPECT_FALSE(std::filesystem::exists(Path("b")));
    EXPECT_TRUE(std::filesystem::exists(Path("c")));
}

TEST_F(ConvertFileTest, OpenFailuresThrowTheirMessageAndTouchNothing) {
    qbtest::WriteFile(Path("out"), "keep");
    qbtest::WriteFile(Path("in"), "plain");
    struct Case {
        std::string source, destination, message;
    } cases[] = {
        {Path("missing"), Path("out"), "Error opening Source file!\n"},
        {Path("in"), Path("no/folder/out"), "Error opening Destination file!\n"},
        {Path("in"), Path("in"), "Error opening Destination file!\n"},  // onto itself
        {Path("in"), Path("./in"), "Error opening Destination file!\n"},
    };
    for (const Case& c : cases) {
        try {
            CCrypto().ConvertFile(c.source, c.destination);
            ADD_FAILURE() << "no exception for " << c.destination;
        } catch (const CryptException& e) {
            EXPECT_EQ(e.m_strMessage, c.message);
        }
    }
    EXPECT_EQ(qbtest::ReadFile(Path("out")), "keep");
    EXPECT_EQ(qbtest::ReadFile(Path("in")), "plain");
}

TEST_F(ConvertFileTest, ReadOnlyDestinationIsRefused) {
    qbtest::WriteFile(Path("in"), "plain");
    qbtest::WriteFile(Path("out"), "old");
    ::chmod(Path("out").c_str(), 0444);
    EXPECT_THROW(CCrypto().ConvertFile(Path("in"), Path("out")), CryptException);
    EXPECT_EQ(qbtest::ReadFile(Path("out")), "old");
}

TEST_F(ConvertFileTest, QbcryptToolRoundTripsAndReportsErrors) {
    const std::string plain = Pattern(1500);
    qbtest::WriteFile(Path("page.htm"), plain);
    const std::string tool = qbtest::Tool("qbcrypt");
    ASSERT_EQ(qbtest::Run(tool + " " + Path("page.htm") + " " + Path("page.tfl")), 0);
    ASSERT_EQ(qbtest::Run(tool + " " + Path("page.tfl") + " " + Path("again.htm")), 0);
    EXPECT_EQ(qbtest::ReadFile(Path("again.htm")), plain);
    EXPECT_NE(qbtest::ReadFile(Path("page.tfl")), plain);
    std::string out;
    EXPECT_EQ(qbtest::Run(tool + " " + Path("nope") + " " + Path("x"), &out), 1);
    EXPECT_EQ(out, "Error opening Source file!\n");
    EXPECT_EQ(qbtest::Run(tool, &out), 1);
}

}  // namespace
