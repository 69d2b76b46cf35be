#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QImage>
#include <QWebEnginePage>
#include <atomic>
#include <set>
#include <thread>

#include "QtTestApp.h"
#include "TestEnvironment.h"
#include "browser/BrowserProcess.h"
#include "browser/BrowserUrls.h"
#include "browser/ResourceSchemeHandler.h"
#include "browser/WebBrowser.h"

namespace {

// A frameset of two frames, as the program's pages are. The frameset's own script
// counts the messages it sees: the control's reports must stay invisible to it, and
// a frame's look-alike message (the one message it does see) must not count as an
// event.
const char* const kFrameset = R"(<!DOCTYPE html>
<html><head><title>Quenby frameset</title>
<script>var seen = 0;
window.addEventListener('message', function () { seen++; document.title = 'page saw ' + seen; });
</script></head>
<frameset rows="96,*" border="0">
<frame name="top" src="top.htm" scrolling="no"><frame name="down" src="down.htm">
</frameset></html>
)";
const char* const kTop = R"(<!DOCTYPE html>
<html><head><style>
body { margin: 0; font: 15px "DejaVu Sans", sans-serif; background: #1f4e79; color: white; }
h1 { margin: 0; padding: 18px 24px 4px; font-weight: normal; font-size: 26px; }
p { margin: 0; padding: 0 24px; color: #cfe0f0; }
</style></head><body><h1>Quenby</h1><p>Your form data, kept on this machine.</p>
<script>window.top.postMessage({quenbyDocumentComplete: 'guess', url: 'spoofed', top: true}, '*');
</script></body></html>
)";
const char* const kDown = R"(<!DOCTYPE html>
<html><head><style>
body { margin: 0; padding: 20px 24px; font: 14px "DejaVu Sans", sans-serif; background: #f3f3f3; }
td { padding: 6px 14px 6px 0; } th { text-align: left; padding-right: 14px; color: #555; }
</style></head><body><table><tr><th>Identity</th><th>Fields</th></tr>
<tr><td>Home</td><td>7</td></tr><tr><td>Work</td><td>5</td></tr></table></body></html>
)";
const char* const kBlankPage =
    "<HTML>\r\n<HEAD>\r\n<TITLE>sdfsdfk</TITLE>\r\n</HEAD>\r\n<BODY>\r\n</BODY>\r\n</HTML>\r\n";

int FreeLoopbackPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(s);
    return ntohs(address.sin_port);
}

int g_devToolsPort = 0;

// The body of an HTTP GET to 127.0.0.1:port (empty on any failure; never hangs).
std::string HttpGet(int port, const std::string& path) {
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const timeval patience{5, 0};
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof(patience));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string response;
    const std::string request =
        "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        ::write(s, request.data(), request.size()) == static_cast<ssize_t>(request.size())) {
        char buffer[4096];
        for (ssize_t n; (n = ::read(s, buffer, sizeof(buffer))) > 0;) {
            response.append(buffer, static_cast<std::size_t>(n));
            const std::size_t head = response.find("\r\n\r\n");
            const std::size_t field = response.find("Content-Length:");
            if (head != std::string::npos && field != std::string::npos &&
                response.size() >= head + 4 + std::stoul(response.substr(field + 15))) {
                break;
            }
        }
    }
    ::close(s);
    const std::size_t head = response.find("\r\n\r\n");
    return head == std::string::npos ? std::string() : response.substr(head + 4);
}

void PrepareApp() {
    qbtest::QtApp([] {
        g_devToolsPort = FreeLoopbackPort();
        ::setenv("QUENBY_DEVTOOLS_PORT", std::to_string(g_devToolsPort).c_str(), 1);
        browser::PrepareBrowserProcess();
    });
}

class WebBrowserTest : public qbtest::TempEnvironment {
  protected:
    void SetUp() override {
        TempEnvironment::SetUp();
        std::filesystem::permissions(Path("run"), std::filesystem::perms::owner_all);
        PrepareApp();
        control_ = std::make_unique<browser::WebBrowser>();
        control_->resize(754, 474);  // the main window's client area, 503 x 316 dialog units
        control_->show();
        control_->SetDocumentCompleteHandler(
            [this](const browser::DocumentCompleteEvent& event) { events_.push_back(event); });
    }
    void TearDown() override {
        control_.reset();
        browser::SetResourceProvider({});
        TempEnvironment::TearDown();
    }

    // An install folder with a blank in its name and the frameset in Resources.
    std::string InstallPages() {
        const std::string folder = Path("My Apps/Quenby");
        std::filesystem::create_directories(folder + "/Resources");
        qbtest::WriteFile(folder + "/Resources/frameset.htm", kFrameset);
        qbtest::WriteFile(folder + "/Resources/top.htm", kTop);
        qbtest::WriteFile(folder + "/Resources/down.htm", kDown);
        qbtest::WriteFile(folder + "/Resources/other.htm", "<html><body>other</body></html>");
        return folder;
    }

    static std::string FileUrl(const std::string& path) {
        std::string url = "file://";
        for (const char c : path) {
            url += c == ' ' ? std::string("%20") : std::string(1, c);
        }
        return url;
    }

