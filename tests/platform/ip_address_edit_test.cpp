// The IP address field: typing through its four fields the way operators expect, clamping,
// and reading and setting the address.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

#include <array>

#include "platform/qt/ip_address_edit.h"
#include "qt_pump.h"

namespace {

using platform::IpAddressEdit;
using Address = std::array<int, 4>;

void PressKey(int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QCoreApplication::sendEvent(QApplication::focusWidget(), &release);
}

// Types characters into whatever has the focus, as the keyboard would.
void Type(const QString& keys)
{
    for (QChar ch : keys) {
        int key = Qt::Key_unknown;
        if (ch.isDigit())
            key = Qt::Key_0 + ch.digitValue();
        else if (ch == '.')
            key = Qt::Key_Period;
        else if (ch == ' ')
            key = Qt::Key_Space;
        else if (ch.isLetter())
            key = Qt::Key_A + (ch.toUpper().unicode() - 'A');
        PressKey(key, QString(ch));
    }
}

void Backspace() { PressKey(Qt::Key_Backspace, QString()); }

class IpAddressEditTest : public ::testing::Test {
protected:
    IpAddressEditTest()
    {
        auto* column = new QVBoxLayout(&window);
        before = new QLineEdit(&window);
        ip = new IpAddressEdit(&window);
        after = new QLineEdit(&window);
        column->addWidget(before);
        column->addWidget(ip);
        column->addWidget(after);
        window.show();
        window.activateWindow();
        active = qttest::PumpUntil([this] { return QApplication::activeWindow() == &window; });
    }

    // Puts the caret into one field as a click would.
    void FocusField(int index)
    {
        ip->Field(index)->setFocus(Qt::MouseFocusReason);
        ip->Field(index)->end(false);
    }
    int FocusedField() const
    {
        for (int i = 0; i < 4; ++i)
            if (QApplication::focusWidget() == ip->Field(i))
                return i;
        return -1;
    }

    QWidget window;
    QLineEdit* before = nullptr;
    IpAddressEdit* ip = nullptr;
    QLineEdit* after = nullptr;
    bool active = false;
};

struct TypingCase {
    const char* keys;
    Address fields;
    int focusedField;  // where typing would go on
};

class IpTyping : public IpAddressEditTest, public ::testing::WithParamInterface<TypingCase> {};

TEST_P(IpTyping, FillsTheFieldsInTurn)
{
    ASSERT_TRUE(active);
    FocusField(0);
    Type(GetParam().keys);
    EXPECT_EQ(ip->Fields(), GetParam().fields);
    EXPECT_EQ(FocusedField(), GetParam().focusedField);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, IpTyping,
    ::testing::Values(
        // A third digit moves on, so a dot typed right after it lands in an empty field and
        // is ignored there.
        TypingCase{"192.168.1.114", {192, 168, 1, 114}, 3},
        TypingCase{"10.0.0.7", {10, 0, 0, 7}, 3},
        TypingCase{"1234", {123, 4, 0, 0}, 1},
        // Above 255 becomes 255 as soon as the field is full.
        TypingCase{"300", {255, 0, 0, 0}, 1},
        TypingCase{"256.999.1.2", {255, 255, 1, 2}, 3},
        // A blank moves on like a dot; dots in an empty field do nothing.
        TypingCase{"7 8", {7, 8, 0, 0}, 1},
        TypingCase{"..5", {5, 0, 0, 0}, 0},
        // Letters are not taken.
        TypingCase{"1a2b", {12, 0, 0, 0}, 0},
        // Past the last field nothing moves any further.
        TypingCase{"1.2.3.4.5", {1, 2, 3, 45}, 3}));

TEST_F(IpAddressEditTest, BackspaceAtTheStartOfAFieldGoesBackToThePreviousOne)
{
    ASSERT_TRUE(active);
    FocusField(0);
    Type("12.3");
    ASSERT_EQ(FocusedField(), 1);
    Backspace();  // deletes the 3
    EXPECT_EQ(ip->Field(1)->text(), "");
    EXPECT_EQ(FocusedField(), 1);
    Backspace();  // empty field: back to the end of the first
    EXPECT_EQ(FocusedField(), 0);
    EXPECT_EQ(ip->Field(0)->text(), "12");
    Backspace();
    EXPECT_EQ(ip->Field(0)->text(), "1");
    Backspace();
    Backspace();  // in the first field there is nowhere to go back to
    EXPECT_EQ(FocusedField(), 0);
    EXPECT_TRUE(ip->IsBlank());
}

TEST_F(IpAddressEditTest, ArrowsCrossFieldEnds)
{
    ASSERT_TRUE(active);
    ip->SetAddress(1, 22, 3, 4);
    FocusField(1);
    PressKey(Qt::Key_Right, QString());
    EXPECT_EQ(FocusedField(), 2);
    PressKey(Qt::Key_Left, QString());
    EXPECT_EQ(FocusedField(), 1);
    EXPECT_EQ(ip->Field(1)->cursorPosition(), 2);
    PressKey(Qt::Key_Left, QString());  // inside the field: the caret moves
    EXPECT_EQ(FocusedField(), 1);
    EXPECT_EQ(ip->Field(1)->cursorPosition(), 1);
}

TEST_F(IpAddressEditTest, TabTreatsTheWholeControlAsOneStop)
{
    ASSERT_TRUE(active);
    before->setFocus(Qt::MouseFocusReason);
    PressKey(Qt::Key_Tab, QString());
    EXPECT_EQ(FocusedField(), 0);

    FocusField(2);
    PressKey(Qt::Key_Tab, QString());
    EXPECT_EQ(QApplication::focusWidget(), after);

    FocusField(2);
    PressKey(Qt::Key_Backtab, QString(), Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), before);
}

