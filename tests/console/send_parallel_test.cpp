// A parallel port is closed and opened again after every finished send. The node LPT1 names
// is moved to another pty between sends, so the printer that receives a send shows which
// opening of the port wrote it.
#include "send_fixture.h"

namespace consoletest::sendtest {
namespace {

using namespace console_ids;

class SendParallelTest : public ::testing::Test {
protected:
    SendParallelTest()
    {
        LinkLpt1To(first_);
        dlg_ = std::make_unique<SendConsole>(platform::Language::English);
        // The operator picks LPT1 and opens it.
        EXPECT_EQ(dlg_->ListItemText(kPortList, 0), "LPT1");
        dlg_->SetCurSel(kPortList, 0);
        dlg_->OnPortSelChange();
        EXPECT_EQ(dlg_->m_nPortKind, transport::kKindParallel);
        dlg_->ClickItem(kOpenClose);
        EXPECT_EQ(dlg_->m_bPortOpen, 1);
        EXPECT_EQ(dlg_->m_strPortName, "LPT1");
        dlg_->CheckItem(kHexSend, false);
    }

    void LinkLpt1To(const PtyPrinter& printer) const { printer.Pty().LinkAs(tree_.Dir() / "dev", "lp0"); }
    bool PumpUntilTx(int n)
    {
        return PumpUntil([&] { return dlg_->m_nTxCount >= n; });
    }

    DeviceTree tree_;
    PtyPrinter first_;
    PtyPrinter second_;
    std::unique_ptr<SendConsole> dlg_;
};

TEST_F(SendParallelTest, EverySendReopensThePortByName)
{
    LinkLpt1To(second_);  // the open port stays on the first printer until it is reopened
    dlg_->SendData("A", 0, 0, 0);
    ASSERT_TRUE(PumpUntilTx(1));
    ASSERT_TRUE(first_.PumpUntilReceived(1));
    EXPECT_EQ(first_.Received(), Chars("A"));
    EXPECT_EQ(dlg_->m_utils.m_nKind, transport::kKindParallel);
    EXPECT_EQ(dlg_->m_bPortOpen, 1);

    LinkLpt1To(first_);
    dlg_->SendData("B", 0, 0, 0);
    ASSERT_TRUE(PumpUntilTx(2));
    ASSERT_TRUE(second_.PumpUntilReceived(1));
    EXPECT_EQ(second_.Received(), Chars("B")) << "the second send went through the reopened port";

    dlg_->SendData("C", 0, 0, 0);
    ASSERT_TRUE(PumpUntilTx(3));
    ASSERT_TRUE(first_.PumpUntilReceived(2));
    EXPECT_EQ(first_.Received(), Chars("AC"));
    EXPECT_EQ(second_.Received(), Chars("B"));
}

TEST_F(SendParallelTest, SendsQueuedBehindAFinishedOneAreNotLost)
{
    LinkLpt1To(second_);
    // Both are handed over before the first one's completion can be handled.
    dlg_->SendData("1", 0, 0, 0);
    dlg_->SendData("2", 0, 0, 0);
    ASSERT_TRUE(PumpUntilTx(2));
    ASSERT_TRUE(first_.PumpUntilReceived(2));
    EXPECT_EQ(first_.Received(), Chars("12"));

    // After the last of them the port was opened again.
    dlg_->SendData("3", 0, 0, 0);
    ASSERT_TRUE(PumpUntilTx(3));
    ASSERT_TRUE(second_.PumpUntilReceived(1));
    EXPECT_EQ(second_.Received(), Chars("3"));
    EXPECT_EQ(first_.Received(), Chars("12"));
}

TEST_F(SendParallelTest, AFileTransferCompletesOnTheReopenedPort)
{
    LinkLpt1To(second_);
    dlg_->SendData(std::string("file\0data", 9), 0, 1, 1);
    ASSERT_TRUE(PumpUntil([&] { return dlg_->m_bSendingFile == 0; }));
    ASSERT_TRUE(first_.PumpUntilReceived(9));
    EXPECT_EQ(first_.Received(), Chars(std::string("file\0data", 9)));
    EXPECT_EQ(dlg_->m_nTxCount, 0);
    EXPECT_EQ(dlg_->GetItemText(kSendFilePath), "Send Completed.");

    dlg_->SendData("X", 0, 0, 0);
    ASSERT_TRUE(PumpUntilTx(1));
    ASSERT_TRUE(second_.PumpUntilReceived(1));
    EXPECT_EQ(second_.Received(), Chars("X"));
}

}  // namespace
}  // namespace consoletest::sendtest