    bool WaitForEvents(std::size_t count) {
        return qbtest::RunEventsUntil([&] { return events_.size() >= count; });
    }

    // Runs the loop a little longer so that a stray extra event would show.
    void Settle() {
        bool done = false;
        QTimer::singleShot(500, [&] { done = true; });
        qbtest::RunEventsUntil([&] { return done; });
    }

    std::string Title() const { return control_->Page()->title().toStdString(); }

    std::unique_ptr<browser::WebBrowser> control_;
    std::vector<browser::DocumentCompleteEvent> events_;
};

TEST_F(WebBrowserTest, FramesetReportsEachFrameAndThenTheTopDocument) {
    const std::string folder = InstallPages();
    control_->Navigate(browser::PagesUrl(folder));
    ASSERT_TRUE(WaitForEvents(3));
    Settle();
    ASSERT_EQ(events_.size(), 3u) << "one event per document, no more";

    const std::string resources = FileUrl(folder + "/Resources/");
    std::set<std::string> frames;
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(events_[i].topLevel);
        frames.insert(events_[i].url);
    }
    EXPECT_EQ(frames, (std::set<std::string>{resources + "top.htm", resources + "down.htm"}));
    EXPECT_TRUE(events_[2].topLevel) << "the top document comes last";
    EXPECT_EQ(events_[2].url, resources + "frameset.htm");
    EXPECT_EQ(control_->LocationUrl(), resources + "frameset.htm");
    EXPECT_EQ(Title(), "page saw 1") << "the page saw the frame's look-alike, none of ours";

    const QImage shot = control_->grab().toImage();
    ASSERT_TRUE(shot.save(QString::fromStdString(qbtest::ScreenshotPath("browser-frameset.png"))));
    EXPECT_EQ(shot.pixelColor(700, 20), QColor(0x1f, 0x4e, 0x79)) << "the top frame is drawn";
    EXPECT_EQ(shot.pixelColor(700, 400), QColor(0xf3, 0xf3, 0xf3)) << "the lower frame is drawn";

    // A frame navigated on its own reports itself only.
    events_.clear();
    control_->Page()->runJavaScript(QStringLiteral("frames['down'].location.href = 'other.htm';"));
    ASSERT_TRUE(WaitForEvents(1));
    Settle();
    ASSERT_EQ(events_.size(), 1u);
    EXPECT_FALSE(events_[0].topLevel);
    EXPECT_EQ(events_[0].url, resources + "other.htm");
}

TEST_F(WebBrowserTest, BlankPageComesFromTheResourceProvider) {
    std::vector<std::pair<std::string, int>> asked;
    browser::SetResourceProvider(
        [&](const std::string& module, int id) -> std::optional<std::string> {
            asked.emplace_back(module, id);
            if (module == "/opt/my app/Quenby" && id == 146) {
                return std::string(kBlankPage);
            }
            return std::nullopt;
        });
    control_->Navigate(browser::ResourceUrl("/opt/my app/Quenby", 146));
    ASSERT_TRUE(WaitForEvents(1));
    EXPECT_TRUE(events_[0].topLevel);
    EXPECT_EQ(events_[0].url, "res:///opt/my%20app/Quenby/146");
    EXPECT_EQ(Title(), "sdfsdfk");
    EXPECT_EQ(asked, (std::vector<std::pair<std::string, int>>{{"/opt/my app/Quenby", 146}}));

    // A resource that does not exist still ends in a completed (error) document.
    events_.clear();
    control_->Navigate(browser::ResourceUrl("/opt/my app/Quenby", 147));
    ASSERT_TRUE(WaitForEvents(1));
    EXPECT_TRUE(events_[0].topLevel);
    EXPECT_EQ(events_[0].url, "res:///opt/my%20app/Quenby/147");
    EXPECT_NE(Title(), "sdfsdfk");
}

TEST_F(WebBrowserTest, MissingPagesStillCompleteWithTheirUrl) {
    control_->Navigate(browser::PagesUrl(""));  // an install folder that cannot be read
    ASSERT_TRUE(WaitForEvents(1));
    EXPECT_TRUE(events_[0].topLevel);
    EXPECT_EQ(events_[0].url, "file:///Resources/frameset.htm");
}

TEST_F(WebBrowserTest, DevToolsAnswerOnLoopbackWhenAsked) {
    const std::string folder = InstallPages();
    control_->Navigate(browser::PagesUrl(folder));
    ASSERT_TRUE(WaitForEvents(3));

    // The DevTools server needs the UI thread, so it is asked from another thread.
    std::atomic<bool> done{false};
    std::string listing;
    std::thread client([&] {
        for (int attempt = 0; attempt < 100 && listing.find("frameset.htm") == std::string::npos;
             ++attempt) {
            listing = HttpGet(g_devToolsPort, "/json/list");
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        done = true;
    });
    qbtest::RunEventsUntil([&] { return done.load(); });
    client.join();
    EXPECT_NE(listing.find("\"url\": \"" + FileUrl(folder) + "/Resources/frameset.htm\""),
              std::string::npos)
        << listing;
    EXPECT_NE(listing.find("webSocketDebuggerUrl"), std::string::npos) << listing;
}

}  // namespace
