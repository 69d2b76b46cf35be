// A UI backend driven by a script of queued answers, for tests and headless runs.
//
// Message boxes take the next queued answer (or, when none is queued, their default
// button) and every step is appended to one ordered transcript. Describe() gives each
// step as one line, so a test can compare a whole conversation with a table:
//   MessageBox "Quenby" 0x30 "Invalid Password!" -> OK
//
// Ownership: the test owns the backend and installs it with InstallBackend; the
// ScopedBackend helper installs on construction and restores the default on exit.
// Thread: UI thread only.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/Backend.h"

namespace ui {

struct UiEvent {
    enum class Kind { MessageBox };
    Kind kind = Kind::MessageBox;
    std::string text;
    std::string caption;
    UINT flags = 0;
    int result = 0;

    std::string Describe() const;
};

class ScriptedBackend : public Backend {
public:
    // The next message box is answered with `buttonId`.
    void QueueMessageBoxAnswer(int buttonId) { answers_.push_back(buttonId); }

    int ShowMessageBox(const MessageBoxRequest& request) override;

    const std::vector<UiEvent>& transcript() const { return transcript_; }
    std::vector<std::string> Lines() const;
    // Only the texts of the message boxes shown, in order.
    std::vector<std::string> MessageTexts() const;
    void ClearTranscript() { transcript_.clear(); }
    std::size_t PendingAnswers() const { return answers_.size(); }

private:
    std::deque<int> answers_;
    std::vector<UiEvent> transcript_;
};

// Installs a backend for the lifetime of a scope (tests).
class ScopedBackend {
public:
    explicit ScopedBackend(Backend& backend) { InstallBackend(&backend); }
    ~ScopedBackend() { InstallBackend(nullptr); }
    ScopedBackend(const ScopedBackend&) = delete;
    ScopedBackend& operator=(const ScopedBackend&) = delete;
};

}  // namespace ui