TEST_F(IpAddressEditTest, LeavingAFieldClampsAnEditedValue)
{
    ASSERT_TRUE(active);
    ip->SetAddress(25, 0, 0, 0);
    FocusField(0);
    ip->Field(0)->home(false);
    Type("9");  // 925, typed with the caret at the start: no move, not yet clamped
    EXPECT_EQ(ip->Field(0)->text(), "925");
    after->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(ip->Fields(), (Address{255, 0, 0, 0}));
}

struct SetCase {
    Address given;
    Address read;
};

class IpSetAddress : public ::testing::TestWithParam<SetCase> {};

TEST_P(IpSetAddress, ClampsIntoByteRange)
{
    IpAddressEdit ip;
    const Address& a = GetParam().given;
    ip.SetAddress(a[0], a[1], a[2], a[3]);
    EXPECT_EQ(ip.Fields(), GetParam().read);
    EXPECT_FALSE(ip.IsBlank());
}

INSTANTIATE_TEST_SUITE_P(Values, IpSetAddress,
                         ::testing::Values(SetCase{{192, 168, 1, 114}, {192, 168, 1, 114}},
                                           SetCase{{0, 0, 0, 0}, {0, 0, 0, 0}},
                                           SetCase{{255, 256, -1, 1000}, {255, 255, 0, 255}}));

TEST(IpAddressEditState, BlankUntilAFieldHasTextAndEmptyFieldsReadZero)
{
    IpAddressEdit ip;
    EXPECT_TRUE(ip.IsBlank());
    EXPECT_EQ(ip.Fields(), (Address{0, 0, 0, 0}));
    ip.Field(2)->setText("7");
    EXPECT_FALSE(ip.IsBlank());
    EXPECT_EQ(ip.Fields(), (Address{0, 0, 7, 0}));
    ip.SetAddress(1, 2, 3, 4);
    ip.Clear();
    EXPECT_TRUE(ip.IsBlank());
    EXPECT_EQ(ip.Fields(), (Address{0, 0, 0, 0}));
}

TEST(IpAddressEditState, ReportsEveryChange)
{
    IpAddressEdit ip;
    int changes = 0;
    QObject::connect(&ip, &IpAddressEdit::changed, [&] { ++changes; });
    ip.SetAddress(10, 0, 0, 1);  // four fields change
    EXPECT_EQ(changes, 4);
    ip.SetAddress(10, 0, 0, 2);  // only the last one
    EXPECT_EQ(changes, 5);
    ip.Clear();
    EXPECT_EQ(changes, 9);
}

}  // namespace
