#include "system/WindowProtocol.h"

#include <charconv>
#include <cstring>

namespace sys::detail {
namespace {

constexpr std::uint32_t kRequestMagic = 0x4D574251;  // "QBWM" little-endian
constexpr std::uint32_t kReplyMagic = 0x52574251;    // "QBWR" little-endian
constexpr WORD kVersion = 1;

template <typename T>
void Put(std::uint8_t* out, T value) {
    auto bits = static_cast<std::uint64_t>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

template <typename T>
T Get(const std::uint8_t* in) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        bits |= static_cast<std::uint64_t>(in[i]) << (8 * i);
    }
    return static_cast<T>(bits);
}

}  // namespace

std::array<std::uint8_t, kRequestSize> EncodeRequest(const Request& request) {
    std::array<std::uint8_t, kRequestSize> out{};
    Put<std::uint32_t>(&out[0], kRequestMagic);
    Put<WORD>(&out[4], kVersion);
    Put<WORD>(&out[6], static_cast<WORD>(request.kind));
    Put<DWORD>(&out[8], request.window);
    Put<std::uint32_t>(&out[12], request.message);
    Put<std::uint64_t>(&out[16], request.wParam);
    Put<std::uint64_t>(&out[24], static_cast<std::uint64_t>(request.lParam));
    return out;
}

std::optional<Request> DecodeRequest(const std::uint8_t* bytes, std::size_t size) {
    if (size != kRequestSize || Get<std::uint32_t>(&bytes[0]) != kRequestMagic ||
        Get<WORD>(&bytes[4]) != kVersion) {
        return std::nullopt;
    }
    const WORD kind = Get<WORD>(&bytes[6]);
    if (kind < static_cast<WORD>(RequestKind::Send) ||
        kind > static_cast<WORD>(RequestKind::Raise)) {
        return std::nullopt;
    }
    Request request;
    request.kind = static_cast<RequestKind>(kind);
    request.window = Get<DWORD>(&bytes[8]);
    request.message = Get<std::uint32_t>(&bytes[12]);
    request.wParam = static_cast<WPARAM>(Get<std::uint64_t>(&bytes[16]));
    request.lParam = static_cast<LPARAM>(Get<std::uint64_t>(&bytes[24]));
    return request;
}

std::array<std::uint8_t, kReplySize> EncodeReply(const Reply& reply) {
    std::array<std::uint8_t, kReplySize> out{};
    Put<std::uint32_t>(&out[0], kReplyMagic);
    Put<WORD>(&out[4], kVersion);
    Put<WORD>(&out[6], static_cast<WORD>(reply.kind));
    Put<std::uint64_t>(&out[8], static_cast<std::uint64_t>(reply.result));
    return out;
}

std::optional<Reply> DecodeReply(const std::uint8_t* bytes, std::size_t size) {
    if (size != kReplySize || Get<std::uint32_t>(&bytes[0]) != kReplyMagic ||
        Get<WORD>(&bytes[4]) != kVersion) {
        return std::nullopt;
    }
    const WORD kind = Get<WORD>(&bytes[6]);
    if (kind != static_cast<WORD>(ReplyKind::Accepted) &&
        kind != static_cast<WORD>(ReplyKind::Result)) {
        return std::nullopt;
    }
    return Reply{static_cast<ReplyKind>(kind), static_cast<LRESULT>(Get<std::uint64_t>(&bytes[8]))};
}

HWND MakeWindowHandle(std::uint32_t pid, DWORD id) {
    static_assert(sizeof(std::uintptr_t) >= 8, "window handles need 64-bit pointers");
    return reinterpret_cast<HWND>((static_cast<std::uintptr_t>(pid) << 32) | id);
}

std::uint32_t ProcessOf(HWND window) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window) >> 32);
}

DWORD WindowIdOf(HWND window) {
    return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(window) & 0xFFFFFFFFu);
}

std::string WindowFileStem(std::uint32_t pid, DWORD id) {
    return "window-" + std::to_string(pid) + "-" + std::to_string(id);
}

bool ParseWindowFileStem(const std::string& stem, std::uint32_t& pid, DWORD& id) {
    constexpr std::string_view kPrefix = "window-";
    if (stem.compare(0, kPrefix.size(), kPrefix) != 0) {
        return false;
    }
    const char* first = stem.data() + kPrefix.size();
    const char* last = stem.data() + stem.size();
    auto [afterPid, pidError] = std::from_chars(first, last, pid);
    if (pidError != std::errc() || afterPid == first || afterPid == last || *afterPid != '-') {
        return false;
    }
    auto [afterId, idError] = std::from_chars(afterPid + 1, last, id);
    // Only the one spelling we write counts ("window-01-5" is not window 1's file).
    return idError == std::errc() && afterId == last && pid != 0 && id != 0 &&
           WindowFileStem(pid, id) == stem;
}

}  // namespace sys::detail
