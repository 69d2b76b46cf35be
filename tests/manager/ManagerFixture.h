// The fixture of the manager's tests: a temporary install folder whose Resources hold
// the four fixture pages enciphered with qbcrypt, the settings keys as the installer
// leaves them, a listener on the debug channel, and the program's resources as the
// current module.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "TestEnvironment.h"
#include "system/DebugChannel.h"

namespace qbtest {

// The fixture pages: a frameset of two frames (top.htm, down.htm) and main.htm.
struct FixturePage {
    const char* plain;   // deciphered name
    const char* cipher;  // enciphered name
    const char* html;
};
const std::vector<FixturePage>& FixturePages();

// The trace log of a normal run up to the main window, after `gate` (the gate's own
// line, or none).
std::vector<std::string> TraceUpToMainWindow(const std::vector<std::string>& gate);

// Whether another holder of the program's mutex exists now (the probe is closed again).
bool MutexHeld();
// Whether the thread's object runtime was left initialised by a run; restores the
// state the thread had before that run.
bool ComLeftInitialised();

class ManagerFixture : public TempEnvironment {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Install folder with "Resources/" (a blank in its name, as a real one may have).
    const std::string& InstallFolder() const { return folder_; }
    std::string Page(const std::string& name) const { return folder_ + "/Resources/" + name; }
    bool PageExists(const std::string& name) const;
    // Every text written to the debug channel since the last call. (A reader thread
    // empties the channel all the time: it holds only a few texts.)
    std::vector<std::string> TakeTrace();

    static constexpr const char* kSettingsKey = "SOFTWARE\\Quenby";

  private:
    void ReadChannel();

    std::string folder_;
    std::thread reader_;
    std::atomic<bool> listening_{false};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> received_;
    int markers_ = 0;
};

}  // namespace qbtest
