#include "HeadlessSite.h"

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

#include "ProgramResources.h"
#include "ui/Dialog.h"
#include "ui/Resources.h"

namespace {

std::string Hex(std::uintptr_t value) {
    char text[24];
    std::snprintf(text, sizeof(text), "0x%lX", static_cast<unsigned long>(value));
    return text;
}

std::string MessageName(UINT message) {
    switch (message) {
        case WM_SYSCOMMAND:
            return "WM_SYSCOMMAND";
        case WM_PAINT:
            return "WM_PAINT";
        case WM_CLOSE:
            return "WM_CLOSE";
        case WM_ICONERASEBKGND:
            return "WM_ICONERASEBKGND";
        default:
            return Hex(message);
    }
}

// The file of a file:/// URL ("%20" back to blanks); empty for other URLs.
std::string FileOf(const std::string& url) {
    const std::string scheme = "file://";
    if (url.rfind(scheme, 0) != 0) {
        return {};
    }
    std::string path = url.substr(scheme.size());
    for (std::size_t at; (at = path.find("%20")) != std::string::npos;) {
        path.replace(at, 3, " ");
    }
    return path;
}

// The URLs of the frames of a frameset file, resolved against its own URL.
std::vector<std::string> FramesOf(const std::string& url) {
    std::ifstream in(FileOf(url));
    if (!in) {
        return {};
    }
    std::stringstream text;
    text << in.rdbuf();
    const std::string html = text.str();
    const std::string base = url.substr(0, url.rfind('/') + 1);
    std::vector<std::string> frames;
    const std::regex frame(R"re(<frame[^>]*\ssrc="([^"]+)")re", std::regex::icase);
    for (auto it = std::sregex_iterator(html.begin(), html.end(), frame);
         it != std::sregex_iterator(); ++it) {
        frames.push_back(base + (*it)[1].str());
    }
    return frames;
}

}  // namespace

void FakeBrowser::Navigate(const std::string& url) {
    site_.Log("Navigate " + url);
    navigations_.push_back(url);
    pending_.push_back(url);
}

void FakeBrowser::SetDocumentCompleteHandler(DocumentCompleteHandler handler) {
    handler_ = std::move(handler);
}

bool FakeBrowser::Complete() {
    if (pending_.empty()) {
        return false;
    }
    const std::string url = pending_.front();
    pending_.pop_front();
    std::vector<std::pair<std::string, bool>> documents;
    for (const std::string& frame : FramesOf(url)) {
        documents.emplace_back(frame, false);
    }
    documents.emplace_back(url, true);
    for (const auto& [document, top] : documents) {
        site_.Log("DocumentComplete " + document + (top ? " top" : " frame"));
        if (handler_) {
            auto handler = handler_;  // the handler may end the dialog
            handler(document, top);
        }
    }
    return true;
}

HeadlessSite::HeadlessSite() : browser_(*this) {}

HeadlessSite::~HeadlessSite() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

void HeadlessSite::EnableControlContainer() {
    enabled_ = true;
}

CBrowserControl* HeadlessSite::BrowserOf(CDialog& dialog, int id) {
    const ui::DialogTemplate* t = ui::FindDialogTemplate(static_cast<int>(dialog.GetTemplateId()));
    if (!enabled_ || t == nullptr) {
        return nullptr;
    }
    for (const ui::ControlTemplate& control : t->controls) {
        if (control.id == id && control.className == kBrowserControlClass) {
            return &browser_;
        }
    }
    return nullptr;
}

HWND HeadlessSite::AttachWindow(CDialog&, const std::string& caption, WindowProc proc) {
    Log("Attach " + caption);
    menu_ = StandardSystemMenu();
    minimized_ = false;
    window_ = CreateTopLevelWindow(caption.c_str(), std::move(proc), [this] { Log("Raise"); });
    return window_;
}

void HeadlessSite::DetachWindow(HWND window) {
    if (window == window_ && window != nullptr) {
        Log("Detach");
        DestroyWindow(window_);
        window_ = nullptr;
    }
}

LRESULT HeadlessSite::DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETICON) {
        const auto* icon = reinterpret_cast<HICON>(lParam);
        Log(std::string("SetIcon ") + (wParam == ICON_BIG ? "big " : "small ") +
            (icon != nullptr ? std::to_string(icon->id) : "none"));
        return 0;
    }
    Log("Default " + MessageName(message) + (message == WM_SYSCOMMAND ? " " + Hex(wParam) : ""));
    if (message == WM_SYSCOMMAND) {
        switch (wParam & 0xFFF0) {
            case SC_RESTORE:
                minimized_ = false;
                Log("Restore");
                break;
            case SC_MINIMIZE:
                minimized_ = true;
                Log("Minimize");
                break;
            case SC_CLOSE:
                SendMessageA(window, WM_CLOSE, 0, 0);
                break;
            default:
                break;
        }
    }
    return 0;
}

HMENU HeadlessSite::GetSystemMenu(HWND window) {
    return window == window_ && window != nullptr ? &menu_ : nullptr;
}

BOOL HeadlessSite::IsIconic(HWND) {
    return minimized_ ? TRUE : FALSE;
}

BOOL HeadlessSite::GetClientRect(HWND, RECT* rect) {
    *rect = RECT{0, 0, width_, height_};
    return TRUE;
}

int HeadlessSite::GetSystemMetrics(int index) {
    return index == SM_CXICON || index == SM_CYICON ? 32 : 0;
}

HDC HeadlessSite::BeginPaint(HWND) {
    Log("BeginPaint");
    return &dc_;
}

void HeadlessSite::EndPaint(HWND, HDC) {
    Log("EndPaint");
}

BOOL HeadlessSite::DrawIcon(HDC, int x, int y, HICON icon) {
    Log("DrawIcon " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(icon->id));
    return TRUE;
}
