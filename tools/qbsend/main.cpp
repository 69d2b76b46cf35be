// qbsend: sends a window message to a top-level window found by its caption.
//
//   qbsend [--post] [--timeout MS] CAPTION MSG [WPARAM [LPARAM]]
//
// Numbers are decimal or 0x hex; LPARAM may be negative. The message is sent (and
// the window's answer printed) unless --post asks to post it. A window that does not
// answer within the timeout (5000 ms unless given) is given up on. Exit status: 0 when a
// window with that caption took the message, 1 when there is none, 2 for bad usage
// or when the window did not take it.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "system/LastError.h"
#include "system/Window.h"

namespace {

constexpr int kTaken = 0;
constexpr int kNoWindow = 1;
constexpr int kFailed = 2;

int Usage(const char* problem) {
    std::fprintf(stderr,
                 "qbsend: %s\n"
                 "usage: qbsend [--post] [--timeout MS] CAPTION MSG [WPARAM [LPARAM]]\n"
                 "       numbers in decimal or 0x hex, e.g. qbsend \"Welcome to Quenby\" 0x0505\n",
                 problem);
    return kFailed;
}

// Decimal or 0x hex, the whole text, within [min, max] (two's complement for hex).
std::optional<std::uint64_t> ParseNumber(const char* text, bool allowNegative, std::uint64_t max) {
    if (text == nullptr || *text == '\0') {
        return std::nullopt;
    }
    bool negative = false;
    const char* digits = text;
    if (allowNegative && *digits == '-') {
        negative = true;
        ++digits;
    }
    int base = 10;
    if (digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        if (negative) {
            return std::nullopt;
        }
        base = 16;
        digits += 2;
    }
    if (*digits == '\0' || *digits == '+' || *digits == '-' || *digits == ' ') {
        return std::nullopt;
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(digits, &end, base);
    if (errno != 0 || *end != '\0') {
        return std::nullopt;
    }
    if (negative) {
        if (value > static_cast<std::uint64_t>(INT64_MAX) + 1) {
            return std::nullopt;
        }
        return ~static_cast<std::uint64_t>(value) + 1;
    }
    if (value > max) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<const char*> args(argv + 1, argv + argc);
    bool post = false;
    while (!args.empty() && std::strncmp(args[0], "--", 2) == 0) {
        if (std::strcmp(args[0], "--") == 0) {  // a caption that starts with "--" follows
            args.erase(args.begin());
            break;
        }
        if (std::strcmp(args[0], "--post") == 0) {
            post = true;
            args.erase(args.begin());
        } else if (std::strcmp(args[0], "--timeout") == 0 && args.size() > 1) {
            const auto timeout = ParseNumber(args[1], false, 24 * 3600 * 1000);
            if (!timeout) {
                return Usage("--timeout needs milliseconds");
            }
            sys::SetSendMessageTimeout(static_cast<UINT>(*timeout));
            args.erase(args.begin(), args.begin() + 2);
        } else {
            return Usage("unknown option");
        }
    }
    if (args.size() < 2 || args.size() > 4) {
        return Usage("wrong number of arguments");
    }
    const auto message = ParseNumber(args[1], false, UINT32_MAX);
    if (!message) {
        return Usage("MSG must be a number from 0 to 0xFFFFFFFF");
    }
    const auto wParam = args.size() > 2 ? ParseNumber(args[2], false, UINT64_MAX) : 0;
    if (!wParam) {
        return Usage("WPARAM must be a number from 0 to 0xFFFFFFFFFFFFFFFF");
    }
    const auto lParam = args.size() > 3 ? ParseNumber(args[3], true, UINT64_MAX) : 0;
    if (!lParam) {
        return Usage("LPARAM must be a 64-bit number");
    }

    const HWND window = FindWindowA(nullptr, args[0]);
    if (window == nullptr) {
        std::fprintf(stderr, "qbsend: no window captioned \"%s\"\n", args[0]);
        return kNoWindow;
    }
    const auto msg = static_cast<UINT>(*message);
    const auto w = static_cast<WPARAM>(*wParam);
    const auto l = static_cast<LPARAM>(*lParam);
    if (post) {
        if (!PostMessageA(window, msg, w, l)) {
            std::fprintf(stderr, "qbsend: the window did not take the message (error %u)\n",
                         static_cast<unsigned>(GetLastError()));
            return kFailed;
        }
        return kTaken;
    }
    const sys::SendOutcome outcome =
        sys::SendWindowMessage(window, msg, w, l, sys::SendMessageTimeout());
    if (!outcome.delivered) {
        std::fprintf(stderr, "qbsend: the window did not take the message (error %u)\n",
                     static_cast<unsigned>(outcome.error));
        return kFailed;
    }
    if (!outcome.answered) {
        std::fprintf(stderr,
                     "qbsend: the window took the message but gave no answer within %u ms\n",
                     sys::SendMessageTimeout());
        return kTaken;
    }
    std::printf("%lld\n", static_cast<long long>(outcome.result));
    return kTaken;
}
