// libFuzzer target for what a window reads from strangers: the request and reply
// packets of window messages, window file names found in the runtime folder, and
// the command-line text split for a started program.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "system/CommandLine.h"
#include "system/WindowProtocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sys::detail;
    if (const auto request = DecodeRequest(data, size)) {
        // The layout has no slack: a request that decodes encodes back to the same bytes.
        const auto again = EncodeRequest(*request);
        if (size != again.size() || !std::equal(again.begin(), again.end(), data)) {
            __builtin_trap();
        }
    }
    if (const auto reply = DecodeReply(data, size)) {
        const auto again = EncodeReply(*reply);
        if (size != again.size() || !std::equal(again.begin(), again.end(), data)) {
            __builtin_trap();
        }
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::uint32_t pid = 0;
    DWORD id = 0;
    if (ParseWindowFileStem(text, pid, id) && WindowFileStem(pid, id) != text) {
        __builtin_trap();
    }
    std::size_t total = 0;
    for (const std::string& argument : sys::SplitCommandLine(text)) {
        total += argument.size();
    }
    if (total > size) {
        __builtin_trap();  // splitting only ever removes characters
    }
    return 0;
}
