// The debug channel: OutputDebugStringA and the listener that tools and tests use to
// read it (qbdebugview).
//
// Each text goes unchanged, without a line end added, as one datagram to the socket
// <runtime folder>/debug.sock. With nobody listening the text is dropped, as Windows
// drops it without a debugger. A listener that is alive but behind is waited for up
// to one second per text before the text is dropped, so a stopped listener slows a
// program down but never stops it. Texts are cut at the first zero byte (C strings);
// a text longer than 64 KiB goes as several datagrams of 64 KiB.
//
// One listener per runtime folder; a socket left by a listener that is gone is taken
// over by the next one.
//
// Thread: OutputDebugStringA from any thread. A DebugListener belongs to one thread.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace sys {

class DebugListener {
  public:
    // Starts listening. Null when another listener is running (errno EADDRINUSE) or
    // the runtime folder is unusable.
    static std::unique_ptr<DebugListener> Open();
    ~DebugListener();
    DebugListener(const DebugListener&) = delete;
    DebugListener& operator=(const DebugListener&) = delete;

    // Readable while texts wait.
    int Descriptor() const { return socket_; }
    // The next text, waiting at most timeoutMs (0: do not wait, -1: wait for ever).
    std::optional<std::string> Receive(int timeoutMs);

  private:
    DebugListener(int socket, std::string path, unsigned long inode);
    int socket_;
    std::string path_;
    unsigned long inode_;  // of the socket file we bound, so we only ever remove ours
};

// Path of the channel's socket in the current runtime folder (empty when unusable).
std::string DebugChannelPath();

}  // namespace sys

void OutputDebugStringA(const char* text);
