// The push-pin: its pictures and size, and the keep-above state it gives the window.
#include <QPushButton>
#include <QTimer>

#include "app/push_pin_button.h"
#include "console_fixture.h"
#include "resources/pictures.h"

namespace consoletest {
namespace {

using namespace console_ids;
using platform::Language;

QImage Rendered(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_ARGB32); }

TEST(PushPin, TogglesTheKeepAboveStateWithoutMovingTheWindow)
{
    DeviceTree tree;
    CQuillonDlg dlg(Language::English);
    int finished = 0;
    QObject::connect(&dlg, &QDialog::finished, [&finished] { ++finished; });
    dlg.show();
    ProcessEvents();
    const QPoint where = dlg.pos();
    CPushPinButton* pin = dlg.PushPin();
    ASSERT_NE(pin, nullptr);
    EXPECT_EQ(pin->m_bPinned, 0);
    const QImage sideView = Rendered(pin);

    pin->click();
    ProcessEvents();
    EXPECT_EQ(dlg.m_bTopMost, 1);
    EXPECT_EQ(pin->m_bPinned, 1);
    EXPECT_TRUE(dlg.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.pos(), where);
    const QImage pressedView = Rendered(pin);
    EXPECT_NE(pressedView, sideView);

    pin->click();
    ProcessEvents();
    EXPECT_EQ(dlg.m_bTopMost, 0);
    EXPECT_EQ(pin->m_bPinned, 0);
    EXPECT_FALSE(dlg.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.pos(), where);
    EXPECT_EQ(Rendered(pin), sideView);
    // The other window flags are untouched and the window was not ended by the change.
    EXPECT_FALSE(dlg.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(dlg.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(finished, 0);
}

TEST(PushPin, DrawsItsPicturesAtExactlyTheirSize)
{
    QWidget parent;
    auto* pin = new CPushPinButton(&parent);
    pin->setGeometry(10, 20, 40, 30);  // whatever the layout gives it
    EXPECT_EQ(pin->geometry(), QRect(10, 20, 16, 15));
    EXPECT_EQ(pin->m_bmpPinned.size(), QSize(16, 15));
    EXPECT_EQ(pin->m_bmpUnpinned.size(), QSize(16, 15));

    const QPalette palette = pin->palette();
    EXPECT_EQ(Rendered(pin), MapThreeDColors(resources::LoadBitmap(resources::kBitmapPinSide).toImage(), palette));
    pin->m_bPinned = 1;
    EXPECT_EQ(Rendered(pin), MapThreeDColors(resources::LoadBitmap(resources::kBitmapPinPressed).toImage(), palette));
}

TEST(PushPin, ThreeDGreysBecomeTheStylesColours)
{
    QImage image(4, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgb(192, 192, 192));
    image.setPixel(1, 0, qRgb(128, 128, 128));
    image.setPixel(2, 0, qRgb(223, 223, 223));
    image.setPixel(3, 0, qRgb(12, 34, 56));
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(1, 2, 3));
    palette.setColor(QPalette::Dark, QColor(4, 5, 6));
    palette.setColor(QPalette::Midlight, QColor(7, 8, 9));

    const QImage mapped = MapThreeDColors(image, palette);
    EXPECT_EQ(mapped.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(mapped.pixel(1, 0), qRgb(4, 5, 6));
    EXPECT_EQ(mapped.pixel(2, 0), qRgb(7, 8, 9));
    EXPECT_EQ(mapped.pixel(3, 0), qRgb(12, 34, 56));
}

}  // namespace
}  // namespace consoletest
