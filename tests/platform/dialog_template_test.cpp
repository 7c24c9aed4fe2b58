// Dialogs from layout data: dialog units to pixels, one widget per control kind, styles, the
// factory hook and placement.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <cmath>
#include <stdexcept>
#include <utility>

#include "platform/qt/dialog_template.h"
#include "platform/qt/ip_address_edit.h"
#include "platform/qt/tab_control.h"
#include "test_window.h"

namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;
using platform::DluConverter;
using qttest::TestWindow;

// ---------------------------------------------------------------- units to pixels

struct UnitCase {
    int avgWidth, height;
    int units;
    int x, y;
};

class DluUnits : public ::testing::TestWithParam<UnitCase> {};

TEST_P(DluUnits, ScaleByQuarterWidthAndEighthHeightRounded)
{
    const UnitCase& c = GetParam();
    const DluConverter conv(c.avgWidth, c.height);
    EXPECT_EQ(conv.X(c.units), c.x);
    EXPECT_EQ(conv.Y(c.units), c.y);
}

INSTANTIATE_TEST_SUITE_P(Cases, DluUnits,
                         ::testing::Values(UnitCase{6, 13, 4, 6, 7},      // 6.5 rounds up
                                           UnitCase{6, 13, 1, 2, 2},      // 1.5 and 1.625
                                           UnitCase{6, 13, 3, 5, 5},      // 4.5 and 4.875
                                           UnitCase{6, 13, 358, 537, 582},
                                           UnitCase{6, 13, 256, 384, 416},
                                           UnitCase{7, 15, 341, 597, 639},  // 596.75, 639.375
                                           UnitCase{7, 15, 0, 0, 0},
                                           UnitCase{7, 15, -3, -5, -6}));

TEST(DluConverter, RectMapsEdgesSoNeighboursStillTouch)
{
    const DluConverter conv(7, 15);
    // Two controls side by side and one below, touching in dialog units.
    const QRect left(3, 0, 244, 92), right(247, 0, 109, 93), below(3, 92, 10, 10);
    const QRect l = conv.Rect(left), r = conv.Rect(right), b = conv.Rect(below);
    EXPECT_EQ(l.right() + 1, r.left());
    EXPECT_EQ(l.bottom() + 1, b.top());
    EXPECT_EQ(l, QRect(conv.X(3), 0, conv.X(247) - conv.X(3), conv.Y(92)));
    EXPECT_EQ(conv.Size(QSize(358, 256)), QSize(conv.X(358), conv.Y(256)));
}

TEST(DluConverter, MeasuresTheFontsAverageAlphabetWidthAndLineHeight)
{
    for (int size : {8, 9, 12, 20}) {
        QFont font("DejaVu Sans");
        font.setPointSize(size);
        const DluConverter conv(font);
        const QFontMetrics metrics(font);
        const double average =
            metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0;
        EXPECT_LE(std::abs(conv.AverageCharWidth() - average), 0.5 + 1.0 / 52) << size << " pt";
        EXPECT_EQ(conv.CharHeight(), metrics.height()) << size << " pt";
    }
}

// ---------------------------------------------------------------- the builder

ControlTemplate Control(int id, ControlKind kind, const QString& text, QRect dlu, unsigned style = 0)
{
    return ControlTemplate{id, kind, text, dlu, style};
}

DialogTemplate EveryKind()
{
    DialogTemplate t;
    t.layoutId = 1;
    t.dlu = QSize(200, 150);
    t.fontFamily = "DejaVu Sans";
    t.pointSize = 9;
    t.controls = {
        Control(-1, ControlKind::GroupBox, "Frame", {2, 2, 100, 40}),
        Control(10, ControlKind::Label, "Label:", {6, 12, 30, 8}),
        Control(11, ControlKind::SunkenText, "/a/very/long/path/to/a/folder/", {40, 10, 40, 12},
                platform::kStylePathEllipsis),
        Control(12, ControlKind::PushButton, "Open\nPort", {6, 24, 28, 16}, platform::kStyleMultiLine),
        Control(13, ControlKind::CheckBox, "Chinese\nMode", {40, 26, 50, 8}),
        Control(14, ControlKind::DropList, "NONE\nODD\nEVEN", {110, 4, 40, 52}),
        Control(15, ControlKind::Edit, "", {110, 20, 40, 12}),
        Control(16, ControlKind::NumberEdit, "1000", {110, 34, 40, 12}),
        Control(17, ControlKind::MultiLineEdit, "", {2, 46, 90, 40}, platform::kStyleWantReturn),
        Control(18, ControlKind::MultiLineEdit, "", {96, 46, 90, 40}),
        Control(19, ControlKind::TabControl, "", {2, 90, 80, 50}),
        Control(20, ControlKind::IpAddress, "", {86, 90, 97, 12}),
        Control(21, ControlKind::Icon, "", {86, 106, 18, 18}),
        Control(22, ControlKind::PushPin, "", {108, 106, 13, 10}),
        Control(23, ControlKind::ListView, "", {126, 106, 70, 40}),
        Control(24, ControlKind::Label, "Hidden", {160, 60, 30, 8}, platform::kStyleHidden),
        Control(25, ControlKind::PushButton, "Off", {160, 70, 30, 12}, platform::kStyleDisabled),
        Control(26, ControlKind::SunkenText, "RX:0", {160, 84, 30, 11}, platform::kStyleCentered),
    };
    return t;
}

