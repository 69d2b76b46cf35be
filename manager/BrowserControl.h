// The browser control as the main window sees it: control 1002 of template 102, the
// WebBrowser control. The toolkit's site (WindowSite.h) makes one for each dialog
// that holds the control; tests use a headless stand-in.
//
// Navigate starts loading and returns at once; the control then reports each
// completed document, the frames of a frameset first and the top document last, as
// a DocumentComplete event on the UI thread.
//
// Ownership: the site owns the control; it lives as long as its dialog runs.
// Thread: the UI thread.
#pragma once

#include <functional>
#include <string>

class CBrowserControl {
  public:
    // The document's URL and whether it is the top document (false: a frame).
    using DocumentCompleteHandler = std::function<void(const std::string& url, bool topLevel)>;

    virtual ~CBrowserControl() = default;
    virtual void Navigate(const std::string& url) = 0;
    // Replaces the previous handler; an empty one stops the reports.
    virtual void SetDocumentCompleteHandler(DocumentCompleteHandler handler) = 0;
};
