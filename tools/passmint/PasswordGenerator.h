#pragma once
// Password generation for PassMint: no Qt, no global state.
//
// Passwords are drawn uniformly from the chosen character kinds with one character
// of every chosen kind guaranteed, then shuffled, so no position gives a kind away.
// Every draw goes through RandomSource::UniformBelow, which must be unbiased.

#include <cstdint>
#include <string>

namespace passmint {

// A source of random words. The default one reads the kernel's generator.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual std::uint32_t Next() = 0;
    // A number in [0, bound) with no modulo bias (bound > 0): words from the top
    // partial range are thrown away and drawn again.
    std::uint32_t UniformBelow(std::uint32_t bound);
};

// Reads getrandom(2). Thread: one per thread.
class SystemRandom final : public RandomSource {
  public:
    std::uint32_t Next() override;
};

struct Options {
    int length = 20;
    bool upper = true;
    bool lower = true;
    bool digits = true;
    bool symbols = true;
    bool avoidLookAlikes = false;  // leaves out 0 O o 1 l I | and the like
};

constexpr int kMinLength = 4;
constexpr int kMaxLength = 128;

// The characters the options allow, in a fixed order; empty when no kind is chosen.
std::string Alphabet(const Options& options);

// A password of options.length characters (clamped to [kMinLength, kMaxLength]);
// empty when no kind is chosen.
std::string Generate(const Options& options, RandomSource& random);

// The strength of a password drawn with these options, in whole bits (0 when no kind).
int EntropyBits(const Options& options);

}  // namespace passmint
