// How window messages travel between processes. Internal to platform/system.
//
// Files in the runtime folder, per registered top-level window:
//   window-<pid>-<id>.sock     listening SOCK_SEQPACKET socket of the window
//   window-<pid>-<id>.caption  the caption, raw bytes, written after the socket listens
// A window is findable once its caption file exists; a caption whose socket refuses
// connections belongs to a process that is gone and is removed by whoever finds it.
//
// One connection carries one request. All integers little-endian.
//
// Request (client -> window), 32 bytes:
//   offset size
//        0    4  magic "QBWM"
//        4    2  version (1)
//        6    2  kind: 1 send (wants replies), 2 post, 3 raise (SetForegroundWindow)
//        8    4  window id (the <id> of the file names)
//       12    4  message
//       16    8  wParam
//       24    8  lParam (two's complement)
// Reply (window -> client), 16 bytes, only for kind 1: first an "accepted" reply
// as soon as the request is read, then a "result" reply once the window procedure
// has returned:
//        0    4  magic "QBWR"
//        4    2  version (1)
//        6    2  kind: 1 accepted, 2 result
//        8    8  result (LRESULT, two's complement)
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "WinTypes.h"

namespace sys::detail {

enum class RequestKind : WORD { Send = 1, Post = 2, Raise = 3 };
enum class ReplyKind : WORD { Accepted = 1, Result = 2 };

struct Request {
    RequestKind kind = RequestKind::Send;
    DWORD window = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct Reply {
    ReplyKind kind = ReplyKind::Accepted;
    LRESULT result = 0;
};

constexpr std::size_t kRequestSize = 32;
constexpr std::size_t kReplySize = 16;

std::array<std::uint8_t, kRequestSize> EncodeRequest(const Request& request);
// Nullopt for anything that is not a well-formed request of this version.
std::optional<Request> DecodeRequest(const std::uint8_t* bytes, std::size_t size);
std::array<std::uint8_t, kReplySize> EncodeReply(const Reply& reply);
std::optional<Reply> DecodeReply(const std::uint8_t* bytes, std::size_t size);

// A window handle names a process and a window in it: (pid << 32) | id.
HWND MakeWindowHandle(std::uint32_t pid, DWORD id);
std::uint32_t ProcessOf(HWND window);
DWORD WindowIdOf(HWND window);

// "window-<pid>-<id>" (no extension), and the file names' parts parsed back.
std::string WindowFileStem(std::uint32_t pid, DWORD id);
bool ParseWindowFileStem(const std::string& stem, std::uint32_t& pid, DWORD& id);

}  // namespace sys::detail