class BuilderTest : public ::testing::Test {
protected:
    BuilderTest() : tmpl(EveryKind()), conv(platform::BuildFromTemplate(w, tmpl)) {}

    const ControlTemplate& Find(int id) const
    {
        for (const ControlTemplate& c : tmpl.controls)
            if (c.id == id)
                return c;
        throw std::logic_error("no such control");
    }

    TestWindow w;
    DialogTemplate tmpl;
    DluConverter conv;
};

TEST_F(BuilderTest, SetsTheFontAndAFixedClientSize)
{
    EXPECT_EQ(w.font().family(), "DejaVu Sans");
    EXPECT_EQ(w.font().pointSize(), 9);
    EXPECT_EQ(conv.AverageCharWidth(), DluConverter(w.font()).AverageCharWidth());
    const QSize size(conv.X(200), conv.Y(150));
    EXPECT_EQ(w.minimumSize(), size);
    EXPECT_EQ(w.maximumSize(), size);
}

TEST_F(BuilderTest, MakesOneWidgetOfTheRightTypePerKindAndRegistersIt)
{
    EXPECT_NE(qobject_cast<QLabel*>(w.Item(10)), nullptr);
    EXPECT_NE(qobject_cast<QLabel*>(w.Item(11)), nullptr);
    EXPECT_NE(qobject_cast<QPushButton*>(w.Item(12)), nullptr);
    EXPECT_NE(qobject_cast<QCheckBox*>(w.Item(13)), nullptr);
    EXPECT_NE(qobject_cast<QComboBox*>(w.Item(14)), nullptr);
    EXPECT_NE(qobject_cast<QLineEdit*>(w.Item(15)), nullptr);
    EXPECT_NE(qobject_cast<QLineEdit*>(w.Item(16)), nullptr);
    EXPECT_NE(qobject_cast<QPlainTextEdit*>(w.Item(17)), nullptr);
    EXPECT_NE(qobject_cast<platform::TabControl*>(w.Item(19)), nullptr);
    EXPECT_NE(qobject_cast<platform::IpAddressEdit*>(w.Item(20)), nullptr);
    EXPECT_NE(qobject_cast<QLabel*>(w.Item(21)), nullptr);
    EXPECT_NE(qobject_cast<QPushButton*>(w.Item(22)), nullptr);
    EXPECT_NE(qobject_cast<QTreeWidget*>(w.Item(23)), nullptr);
    // Every control is a direct child; the frame is there without an id.
    EXPECT_EQ(w.findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly).size(), 1);
    for (const ControlTemplate& c : tmpl.controls) {
        if (c.id >= 0) {
            EXPECT_EQ(w.Item(c.id)->parentWidget(), &w) << c.id;
        }
    }
}

TEST_F(BuilderTest, PlacesControlsAtTheirConvertedRectangles)
{
    for (const ControlTemplate& c : tmpl.controls) {
        if (c.id < 0 || c.kind == ControlKind::DropList) {
            continue;
        }
        const QRect& d = c.dlu;
        const QRect expected(QPoint(conv.X(d.left()), conv.Y(d.top())),
                             QPoint(conv.X(d.left() + d.width()) - 1, conv.Y(d.top() + d.height()) - 1));
        EXPECT_EQ(w.Item(c.id)->geometry(), expected) << c.id;
    }
}

TEST_F(BuilderTest, DropListIsItsClosedRowAndItsListShowsTheRest)
{
    auto* combo = qobject_cast<QComboBox*>(w.Item(14));
    ASSERT_NE(combo, nullptr);
    const QRect& d = Find(14).dlu;
    const int closed = platform::kClosedDropListDlu;
    EXPECT_EQ(combo->geometry(), QRect(conv.X(d.left()), conv.Y(d.top()), conv.X(d.left() + d.width()) -
                                       conv.X(d.left()), conv.Y(d.top() + closed) - conv.Y(d.top())));
    EXPECT_FALSE(combo->isEditable());
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "NONE");
    EXPECT_EQ(combo->itemText(2), "EVEN");
    // 40 units of list below the box hold more rows than the three items.
    EXPECT_GE(combo->maxVisibleItems(), 3);
}

TEST_F(BuilderTest, TextsKeepTheirLineBreaks)
{
    EXPECT_EQ(w.GetItemText(12), "Open\nPort");
    EXPECT_EQ(w.GetItemText(13), "Chinese\nMode");
    EXPECT_EQ(w.GetItemText(11), "/a/very/long/path/to/a/folder/");
    EXPECT_EQ(w.GetItemText(16), "1000");
}

