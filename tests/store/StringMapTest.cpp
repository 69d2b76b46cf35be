#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "EnumerationHash.h"
#include "MapStringToString.h"
#include "StringMap.h"

namespace {

std::vector<std::string> Keys(const CMapStringToString& map) {
    std::vector<std::string> keys;
    POSITION pos = map.GetStartPosition();
    std::string k;
    std::string v;
    while (map.GetNextAssoc(pos, k, v)) {
        keys.push_back(k);
    }
    return keys;
}

TEST(EnumerationHashTest, HashesSignedBytesTimes33) {
    struct Case {
        std::string key;
        std::uint32_t hash;
        std::uint32_t bucket;
    } cases[] = {
        {"Home", 2712041, 14},
        {"Work", 3251267, 0},
        {"Office", 3216443276u, 11},
        {"A", 65, 14},
        {"", 0, 0},
        {"home", 3862025, 16},
        {"\xE9", 4294967273u, 12},  // 0xE9 counts as -23
        {"Caf\xC3\xA9", 83051574, 12},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(store::EnumerationHash(c.key), c.hash) << c.key;
        EXPECT_EQ(store::BucketOf(c.key), c.bucket) << c.key;
    }
}

TEST(StringMapTest, EnumerationFollowsBucketsAndRecency) {
    struct Step {
        char op;  // '+' set, '-' remove
        std::string key;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        std::vector<std::string> order;
    } cases[] = {
        {"buckets ascending, newest first within one",
         {{'+', "Home"}, {'+', "Work"}, {'+', "A"}},
         {"Work", "A", "Home"}},
        {"replacing keeps the place", {{'+', "Home"}, {'+', "A"}, {'+', "Home"}}, {"A", "Home"}},
        {"re-inserting puts it first",
         {{'+', "Home"}, {'+', "A"}, {'-', "Home"}, {'+', "Home"}},
         {"Home", "A"}},
        {"case matters, empty key valid",
         {{'+', "home"}, {'+', "Home"}, {'+', ""}},
         {"", "Home", "home"}},
        {"removing a missing key changes nothing", {{'+', "A"}, {'-', "B"}}, {"A"}},
    };
    for (const Case& c : cases) {
        CMapStringToString map;
        for (const Step& s : c.steps) {
            if (s.op == '+') {
                map.SetAt(s.key, "v");
            } else {
                map.RemoveKey(s.key);
            }
        }
        EXPECT_EQ(Keys(map), c.order) << c.what;
        EXPECT_EQ(map.GetCount(), c.order.size()) << c.what;
    }
}

// Random operations against a plain model of 17 newest-first lists: order, lookups and
// counts must agree at every step, across index growth and removals.
TEST(StringMapTest, AgreesWithAModelOfBucketsUnderRandomChanges) {
    std::mt19937 rng(20240611);
    std::array<std::vector<std::string>, 17> model;
    std::map<std::string, std::string> values;
    CMapStringToString map;
    auto modelOrder = [&] {
        std::vector<std::string> order;
        for (const auto& bucket : model) {
            order.insert(order.end(), bucket.begin(), bucket.end());
        }
        return order;
    };
    for (int step = 0; step < 20000; ++step) {
        const std::string key = "k" + std::to_string(rng() % (step < 10000 ? 3000 : 40));
        auto& bucket = model[store::BucketOf(key)];
        const unsigned op = rng() % 10;
        if (op < 6) {
            const std::string value = std::to_string(step);
            if (values.count(key) == 0) {
                bucket.insert(bucket.begin(), key);
            }
            values[key] = value;
            map.SetAt(key, value);
        } else if (op < 9) {
            const bool present = values.erase(key) > 0;
            if (present) {
                bucket.erase(std::find(bucket.begin(), bucket.end(), key));
            }
            EXPECT_EQ(map.RemoveKey(key), present);
        } else if (step % 997 == 0) {
            map.RemoveAll();
            values.clear();
            for (auto& b : model) {
                b.clear();
            }
        }
        const std::string probe = "k" + std::to_string(rng() % 3000);
        std::string found;
        ASSERT_EQ(map.Lookup(probe, found), values.count(probe) == 1) << probe << " at " << step;
        if (values.count(probe) == 1) {
            ASSERT_EQ(found, values[probe]);
        }
        ASSERT_EQ(map.GetCount(), values.size());
        if (step % 500 == 0) {
            ASSERT_EQ(Keys(map), modelOrder()) << "at step " << step;
        }
    }
    EXPECT_EQ(Keys(map), modelOrder());
}

TEST(StringMapTest, PositionsEndAfterTheKeySetChanges) {
    struct Case {
        const char* what;
        void (*change)(CMapStringToString&);
        bool continues;
    } cases[] = {
        {"a key added", [](CMapStringToString& m) { m.SetAt("New", "x"); }, false},
        {"a key removed", [](CMapStringToString& m) { m.RemoveKey("Home"); }, false},
        {"all removed", [](CMapStringToString& m) { m.RemoveAll(); }, false},
        {"a missing key removed", [](CMapStringToString& m) { m.RemoveKey("None"); }, true},
        {"a value replaced", [](CMapStringToString& m) { m.SetAt("Home", "other"); }, true},
    };
    for (const Case& c : cases) {
        CMapStringToString map;
        for (const char* k : {"Home", "Work", "A"}) {
            map.SetAt(k, "v");
        }
        POSITION pos = map.GetStartPosition();
        std::string key;
        std::string value;
        ASSERT_TRUE(map.GetNextAssoc(pos, key, value));
        EXPECT_EQ(key, "Work");
        c.change(map);
        if (c.continues) {
            EXPECT_TRUE(map.GetNextAssoc(pos, key, value)) << c.what;
            EXPECT_EQ(key, "A") << c.what;
            EXPECT_TRUE(map.GetNextAssoc(pos, key, value)) << c.what;
            EXPECT_EQ(key, "Home") << c.what;
            EXPECT_EQ(value, c.what == std::string("a value replaced") ? "other" : "v");
        }
        EXPECT_FALSE(map.GetNextAssoc(pos, key, value)) << c.what;
        EXPECT_TRUE(pos == nullptr) << c.what;
        EXPECT_FALSE(map.GetNextAssoc(pos, key, value)) << "an ended position stays ended";
    }
}

TEST(StringMapTest, StartOfAnEmptyMapAndForeignPositionsAreEnded) {
    CMapStringToString empty;
    POSITION pos = empty.GetStartPosition();
    EXPECT_TRUE(pos == nullptr);
    std::string k = "untouched";
    std::string v;
    EXPECT_FALSE(empty.GetNextAssoc(pos, k, v));
    EXPECT_EQ(k, "untouched");

    CMapStringToString one;
    one.SetAt("A", "1");
    POSITION foreign = one.GetStartPosition();
    EXPECT_TRUE(foreign != nullptr);
    empty.SetAt("B", "2");
    EXPECT_FALSE(empty.GetNextAssoc(foreign, k, v)) << "a position of another map";
    EXPECT_TRUE(foreign == nullptr);

    POSITION last = one.GetStartPosition();
    ASSERT_TRUE(one.GetNextAssoc(last, k, v));
    EXPECT_TRUE(last == nullptr) << "the step that returns the last key ends the position";
}

TEST(StringMapTest, OwnsItsValues) {
    // Values that count their own destruction: replacing and removing destroy exactly once.
    struct Counted {
        explicit Counted(int* n = nullptr) : count(n) {}
        Counted(Counted&& o) noexcept : count(std::exchange(o.count, nullptr)) {}
        Counted& operator=(Counted&& o) noexcept {
            Drop();
            count = std::exchange(o.count, nullptr);
            return *this;
        }
        ~Counted() { Drop(); }
        void Drop() {
            if (count != nullptr) {
                ++*count;
            }
            count = nullptr;
        }
        int* count;
    };
    int destroyed = 0;
    {
        StringMap<Counted> map;
        map.SetAt("a", Counted(&destroyed));
        map.SetAt("b", Counted(&destroyed));
        map.SetAt("a", Counted(&destroyed));
        EXPECT_EQ(destroyed, 1) << "replaced";
        map.RemoveKey("b");
        EXPECT_EQ(destroyed, 2) << "removed";
    }
    EXPECT_EQ(destroyed, 3) << "the map's own destruction";
}

}  // namespace
