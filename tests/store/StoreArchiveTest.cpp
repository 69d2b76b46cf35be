#include <gtest/gtest.h>

#include "StoreArchive.h"
#include "StoreFiles.h"
#include "StoreFixture.h"
#include "files/Archive.h"

namespace {

using storetest::Entry;
using storetest::Hex;
using storetest::ToHex;

const std::string kClassHeader =
    "00 00 12 00 43 4D 61 70 53 74 72 69 6E 67 54 6F 53 74 72 69 6E 67";

class StoreArchiveTest : public qbtest::TempEnvironment {
  protected:
    std::string Write(const std::vector<Entry>& entries) {
        EntryMap map;
        storetest::Fill(map, entries);
        return storetest::WriteBytes(map, Path("out.dat"));
    }
    // Reads bytes into map; returns the exception, if any.
    std::optional<CArchiveException> Read(const std::string& bytes, EntryMap& map) {
        qbtest::WriteFile(Path("in.dat"), bytes);
        try {
            store::MergeArchiveFile(Path("in.dat"), map);
        } catch (const CArchiveException& e) {
            return e;
        }
        return std::nullopt;
    }
};

TEST_F(StoreArchiveTest, WritesTheKnownLayoutsByteForByte) {
    struct Case {
        const char* what;
        std::vector<Entry> entries;  // inserted in this order
        std::string hex;
    } cases[] = {
        {"empty list", {}, "00 00"},
        {"one entry without field map", {{"A", false, {}}}, "01 00 01 41 00 00"},
        {"one field: Home, City = Paris",
         {{"Home", true, {{"City", "Paris"}}}},
         "01 00 04 48 6F 6D 65 FF FF " + kClassHeader + " 01 00 04 43 69 74 79 05 50 61 72 69 73"},
        {"Work, Office, Home: header at the first field map in file order, then 01 80",
         {{"Home", true, {{"City", "Paris"}, {"Zip", "75001"}}},
          {"Work", false, {}},
          {"Office", true, {{"City", "Lyon"}}}},
         "03 00 04 57 6F 72 6B 00 00 06 4F 66 66 69 63 65 FF FF " + kClassHeader +
             " 01 00 04 43 69 74 79 04 4C 79 6F 6E 04 48 6F 6D 65 01 80 02 00 04 43 69 74 79 05 50 "
             "61 72 69 73 03 5A 69 70 05 37 35 30 30 31"},
        {"a field map without fields",
         {{"A", true, {}}},
         "01 00 01 41 FF FF " + kClassHeader + " 00 00"},
        {"empty name, key and value",
         {{"", true, {{"", ""}}}},
         "01 00 00 FF FF " + kClassHeader + " 01 00 00 00"},
    };
    for (const Case& c : cases) {
        const std::string bytes = Write(c.entries);
        EXPECT_EQ(ToHex(bytes), ToHex(Hex(c.hex))) << c.what;
        EntryMap back;
        EXPECT_FALSE(Read(bytes, back).has_value()) << c.what;
        EXPECT_EQ(storetest::WriteBytes(back, Path("again.dat")), bytes)
            << c.what << ": what is read writes back the same";
    }
}

TEST_F(StoreArchiveTest, EscapesLengthsAndCountsAtTheirLimits) {
    struct Case {
        std::size_t length;
        std::string prefix;
    } strings[] = {
        {254, "FE"},
        {255, "FF FF 00"},
        {65533, "FF FD FF"},
        {65534, "FF FF FF FE FF 00 00"},
    };
    for (const Case& c : strings) {
        const std::string name(c.length, 'n');
        const std::string bytes = Write({{name, false, {}}});
        EXPECT_EQ(ToHex(bytes.substr(2, Hex(c.prefix).size())), ToHex(Hex(c.prefix))) << c.length;
        EntryMap back;
        ASSERT_FALSE(Read(bytes, back).has_value());
        EXPECT_NE(back.Find(name), nullptr) << c.length;
    }
    for (const auto& [count, hex] : std::vector<std::pair<std::size_t, std::string>>{
             {65534, "FE FF"}, {65535, "FF FF FF FF 00 00"}}) {
        EntryMap map;
        for (std::size_t i = 0; i < count; ++i) {
            map.SetAt(std::to_string(i), nullptr);
        }
        const std::string bytes = storetest::WriteBytes(map, Path("many.dat"));
        EXPECT_EQ(ToHex(bytes.substr(0, Hex(hex).size())), ToHex(Hex(hex))) << count;
        EntryMap back;
        ASSERT_FALSE(Read(bytes, back).has_value());
        EXPECT_EQ(back.GetCount(), count);
    }
}

TEST_F(StoreArchiveTest, MalformedArchivesStopWithTheOffsetAndKeepWhatWasRead) {
    const std::string home = "04 48 6F 6D 65";  // "Home"
    const std::string first = "01 41 00 00";    // entry A without field map (4 bytes)
    struct Case {
        const char* what;
        std::string hex;
        CArchiveException::Cause cause;
        std::uint64_t offset;
        std::vector<std::string> kept;
    } cases[] = {
        {"empty file", "", CArchiveException::endOfFile, 0, {}},
        {"count cut short", "02", CArchiveException::endOfFile, 0, {}},
        {"second entry missing", "02 00 " + first, CArchiveException::endOfFile, 6, {"A"}},
        {"name cut short", "02 00 " + first + " 04 48 6F", CArchiveException::endOfFile, 6, {"A"}},
        {"tag cut short",
         "02 00 " + first + " " + home + " FF",
         CArchiveException::endOfFile,
         11,
         {"A"}},
        {"4 GiB string in a small file",
         "01 00 FF FF FF FE FF FF FF 41 42",
         CArchiveException::endOfFile,
         2,
         {}},
        {"16-bit string marker",
         "01 00 FF FE FF 01 00 41 00",
         CArchiveException::genericException,
         2,
         {}},
        {"wrong class name",
         "02 00 " + first + " " + home + " FF FF 00 00 12 00 " + std::string(36, '0'),
         CArchiveException::badClass,
         15,
         {"A"}},
        {"class name of another length",
         "01 00 " + home + " FF FF 00 00 05 00 43 4D 61 70 53",
         CArchiveException::badClass,
         11,
         {}},
        {"schema 1",
         "01 00 " + home + " FF FF 01 00 " + kClassHeader.substr(6),
         CArchiveException::badSchema,
         9,
         {}},
        {"class reference without class",
         "02 00 " + first + " " + home + " 01 80 00 00",
         CArchiveException::badIndex,
         11,
         {"A"}},
        {"reference to index 0",
         "01 00 " + home + " 00 80 00 00",
         CArchiveException::badIndex,
         7,
         {}},
        {"reference back to a field map",
         "02 00 " + home + " FF FF " + kClassHeader + " 00 00 01 41 02 00",
         CArchiveException::badIndex,
         35,
         {"Home"}},
        {"long reference form",
         "01 00 " + home + " FF 7F 01 00 00 80",
         CArchiveException::badIndex,
         7,
         {}},
        {"reference to the field map's own index",
         "03 00 " + home + " FF FF " + kClassHeader + " 00 00 01 41 01 80 00 00 01 42 02 80 00 00",
         CArchiveException::badIndex,
         41,
         {"A", "Home"}},
        {"field value cut short",
         "01 00 " + home + " FF FF " + kClassHeader + " 01 00 01 4B 05 50",
         CArchiveException::endOfFile,
         35,
         {}},
    };
    for (const Case& c : cases) {
        EntryMap map;
        const auto error = Read(Hex(c.hex), map);
        ASSERT_TRUE(error.has_value()) << c.what;
        EXPECT_EQ(error->m_cause, c.cause) << c.what << ": " << error->what();
        EXPECT_EQ(error->m_offset, c.offset) << c.what << ": " << error->what();
        EXPECT_NE(std::string(error->what()).find(Path("in.dat")), std::string::npos);
        std::vector<std::string> names;
        for (const Entry& e : storetest::Enumerate(map)) {
            names.push_back(e.name);
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.kept) << c.what;
    }
}

TEST_F(StoreArchiveTest, ReadsTheGeneralFormsOfClassTagsThatStoresAllow) {
    // A second class header takes the next running index (3); 0x8003 then refers to it.
    const std::string bytes = Hex("03 00 01 41 FF FF " + kClassHeader + " 00 00 01 42 FF FF " +
                                  kClassHeader + " 00 00 01 43 03 80 01 00 01 6B 01 76");
    EntryMap map;
    ASSERT_FALSE(Read(bytes, map).has_value());
    const FieldMapPtr* c = map.Find("C");
    ASSERT_NE(c, nullptr);
    std::string v;
    EXPECT_TRUE((*c)->Lookup("k", v));
    EXPECT_EQ(v, "v");
}

TEST_F(StoreArchiveTest, LoadsIgnoreBytesAfterTheLastEntry) {
    EntryMap map;
    ASSERT_FALSE(Read(Hex("01 00 01 41 00 00 FF FF 00"), map).has_value());
    EXPECT_EQ(storetest::Enumerate(map), (std::vector<Entry>{{"A", false, {}}}));
}

TEST_F(StoreArchiveTest, MergeReplacesInPlaceAndKeepsOtherEntries) {
    EntryMap map;
    storetest::Fill(
        map, {{"Home", true, {{"A", "1"}, {"B", "2"}}}, {"A", false, {}}, {"Work", false, {}}});
    // The file names Home (one field, the key repeated: the later value wins) and New.
    std::string bytes = Hex("02 00 04 48 6F 6D 65 FF FF " + kClassHeader +
                            " 02 00 01 43 01 31 01 43 01 32 03 4E 65 77 00 00");
    ASSERT_FALSE(Read(bytes, map).has_value());
    const std::vector<Entry> expected = {
        {"Work", false, {}}, {"New", false, {}}, {"A", false, {}}, {"Home", true, {{"C", "2"}}}};
    EXPECT_EQ(storetest::Enumerate(map), expected);
}

TEST_F(StoreArchiveTest, LoadingReversesTheWrittenOrderWithinABucket) {
    EntryMap written;
    storetest::Fill(written, {{"Home", false, {}}, {"Work", false, {}}, {"A", false, {}}});
    EntryMap loaded;
    ASSERT_FALSE(Read(storetest::WriteBytes(written, Path("o.dat")), loaded).has_value());
    std::vector<std::string> names;
    for (const Entry& e : storetest::Enumerate(loaded)) {
        names.push_back(e.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Work", "Home", "A"}));
}

}  // namespace
