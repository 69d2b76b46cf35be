#include "ManagerFixture.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "ProgramResources.h"
#include "system/LastError.h"
#include "system/Mutex.h"
#include "ui/ModuleState.h"

namespace qbtest {

const std::vector<FixturePage>& FixturePages() {
    static const std::vector<FixturePage> pages = {
        {"main.htm", "mn.tfl", "<html><body><p>Identities</p></body></html>\n"},
        {"top.htm", "tp.tfl",
         "<html><body style=\"background:#1f4e79;color:white\"><h1>Quenby</h1></body></html>\n"},
        {"down.htm", "dn.tfl",
         "<html><body style=\"background:#f3f3f3\"><p>Home</p><p>Work</p></body></html>\n"},
        {"frameset.htm", "fs.tfl",
         "<html><head><title>Quenby</title></head>\n<frameset rows=\"90,*\" border=\"0\">\n"
         "<frame name=\"top\" src=\"top.htm\" scrolling=\"no\">\n"
         "<frame name=\"down\" src=\"down.htm\">\n</frameset></html>\n"},
    };
    return pages;
}

std::vector<std::string> TraceUpToMainWindow(const std::vector<std::string>& gate) {
    std::vector<std::string> trace = {"Before try", "In try"};
    trace.insert(trace.end(), gate.begin(), gate.end());
    trace.push_back("In DeCryptHTMLPages");
    for (int i = 0; i < 4; ++i) {
        trace.push_back("Before \tcrypto.ConvertFile");
        trace.push_back("After \tcrypto.ConvertFile");
    }
    trace.push_back("After \tDeCryptHTMLPages();");
    return trace;
}

bool MutexHeld() {
    HANDLE probe = CreateMutexA(nullptr, FALSE, "QUENBY_MAIN_GUI");
    const bool held = probe != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    if (probe != nullptr) {
        CloseHandle(probe);
    }
    return held;
}

void ManagerFixture::SetUp() {
    TempEnvironment::SetUp();
    ui::ProgramModule().resources = &ProgramResourceTable();
    folder_ = Path("Program Files/Quenby");
    std::filesystem::create_directories(folder_ + "/Resources");
    for (const FixturePage& page : FixturePages()) {
        const std::string plain = Path(page.plain);
        WriteFile(plain, page.html);
        std::string out;
        ASSERT_EQ(
            qbtest::Run("'" + Tool("qbcrypt") + "' '" + plain + "' '" + Page(page.cipher) + "'",
                        &out),
            0)
            << out;
    }
    CreateKey(kSettingsKey);
    SetString("SOFTWARE\\Quenby\\AppPath", "Path", folder_);
    reader_ = std::thread([this] { ReadChannel(); });
    for (int i = 0; i < 5000 && !listening_; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(listening_) << "the debug channel could not be opened";
}

void ManagerFixture::TearDown() {
    stop_ = true;
    if (reader_.joinable()) {
        reader_.join();
    }
    TempEnvironment::TearDown();
}

void ManagerFixture::ReadChannel() {
    auto listener = sys::DebugListener::Open();
    if (listener == nullptr) {
        return;
    }
    listening_ = true;
    while (!stop_) {
        if (auto text = listener->Receive(20)) {
            std::lock_guard<std::mutex> lock(mutex_);
            received_.push_back(std::move(*text));
        }
    }
}

bool ManagerFixture::PageExists(const std::string& name) const {
    return std::filesystem::exists(Page(name));
}

std::vector<std::string> ManagerFixture::TakeTrace() {
    // Texts arrive in order: once our marker is in, everything written before is too.
    const std::string marker = "\x01marker " + std::to_string(++markers_);
    OutputDebugStringA(marker.c_str());
    for (int i = 0; i < 5000; ++i) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            const auto found = std::find(received_.begin(), received_.end(), marker);
            if (found != received_.end()) {
                std::vector<std::string> lines(received_.begin(), found);
                received_.erase(received_.begin(), found + 1);
                return lines;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ADD_FAILURE() << "the debug channel lost our marker";
    return {};
}

}  // namespace qbtest