TEST_F(BuilderTest, AppliesStyles)
{
    EXPECT_FALSE(w.IsItemVisible(24));
    EXPECT_TRUE(w.IsItemVisible(10));
    EXPECT_FALSE(w.IsItemEnabled(25));
    EXPECT_TRUE(w.IsItemEnabled(12));
    w.show();
    EXPECT_FALSE(w.Item(24)->isVisible());  // stays hidden when the dialog is shown
    EXPECT_TRUE(w.Item(10)->isVisible());

    auto* sunken = qobject_cast<QLabel*>(w.Item(26));
    EXPECT_EQ(sunken->frameShape(), QFrame::Panel);
    EXPECT_EQ(sunken->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(sunken->alignment(), Qt::AlignCenter);
    EXPECT_NE(qobject_cast<QLabel*>(w.Item(10))->alignment() & Qt::AlignLeft, 0);
}

TEST_F(BuilderTest, NumberEditTakesDigitsOnly)
{
    auto* edit = qobject_cast<QLineEdit*>(w.Item(16));
    edit->clear();
    for (const auto& [key, text] : {std::pair{Qt::Key_1, "1"}, {Qt::Key_A, "a"}, {Qt::Key_Minus, "-"}, {Qt::Key_2, "2"}}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(edit, &press);
    }
    EXPECT_EQ(edit->text(), "12");
    auto* plain = qobject_cast<QLineEdit*>(w.Item(15));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QCoreApplication::sendEvent(plain, &press);
    EXPECT_EQ(plain->text(), "a");
}

TEST_F(BuilderTest, MultiLineEditsScrollVerticallyAndOnlyWantReturnTakesEnter)
{
    auto* wants = qobject_cast<QPlainTextEdit*>(w.Item(17));
    auto* plain = qobject_cast<QPlainTextEdit*>(w.Item(18));
    EXPECT_EQ(wants->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(wants->tabChangesFocus());
    for (QPlainTextEdit* edit : {wants, plain}) {
        QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
        QCoreApplication::sendEvent(edit, &a);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
        QCoreApplication::sendEvent(edit, &enter);
        QCoreApplication::sendEvent(edit, &a);
    }
    EXPECT_EQ(wants->toPlainText(), "a\na");
    EXPECT_EQ(plain->toPlainText(), "aa");
    QKeyEvent ctrlEnter(QEvent::KeyPress, Qt::Key_Return, Qt::ControlModifier, "\r");
    QCoreApplication::sendEvent(plain, &ctrlEnter);
    EXPECT_EQ(plain->toPlainText(), "aa\n");
}

TEST_F(BuilderTest, ListViewIsAHeaderlessThreeColumnRowSelectingList)
{
    auto* list = qobject_cast<QTreeWidget*>(w.Item(23));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->columnCount(), 3);
    EXPECT_TRUE(list->isHeaderHidden());
    EXPECT_FALSE(list->rootIsDecorated());
    EXPECT_TRUE(list->allColumnsShowFocus());
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(BuilderTest, FramesLieBelowTheControlsInsideThem)
{
    // The label sits inside the frame: a click on it reaches the label, not the frame.
    QWidget* label = w.Item(10);
    const QPoint inside = label->geometry().center();
    EXPECT_EQ(w.childAt(inside), label);
    auto* frame = w.findChild<QGroupBox*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), "Frame");
    EXPECT_EQ(w.children().indexOf(frame), 0) << "the frame is lowest of the siblings";
}

TEST(Builder, WindowStyleFollowsTheTemplate)
{
    DialogTemplate t = EveryKind();
    t.minimizeBox = true;
    TestWindow withBox;
    platform::BuildFromTemplate(withBox, t);
    EXPECT_TRUE(withBox.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(withBox.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(withBox.windowFlags() & Qt::WindowCloseButtonHint);

    t.minimizeBox = false;
    TestWindow without;
    platform::BuildFromTemplate(without, t);
    EXPECT_FALSE(without.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(without.isWindow());

    // A page embedded in its parent is no window of its own.
    QWidget host;
    t.child = true;
    auto* page = new TestWindow(&host);
    platform::BuildFromTemplate(*page, t);
    EXPECT_FALSE(page->isWindow());
    EXPECT_EQ(page->parentWidget(), &host);
}

TEST(Builder, FactoryMakesTheControlsItWantsAndTheRestAreDefault)
{
    class Pin : public QPushButton {
    public:
        using QPushButton::QPushButton;
    };
    const DialogTemplate t = EveryKind();
    TestWindow w;
    int asked = 0;
    Pin* made = nullptr;
    platform::BuildFromTemplate(w, t, [&](const ControlTemplate& c, QWidget* parent) -> QWidget* {
        ++asked;
        if (c.kind != ControlKind::PushPin)
            return nullptr;
        made = new Pin(parent);
        return made;
    });
    EXPECT_EQ(asked, static_cast<int>(t.controls.size()));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(w.Item(22), made);
    const DluConverter conv(w.font());
    EXPECT_EQ(made->geometry(), conv.Rect(QRect(108, 106, 13, 10)));
    EXPECT_NE(qobject_cast<QTreeWidget*>(w.Item(23)), nullptr);
}

}  // namespace
