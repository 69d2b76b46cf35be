#include "QtLayoutCheck.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <cmath>

#include "QtUiRobot.h"
#include "ui/qt/QtDialog.h"

namespace qbtest {
namespace {

// A client that leaves the dialog as the template made it.
class InertClient : public ui::DialogClient {
  public:
    void AttachWindow(ui::DialogWindow*) override {}
    bool HandleInitDialog() override { return true; }
    void HandleCommand(int, int) override {}
    void HandleClose() override {}
};

// Dialog units to pixels, straight from the definition.
QRect Expected(const QFont& font, int x, int y, int cx, int cy) {
    const QFontMetricsF metrics(font);
    const double baseX =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0;
    const double baseY = metrics.height();
    auto px = [](double v) { return static_cast<int>(std::lround(v)); };
    const int left = px(x * baseX / 4);
    const int top = px(y * baseY / 8);
    return QRect(left, top, px((x + cx) * baseX / 4) - left, px((y + cy) * baseY / 8) - top);
}

void CheckNothingCutOff(const ui::ControlTemplate& control, QWidget& widget) {
    const std::string what = "control " + std::to_string(control.id) + " \"" + control.text + "\"";
    const QFontMetrics metrics(widget.font());
    const QString text = QString::fromStdString(ui::StripMnemonic(control.text));
    if (auto* label = qobject_cast<QLabel*>(&widget); label != nullptr && !text.isEmpty()) {
        EXPECT_LE(metrics.horizontalAdvance(text), widget.width()) << what << " is too wide";
        EXPECT_LE(metrics.height(), widget.height()) << what << " is too tall";
    } else if (auto* box = qobject_cast<QCheckBox*>(&widget)) {
        EXPECT_LE(box->sizeHint().width(), widget.width()) << what << " is too wide";
        EXPECT_LE(metrics.height(), widget.height()) << what << " is too tall";
    } else if (qobject_cast<QPushButton*>(&widget) != nullptr) {
        EXPECT_LE(metrics.horizontalAdvance(text) + 12, widget.width()) << what;
        EXPECT_LE(metrics.height() + 6, widget.height()) << what;
    } else if (qobject_cast<QLineEdit*>(&widget) != nullptr) {
        // The text line inside the frame.
        const int frame =
            widget.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &widget);
        EXPECT_LE(metrics.height() + 2, widget.height() - 2 * frame) << what << " cuts its text";
    }
}

}  // namespace

void CheckEveryTemplate(const ui::ResourceTable& table, const std::string& prefix) {
    for (const ui::DialogTemplate& t : table.dialogs) {
        SCOPED_TRACE("template " + std::to_string(t.id));
        InertClient client;
        ui::qt::QtDialog dialog(t, client);
        const QFont font = dialog.font();
        EXPECT_EQ(dialog.size(), Expected(font, 0, 0, t.cx, t.cy).size());
        EXPECT_EQ(dialog.windowTitle().toStdString(), t.caption);
        ASSERT_EQ(dialog.Widgets().size(), t.controls.size());
        dialog.show();
        QApplication::processEvents();
        for (std::size_t i = 0; i < t.controls.size(); ++i) {
            const ui::ControlTemplate& c = t.controls[i];
            QWidget& widget = *dialog.Widgets()[i];
            const QRect expected = Expected(font, c.x, c.y, c.cx, c.cy);
            if (c.IsIcon()) {
                EXPECT_EQ(widget.geometry(), QRect(expected.topLeft(), QSize(32, 32)));
                auto* label = qobject_cast<QLabel*>(&widget);
                ASSERT_NE(label, nullptr);
                EXPECT_FALSE(label->pixmap().isNull()) << "icon " << c.iconId << " not found";
            } else if (c.IsEtchedLine()) {
                EXPECT_EQ(widget.geometry(), QRect(expected.topLeft(), QSize(expected.width(), 2)));
            } else {
                EXPECT_EQ(widget.geometry(), expected) << "control " << c.id;
            }
            EXPECT_TRUE(QRect(QPoint(0, 0), dialog.size()).contains(widget.geometry()))
                << "control " << c.id << " lies outside the dialog";
            CheckNothingCutOff(c, widget);
        }
        SaveScreenshot(dialog, prefix + "-" + std::to_string(t.id));
        dialog.hide();
    }
}

}  // namespace qbtest
