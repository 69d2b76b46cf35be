#include "ui/ScriptedBackend.h"

#include <cstdio>
#include <filesystem>

#include "ui/DialogTemplate.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/ScriptedDialog.h"

namespace ui {
namespace {

std::string Hex(UINT value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%X", value);
    return text;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string ResultName(int result) {
    switch (result) {
        case IDOK:
        case IDCANCEL:
            return ButtonName(result);
        default:
            return std::to_string(result);
    }
}

std::string WithNote(std::string line, const std::string& note) {
    return note.empty() ? line : line + " (" + note + ")";
}

}  // namespace

std::string UiEvent::Describe() const {
    const std::string control = std::to_string(id);
    switch (kind) {
        case Kind::MessageBox:
            return "MessageBox " + Quoted(caption) + " " + Hex(flags) + " " + Quoted(text) +
                   " -> " + ButtonName(result);
        case Kind::DialogShown:
            return "Dialog " + control + " " + Quoted(caption) + " shown";
        case Kind::DialogEnded:
            return "Dialog " + control + " ended -> " + ResultName(result);
        case Kind::UserTypes:
            return WithNote("User types " + Quoted(text) + " into " + control, note);
        case Kind::UserClicks:
            return WithNote("User clicks " + control, note);
        case Kind::UserPresses:
            return WithNote("User presses " + text, note);
        case Kind::UserCloses:
            return WithNote("User closes the dialog", note);
        case Kind::ScriptEnded:
            return "Script ended: " + note;
        case Kind::SetText:
            return "SetText " + control + " " + Quoted(text);
        case Kind::Check:
            return "Check " + control + (result == BST_CHECKED ? " checked" : " unchecked");
        case Kind::Enable:
            return (result != 0 ? "Enable " : "Disable ") + control;
        case Kind::Select:
            return "Select " + control + " " + std::to_string(start) + ".." +
                   (end < 0 ? std::string("end") : std::to_string(end));
        case Kind::Focus:
            return "Focus " + control;
        case Kind::FileDialogShown:
            return "FileDialog " + caption + " " + Quoted(text) + " filter " + Quoted(note) +
                   " flags " + Hex(flags) + " shown";
        case Kind::UserChoosesFile:
            return result == IDOK ? "User chooses " + Quoted(text) : "User cancels the file dialog";
    }
    return {};
}

void ScriptedBackend::QueueType(int controlId, std::string text) {
    steps_.push_back(Step{Step::Action::Type, controlId, std::move(text)});
}

void ScriptedBackend::QueueClick(int controlId) {
    steps_.push_back(Step{Step::Action::Click, controlId, {}});
}

void ScriptedBackend::QueueEnter() {
    steps_.push_back(Step{Step::Action::Enter, 0, {}});
}

void ScriptedBackend::QueueEscape() {
    steps_.push_back(Step{Step::Action::Escape, 0, {}});
}

void ScriptedBackend::QueueCloseBox() {
    steps_.push_back(Step{Step::Action::Close, 0, {}});
}

void ScriptedBackend::QueueFileDialogAnswer(std::string path) {
    fileAnswers_.push_back(FileAnswer{false, std::move(path)});
}

void ScriptedBackend::QueueFileDialogCancel() {
    fileAnswers_.push_back(FileAnswer{true, {}});
}

int ScriptedBackend::ShowMessageBox(const MessageBoxRequest& request) {
    int answer = DefaultButtonOf(request.type);
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    UiEvent event;
    event.kind = UiEvent::Kind::MessageBox;
    event.text = request.text;
    event.caption = request.caption;
    event.flags = request.type;
    event.result = answer;
    Record(std::move(event));
    return answer;
}

int ScriptedBackend::RunModalDialog(const DialogTemplate& dialogTemplate, DialogClient& client) {
    ScriptedDialog dialog(dialogTemplate, *this, client);
    UiEvent shown;
    shown.kind = UiEvent::Kind::DialogShown;
    shown.id = dialogTemplate.id;
    shown.caption = dialogTemplate.caption;
    Record(std::move(shown));

    client.AttachWindow(&dialog);
    if (client.HandleInitDialog() && !dialog.ended()) {
        dialog.FocusFirstTabStop();
    }
    while (!dialog.ended()) {
        if (steps_.empty()) {
            UiEvent ended;
            ended.kind = UiEvent::Kind::ScriptEnded;
            ended.note = "the close box is used";
            Record(std::move(ended));
            dialog.UserClose();
            if (!dialog.ended()) {
                ended.note = "the dialog did not close; ended with Cancel";
                Record(ended);
                dialog.End(IDCANCEL);
            }
            break;
        }
        const Step step = steps_.front();
        steps_.pop_front();
        Apply(step, dialog);
    }
    client.AttachWindow(nullptr);

    UiEvent ended;
    ended.kind = UiEvent::Kind::DialogEnded;
    ended.id = dialogTemplate.id;
    ended.result = dialog.result();
    Record(std::move(ended));
    return dialog.result();
}

void ScriptedBackend::Apply(const Step& step, ScriptedDialog& dialog) {
    switch (step.action) {
        case Step::Action::Type:
            dialog.UserType(step.id, step.text);
            break;
        case Step::Action::Click:
            dialog.UserClick(step.id);
            break;
        case Step::Action::Enter:
            dialog.UserEnter();
            break;
        case Step::Action::Escape:
            dialog.UserEscape();
            break;
        case Step::Action::Close:
            dialog.UserClose();
            break;
    }
}

int ScriptedBackend::ShowFileDialog(const FileDialogRequest& request, std::string& path) {
    UiEvent shown;
    shown.kind = UiEvent::Kind::FileDialogShown;
    shown.caption = request.open ? "open" : "save";
    shown.text = request.initialName;
    shown.note = request.filter;
    shown.flags = request.flags;
    Record(std::move(shown));
    path.clear();
    while (true) {
        UiEvent choice;
        choice.kind = UiEvent::Kind::UserChoosesFile;
        if (fileAnswers_.empty()) {
            UiEvent ended;
            ended.kind = UiEvent::Kind::ScriptEnded;
            ended.note = "the file dialog is cancelled";
            Record(std::move(ended));
            return IDCANCEL;
        }
        FileAnswer answer = std::move(fileAnswers_.front());
        fileAnswers_.pop_front();
        if (answer.cancel) {
            choice.result = IDCANCEL;
            Record(std::move(choice));
            return IDCANCEL;
        }
        const std::string chosen = WithDefaultExtension(answer.path, request.defaultExtension);
        choice.result = IDOK;
        choice.text = chosen;
        Record(std::move(choice));
        if (FileAnswerAcceptable(request, chosen)) {
            path = chosen;
            return IDOK;
        }
    }
}

// The checks the real dialog makes before it takes a name; a refused name keeps the
// dialog open for the next answer.
bool ScriptedBackend::FileAnswerAcceptable(const FileDialogRequest& request,
                                           const std::string& chosen) {
    namespace fs = std::filesystem;
    const char* caption = request.open ? "Open" : "Save As";
    std::error_code ec;
    const fs::path file(chosen);
    const fs::path folder = file.parent_path();
    if (request.Has(OFN_PATHMUSTEXIST) && !folder.empty() && !fs::is_directory(folder, ec)) {
        MessageBoxA(nullptr,
                    (chosen + "\nPath does not exist.\nCheck the path and try again.").c_str(),
                    caption, MB_OK | MB_ICONWARNING);
        return false;
    }
    const bool exists = fs::exists(file, ec);
    if (request.open && request.Has(OFN_FILEMUSTEXIST) && !exists) {
        MessageBoxA(
            nullptr,
            (FileNameOf(chosen) + "\nFile not found.\nCheck the file name and try again.").c_str(),
            caption, MB_OK | MB_ICONWARNING);
        return false;
    }
    if (!request.open && request.Has(OFN_OVERWRITEPROMPT) && exists) {
        const std::string question =
            FileNameOf(chosen) + " already exists.\nDo you want to replace it?";
        return MessageBoxA(nullptr, question.c_str(), caption, MB_YESNO | MB_ICONWARNING) == IDYES;
    }
    return true;
}

std::vector<std::string> ScriptedBackend::Lines() const {
    std::vector<std::string> lines;
    lines.reserve(transcript_.size());
    for (const UiEvent& event : transcript_) {
        lines.push_back(event.Describe());
    }
    return lines;
}

std::vector<std::string> ScriptedBackend::MessageTexts() const {
    std::vector<std::string> texts;
    for (const UiEvent& event : transcript_) {
        if (event.kind == UiEvent::Kind::MessageBox) {
            texts.push_back(event.text);
        }
    }
    return texts;
}

}  // namespace ui
