// A UI backend driven by a script, for tests and headless runs.
//
// The test queues what the user does, in order: answers to message boxes, steps in
// dialogs (type into a control, click a control, press Enter or Escape, use the
// close box) and answers to file dialogs. Each shown dialog takes its steps from the
// front of the step queue until it ends; a nested dialog takes the steps that come
// while it is open. A message box takes the next queued answer, or its default
// button; a file dialog the next queued answer, or Cancel.
//
// Everything shown and done lands in one ordered transcript, one line per step:
//   Dialog 142 "Quenby - Password" shown
//   Focus 1006                         (the program, or the dialog's first tab stop)
//   User types "secret" into 1006
//   User clicks 1
//   Select 1006 0..end
//   MessageBox "Quenby" 0x30 "Invalid Password!" -> OK
//   User presses Escape
//   Dialog 142 ended -> Cancel
// The program's changes to a control (SetText, Check, Enable/Disable) are recorded
// when they change something; Select and Focus every time, because their order is
// what the user sees. A user step implies its own focus change (typing into an edit
// focuses it) and records no extra Focus line.
//
// A dialog still open when its steps run out gets "Script ended" and the close box;
// if that does not end it either, it is ended with IDCANCEL, so a test never hangs.
//
// Ownership: the test owns the backend and installs it (ScopedBackend).
// Thread: UI thread only.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/Backend.h"

namespace ui {

class ScriptedDialog;

struct UiEvent {
    enum class Kind {
        MessageBox,
        DialogShown,
        DialogEnded,
        UserTypes,
        UserClicks,
        UserPresses,
        UserCloses,
        ScriptEnded,
        SetText,
        Check,
        Enable,
        Select,
        Focus,
        FileDialogShown,
        UserChoosesFile,
    };
    Kind kind = Kind::MessageBox;
    int id = 0;  // dialog or control id
    std::string text;
    std::string caption;
    UINT flags = 0;
    int result = 0;  // button or dialog result; Check: state; Enable: 1 or 0
    int start = 0;   // Select
    int end = 0;
    std::string note;  // what the step came to, when it is not the obvious

    std::string Describe() const;
};

class ScriptedBackend : public Backend {
  public:
    // The next message box is answered with `buttonId`.
    void QueueMessageBoxAnswer(int buttonId) { answers_.push_back(buttonId); }
    // Dialog steps, applied to the dialog that is open when their turn comes.
    void QueueType(int controlId, std::string text);
    void QueueClick(int controlId);
    void QueueEnter();
    void QueueEscape();
    void QueueCloseBox();
    // The next file dialog: the user chooses `path` (and confirms), or cancels.
    void QueueFileDialogAnswer(std::string path);
    void QueueFileDialogCancel();

    int ShowMessageBox(const MessageBoxRequest& request) override;
    int RunModalDialog(const DialogTemplate& dialogTemplate, DialogClient& client) override;
    int ShowFileDialog(const FileDialogRequest& request, std::string& path) override;

    const std::vector<UiEvent>& transcript() const { return transcript_; }
    std::vector<std::string> Lines() const;
    // Only the texts of the message boxes shown, in order.
    std::vector<std::string> MessageTexts() const;
    void ClearTranscript() { transcript_.clear(); }
    std::size_t PendingAnswers() const { return answers_.size(); }
    std::size_t PendingSteps() const { return steps_.size(); }
    std::size_t PendingFileAnswers() const { return fileAnswers_.size(); }

  private:
    friend class ScriptedDialog;

    struct Step {
        enum class Action { Type, Click, Enter, Escape, Close };
        Action action = Action::Click;
        int id = 0;
        std::string text;
    };
    struct FileAnswer {
        bool cancel = false;
        std::string path;
    };

    void Record(UiEvent event) { transcript_.push_back(std::move(event)); }
    void Apply(const Step& step, ScriptedDialog& dialog);
    bool FileAnswerAcceptable(const FileDialogRequest& request, const std::string& chosen);

    std::deque<int> answers_;
    std::deque<Step> steps_;
    std::deque<FileAnswer> fileAnswers_;
    std::vector<UiEvent> transcript_;
};

}  // namespace ui
