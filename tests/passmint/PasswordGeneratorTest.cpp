#include <gtest/gtest.h>

#include <cctype>
#include <deque>
#include <set>
#include <string>

#include "PasswordGenerator.h"

namespace {

using passmint::Options;

// Hands out the queued words, then counts upwards.
class QueuedRandom final : public passmint::RandomSource {
  public:
    std::deque<std::uint32_t> words;
    std::uint32_t counter = 0;
    int draws = 0;
    std::uint32_t Next() override {
        ++draws;
        if (!words.empty()) {
            const std::uint32_t word = words.front();
            words.pop_front();
            return word;
        }
        return counter++ * 2654435761u;
    }
};

bool HasAny(const std::string& text, int (*kind)(int)) {
    for (unsigned char c : text) {
        if (kind(c) != 0) {
            return true;
        }
    }
    return false;
}

int IsSymbol(int c) {
    return std::ispunct(c);
}

TEST(PasswordGeneratorTest, UniformBelowThrowsAwayTheBiasedTopOfTheRange) {
    QueuedRandom random;
    // For bound 3, 2^32 mod 3 = 1: word 0 is the one biased word.
    random.words = {0u, 7u};
    EXPECT_EQ(random.UniformBelow(3), 1u);
    EXPECT_EQ(random.draws, 2);
    random.words = {0xFFFFFFFFu};
    EXPECT_EQ(random.UniformBelow(3), 0xFFFFFFFFu % 3);
    random.words = {5u};
    EXPECT_EQ(random.UniformBelow(1), 0u);
}

TEST(PasswordGeneratorTest, PasswordsHaveTheLengthAndEveryChosenKind) {
    struct Case {
        Options options;
        std::size_t length;
    };
    const Case cases[] = {
        {{20, true, true, true, true, false}, 20},       {{4, true, true, true, true, false}, 4},
        {{1, true, true, true, true, false}, 4},          // raised to the shortest
        {{1000, false, true, false, false, false}, 128},  // lowered to the longest
        {{12, false, false, true, false, false}, 12},    {{16, true, false, false, true, true}, 16},
    };
    for (const Case& c : cases) {
        for (int round = 0; round < 50; ++round) {
            passmint::SystemRandom random;
            const std::string password = passmint::Generate(c.options, random);
            const std::string alphabet = passmint::Alphabet(c.options);
            ASSERT_EQ(password.size(), c.length);
            EXPECT_EQ(password.find_first_not_of(alphabet), std::string::npos) << password;
            EXPECT_EQ(HasAny(password, std::isupper), c.options.upper) << password;
            EXPECT_EQ(HasAny(password, std::islower), c.options.lower) << password;
            EXPECT_EQ(HasAny(password, std::isdigit), c.options.digits) << password;
            EXPECT_EQ(HasAny(password, IsSymbol), c.options.symbols) << password;
        }
    }
}

TEST(PasswordGeneratorTest, AlphabetsAndStrength) {
    Options none{20, false, false, false, false, false};
    QueuedRandom random;
    EXPECT_EQ(passmint::Generate(none, random), "");
    EXPECT_EQ(passmint::EntropyBits(none), 0);

    Options digits{10, false, false, true, false, false};
    EXPECT_EQ(passmint::Alphabet(digits), "0123456789");
    EXPECT_EQ(passmint::EntropyBits(digits), 33);  // 10 * log2(10)
    digits.avoidLookAlikes = true;
    EXPECT_EQ(passmint::Alphabet(digits), "23456789");
    EXPECT_EQ(passmint::EntropyBits(digits), 30);

    const std::string all = passmint::Alphabet(Options{});
    EXPECT_EQ(std::set<char>(all.begin(), all.end()).size(), all.size()) << "no character twice";
    EXPECT_EQ(all.size(), 26u + 26u + 10u + 28u);
}

TEST(PasswordGeneratorTest, EveryCharacterTurnsUpInManyDraws) {
    // A fault in the shuffle or the draw (say, never the last character) shows here.
    passmint::SystemRandom random;
    Options options;
    options.length = 128;
    const std::string alphabet = passmint::Alphabet(options);
    std::set<char> seen;
    for (int round = 0; round < 40; ++round) {
        for (char c : passmint::Generate(options, random)) {
            seen.insert(c);
        }
    }
    EXPECT_EQ(seen.size(), alphabet.size());
}

}  // namespace
