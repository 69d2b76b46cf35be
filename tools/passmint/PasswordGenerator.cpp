#include "PasswordGenerator.h"

#include <sys/random.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace passmint {
namespace {

constexpr std::string_view kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kLower = "abcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kDigits = "0123456789";
constexpr std::string_view kSymbols = "!#$%&()*+,-./:;<=>?@[]^_{|}~";
// Characters that read alike in many fonts.
constexpr std::string_view kLookAlikes = "0OoIl1|";

std::string Filtered(std::string_view kind, bool avoidLookAlikes) {
    std::string out;
    for (char c : kind) {
        if (!avoidLookAlikes || kLookAlikes.find(c) == std::string_view::npos) {
            out += c;
        }
    }
    return out;
}

// The chosen kinds, each already filtered.
std::vector<std::string> Kinds(const Options& options) {
    const std::array<std::pair<bool, std::string_view>, 4> all{{{options.upper, kUpper},
                                                                {options.lower, kLower},
                                                                {options.digits, kDigits},
                                                                {options.symbols, kSymbols}}};
    std::vector<std::string> kinds;
    for (const auto& [chosen, kind] : all) {
        if (chosen) {
            kinds.push_back(Filtered(kind, options.avoidLookAlikes));
        }
    }
    return kinds;
}

int ClampedLength(int length) {
    return std::clamp(length, kMinLength, kMaxLength);
}

}  // namespace

std::uint32_t RandomSource::UniformBelow(std::uint32_t bound) {
    // 2^32 mod bound words at the top would make the low results likelier.
    const std::uint32_t rejected = static_cast<std::uint32_t>(-bound) % bound;
    for (;;) {
        const std::uint32_t word = Next();
        if (word >= rejected) {
            return word % bound;
        }
    }
}

std::uint32_t SystemRandom::Next() {
    std::uint32_t word = 0;
    for (;;) {
        const ssize_t got = ::getrandom(&word, sizeof word, 0);
        if (got == static_cast<ssize_t>(sizeof word)) {
            return word;
        }
        if (got < 0 && errno != EINTR) {
            throw std::runtime_error("The system's random generator cannot be read.");
        }
    }
}

std::string Alphabet(const Options& options) {
    std::string alphabet;
    for (const std::string& kind : Kinds(options)) {
        alphabet += kind;
    }
    return alphabet;
}

std::string Generate(const Options& options, RandomSource& random) {
    const std::vector<std::string> kinds = Kinds(options);
    if (kinds.empty()) {
        return {};
    }
    const std::string alphabet = Alphabet(options);
    const auto length = static_cast<std::size_t>(ClampedLength(options.length));
    std::string password;
    password.reserve(length);
    for (const std::string& kind : kinds) {
        password += kind[random.UniformBelow(static_cast<std::uint32_t>(kind.size()))];
    }
    while (password.size() < length) {
        password += alphabet[random.UniformBelow(static_cast<std::uint32_t>(alphabet.size()))];
    }
    // Fisher-Yates, so the guaranteed characters may land anywhere.
    for (std::size_t i = password.size() - 1; i > 0; --i) {
        const auto j = random.UniformBelow(static_cast<std::uint32_t>(i + 1));
        std::swap(password[i], password[j]);
    }
    return password;
}

int EntropyBits(const Options& options) {
    const std::size_t size = Alphabet(options).size();
    if (size == 0) {
        return 0;
    }
    return static_cast<int>(ClampedLength(options.length) * std::log2(static_cast<double>(size)));
}

}  // namespace passmint
