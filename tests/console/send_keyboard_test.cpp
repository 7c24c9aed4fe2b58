// Letters and digits typed into the receive area with a port open go to the printer through
// the keyboard filter and the send pipeline; other characters send nothing.
#include <QPlainTextEdit>

#include <utility>

#include "send_fixture.h"

namespace consoletest::sendtest {
namespace {

using namespace console_ids;

class SendKeyboardTest : public SendTest {
protected:
    SendKeyboardTest()
    {
        OpenCom3();
        Dlg().show();
        ProcessEvents();
        area_ = qobject_cast<QPlainTextEdit*>(Dlg().Item(kRecvArea));
        area_->setFocus();
        ProcessEvents();
    }

    QPlainTextEdit* area_ = nullptr;
};

TEST_F(SendKeyboardTest, TypedLettersAndDigitsReachThePrinter)
{
    ASSERT_EQ(Dlg().focusWidget(), area_);
    const std::pair<int, const char*> keys[] = {
        {Qt::Key_A, "a"}, {Qt::Key_Space, " "}, {Qt::Key_0, "0"}, {Qt::Key_Z, "Z"}, {Qt::Key_Space, " "},
        {Qt::Key_Period, "."}, {Qt::Key_Q, "Q"},
    };
    for (const auto& [key, text] : keys)
        TypeKey(area_, key, text);

    ASSERT_TRUE(printer_.PumpUntilReceived(4));
    ASSERT_TRUE(PumpUntilTx(4));
    EXPECT_EQ(printer_.Received(), Chars("a0ZQ"));
    EXPECT_EQ(Dlg().m_nTxCount, 4);
    EXPECT_EQ(Dlg().GetItemText(kTxCount), "TX:4");
    EXPECT_EQ(area_->toPlainText(), "") << "nothing typed shows in the receive area";
}

TEST_F(SendKeyboardTest, TypedCharactersTakeTheTextModeOptions)
{
    Dlg().CheckItem(kHexSend, false);
    Dlg().CheckItem(kSendNewLine, true);
    TypeKey(area_, Qt::Key_A, "a");
    ASSERT_TRUE(printer_.PumpUntilReceived(3));
    ASSERT_TRUE(PumpUntilTx(3));
    EXPECT_EQ(printer_.Received(), Chars("a\r\n"));
}

}  // namespace
}  // namespace consoletest::sendtest
