#include "QtUiRobot.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTest>

namespace qbtest {
namespace {

constexpr int kPollMs = 10;
constexpr int kPatienceMs = 15000;  // a safety net against hangs, not a speed check

}  // namespace

QtUiRobot::QtUiRobot() {
    timer_.setInterval(kPollMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
}

QtUiRobot::~QtUiRobot() {
    timer_.stop();
    EXPECT_TRUE(steps_.empty()) << steps_.size() << " robot steps never ran";
}

void QtUiRobot::Then(std::function<bool()> ready, std::function<void()> act) {
    steps_.push_back(Step{std::move(ready), std::move(act)});
}

void QtUiRobot::OnDialog(int templateId, std::function<void(ui::qt::QtDialog&)> act) {
    Then(
        [templateId] {
            auto* dialog = ActiveModal<ui::qt::QtDialog>();
            return dialog != nullptr && dialog->dialogTemplate().id == templateId;
        },
        [act] { act(*ActiveModal<ui::qt::QtDialog>()); });
}

void QtUiRobot::OnMessageBox(std::function<void(QMessageBox&)> act) {
    OnModal<QMessageBox>(std::move(act));
}

void QtUiRobot::Poll() {
    if (steps_.empty()) {
        return;
    }
    if (!steps_.front().ready()) {
        waited_ += kPollMs;
        if (waited_ > kPatienceMs) {
            Abandon();
        }
        return;
    }
    waited_ = 0;
    Step step = std::move(steps_.front());
    steps_.pop_front();
    // Acting may open a nested modal loop (a message box from OK); the poll timer does
    // not fire again while its own handler runs, so the act runs from a timer of its own.
    QTimer::singleShot(0, std::move(step.act));
}

void QtUiRobot::Abandon() {
    ADD_FAILURE() << "a robot step waited in vain; " << steps_.size() << " steps dropped";
    steps_.clear();
    // Ends what is open, innermost first, so the code under test returns.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = dynamic_cast<ui::qt::QtDialog*>(modal)) {
            dialog->End(2);
        } else if (auto* box = qobject_cast<QDialog*>(modal)) {
            box->done(0);
        } else {
            modal->hide();
        }
        QApplication::processEvents();
    }
}

void TypeText(const QString& text) {
    QTest::keyClicks(QApplication::focusWidget(), text);
}

void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) {
        target = QApplication::activeWindow();
    }
    QTest::keyClick(target, key, modifiers);
}

void Click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
}

std::string SaveScreenshot(QWidget& window, const std::string& name) {
    const QPixmap client = window.grab();
    const double ratio = client.devicePixelRatio();
    const QSize size = client.deviceIndependentSize().toSize();
    constexpr int kBorder = 1;
    const int titleHeight = QFontMetrics(window.font()).height() + 12;
    QPixmap framed(QSize(size.width() + 2 * kBorder, size.height() + titleHeight + kBorder) *
                   ratio);
    framed.setDevicePixelRatio(ratio);
    framed.fill(QColor(0x8a, 0x8a, 0x8a));
    QPainter painter(&framed);
    const QRect title(kBorder, kBorder, size.width(), titleHeight - kBorder);
    painter.fillRect(title, QColor(0xe8, 0xe8, 0xe7));
    QFont bold = window.font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(QColor(0x2e, 0x34, 0x36));
    painter.drawText(title.adjusted(10, 0, -30, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     window.windowTitle());
    if (window.windowFlags() & Qt::WindowCloseButtonHint) {
        // The close box: a small cross at the right.
        const QPoint c(title.right() - 14, title.center().y());
        painter.setPen(QPen(QColor(0x2e, 0x34, 0x36), 1.5));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawLine(c + QPoint(-4, -4), c + QPoint(4, 4));
        painter.drawLine(c + QPoint(-4, 4), c + QPoint(4, -4));
    }
    painter.drawPixmap(QPoint(kBorder, titleHeight), client);
    painter.end();
    const QString folder = QStringLiteral(QUENBY_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + QString::fromStdString(name) + ".png";
    EXPECT_TRUE(framed.save(path)) << path.toStdString();
    return path.toStdString();
}

}  // namespace qbtest
