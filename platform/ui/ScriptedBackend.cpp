#include "ui/ScriptedBackend.h"

#include <cstdio>

#include "ui/MessageBox.h"

namespace ui {

std::string UiEvent::Describe() const {
    char flagText[16];
    std::snprintf(flagText, sizeof(flagText), "0x%X", flags);
    switch (kind) {
        case Kind::MessageBox:
            return "MessageBox \"" + caption + "\" " + flagText + " \"" + text + "\" -> " +
                   ButtonName(result);
    }
    return {};
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
    transcript_.push_back(std::move(event));
    return answer;
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
