// Auto send: chained on write completion on an open port, refused with a zero interval,
// silent with nothing to send, stopped by a cycle page, and forwarded to the cycle page of
// the port kind while no port is open.
#include <atomic>
#include <thread>

#include "send_fixture.h"

namespace consoletest::sendtest {
namespace {

using namespace console_ids;

constexpr int kSerial = transport::kKindSerial;
constexpr int kParallel = transport::kKindParallel;
constexpr int kUsb = transport::kKindUsb;
constexpr int kNetwork = transport::kKindNetwork;

class AutoSendTest : public SendTest {
protected:
    void TextModeWith(const QString& text)
    {
        if (Dlg().IsItemChecked(kHexSend))
            Dlg().ClickItem(kHexSend);
        Dlg().SetItemText(kSendArea, text);
    }
    int Sends() { return int(Dlg().sends.size()); }
};

TEST_F(AutoSendTest, EachSendWaitsForTheLastOneToBeWrittenAndUncheckingStopsIt)
{
    OpenCom3();
    TextModeWith("AB");
    Dlg().SetItemText(kInterval, "5");
    ASSERT_EQ(Dlg().m_nInterval, 5);

    Dlg().ClickItem(kAutoSend);
    EXPECT_EQ(Dlg().m_bAutoSend, 1);
    EXPECT_EQ(Sends(), 1) << "the click sends at once";
    ASSERT_TRUE(PumpUntil([&] { return Sends() >= 4; }));

    Dlg().ClickItem(kAutoSend);
    EXPECT_EQ(Dlg().m_bAutoSend, 0);
    const int atUncheck = Sends();
    if (Dlg().TimerArmed(CQuillonDlg::kTimerAutoSend, 5)) {
        // The armed timer sends once more; its completion arms nothing.
        ASSERT_TRUE(PumpUntil([&] { return Sends() == atUncheck + 1 && Dlg().m_nTxCount == 2 * Sends(); }));
    } else {
        // The last send is being written; its completion arms nothing.
        ASSERT_TRUE(PumpUntil([&] { return Dlg().m_nTxCount == 2 * Sends(); }));
    }
    EXPECT_FALSE(Dlg().KillTimer(CQuillonDlg::kTimerAutoSend)) << "nothing left to send again";
    EXPECT_LE(Sends(), atUncheck + 1);

    for (int k = 0; k < Sends(); ++k) {
        const SendConsole::Send& s = Dlg().sends[size_t(k)];
        EXPECT_EQ(s.data, "AB");
        EXPECT_EQ(s.asHex, 0);
        EXPECT_EQ(s.isFile + s.verbatim, 0);
        EXPECT_EQ(s.txBefore, 2 * k) << "send " << k << " started before the one before it was written";
    }
    std::string expected;
    for (int k = 0; k < Sends(); ++k)
        expected += "AB";
    ASSERT_TRUE(printer_.PumpUntilReceived(expected.size()));
    EXPECT_EQ(printer_.Received(), Chars(expected));
}

TEST_F(AutoSendTest, NothingToSendNeverRepeats)
{
    OpenCom3();
    for (bool hex : {true, false}) {
        SCOPED_TRACE(hex ? "hex" : "text");
        if (Dlg().IsItemChecked(kHexSend) != hex)
            Dlg().ClickItem(kHexSend);
        Dlg().SetItemText(kSendArea, "");
        Dlg().sends.clear();
        printer_.Forget();
        const int tx = Dlg().m_nTxCount;

        Dlg().ClickItem(kAutoSend);
        EXPECT_EQ(Sends(), 1);
        EXPECT_FALSE(Dlg().TimerArmed(CQuillonDlg::kTimerAutoSend, 1000));

        // The next bytes the printer sees are the marker's, and the empty send was never
        // reported.
        Dlg().CheckItem(kAutoSend, false);
        Dlg().m_bAutoSend = 0;
        Dlg().UpdateControlStates();
        Dlg().SendData("Q", 0, 0, 1);
        ASSERT_TRUE(printer_.PumpUntilReceived(1));
        ASSERT_TRUE(PumpUntilTx(tx + 1));
        EXPECT_EQ(printer_.Received(), Chars("Q"));
        EXPECT_EQ(Dlg().m_nTxCount, tx + 1);
        EXPECT_EQ(Sends(), 2);
    }
}

TEST_F(AutoSendTest, ZeroIntervalIsRefused)
{
    for (int open : {1, 0}) {
        SCOPED_TRACE(open ? "port open" : "no port, multi-device");
        if (open) {
            OpenCom3();
        } else {
            Dlg().ClickItem(kOpenClose);
            ASSERT_EQ(Dlg().m_bPortOpen, 0);
            Dlg().m_bSerialCycleReady = 1;
            Dlg().UpdateControlStates();
        }
        Dlg().SetItemText(kInterval, "");
        ASSERT_EQ(Dlg().m_nInterval, 0);
        prompts_->Clear();
        Dlg().ClickItem(kAutoSend);
        EXPECT_EQ(prompts_.Texts(), std::vector<QString>{"Cycle time must greater than 0."});
        EXPECT_FALSE(Dlg().IsItemChecked(kAutoSend));
        EXPECT_EQ(Dlg().m_bAutoSend, 0);
        EXPECT_TRUE(Dlg().sends.empty());
        EXPECT_TRUE(Dlg().pageRequests.empty());
    }
}

TEST_F(AutoSendTest, ACyclePageStopsAutoSendFromItsWorker)
{
    Dlg().m_nPortKind = kSerial;
    Dlg().m_bSerialCycleReady = 1;
    Dlg().UpdateControlStates();
    Dlg().SetItemText(kSendArea, "1B 40");
    Dlg().ClickItem(kAutoSend);
    ASSERT_EQ(Dlg().m_bAutoSend, 1);
    Dlg().pageRequests.clear();

    std::atomic<bool> done{false};
    std::thread worker([&] {
        platform::SendMessage(Dlg().Endpoint(), kMsgStopAutoSend, 0, 0);
        done = true;
    });
    const bool returned = PumpUntil([&] { return done.load(); });
    worker.join();
    ASSERT_TRUE(returned);
    EXPECT_FALSE(Dlg().IsItemChecked(kAutoSend));
    EXPECT_EQ(Dlg().m_bAutoSend, 0);
    const std::vector<PageRequest> expected{{Dlg().comPage.Get(), kMsgCycleControl, 0, 1}};
    EXPECT_EQ(Dlg().pageRequests, expected);
}

TEST_F(AutoSendTest, WithoutAPortSendAndAutoSendGoToTheCyclePageOfTheKind)
{
    Dlg().SetCurSel(kMultiple, 1);
    Dlg().m_bSerialCycleReady = 1;
    Dlg().m_bNetCycleReady = 1;
    const platform::Dialog* com = Dlg().comPage.Get();
    const platform::Dialog* net = Dlg().netPage.Get();
    struct Case {
        int kind;
        const platform::Dialog* page;  // none: nothing is forwarded
    };
    for (const Case& c : {Case{kSerial, com}, Case{kNetwork, net}, Case{kParallel, nullptr}, Case{kUsb, nullptr}}) {
        SCOPED_TRACE(c.kind);
        Dlg().m_nPortKind = c.kind;
        Dlg().UpdateControlStates();
        Dlg().pageRequests.clear();
        Dlg().SetItemText(kSendArea, "1B 40");
        if (c.page)
            Dlg().ClickItem(kSend);
        else
            Dlg().OnSend();  // the button is not offered; nothing would happen anyway
        EXPECT_EQ(Dlg().m_strSendData, "1B 40");
        EXPECT_TRUE(Dlg().sends.empty()) << "no port: nothing of the window's own is sent";

        Dlg().SetItemText(kSendArea, "1D 56");
        Dlg().CheckItem(kAutoSend, true);
        Dlg().OnAutoSend();
        EXPECT_EQ(Dlg().m_strSendData, "1D 56");
        EXPECT_EQ(Dlg().m_strSendHex, "1B 40") << "only the data of the request is taken";
        Dlg().CheckItem(kAutoSend, false);
        Dlg().OnAutoSend();

        std::vector<PageRequest> expected;
        if (c.page)
            expected = {{c.page, kMsgCycleControl, 1, 0}, {c.page, kMsgCycleControl, 1, 1}, {c.page, kMsgCycleControl, 0, 1}};
        EXPECT_EQ(Dlg().pageRequests, expected);
        EXPECT_TRUE(Dlg().sends.empty());
    }
}

TEST_F(AutoSendTest, AnExpiryAfterThePortClosedSendsNothing)
{
    OpenCom3();
    TextModeWith("AB");
    Dlg().CheckItem(kAutoSend, true);
    Dlg().m_bAutoSend = 1;
    Dlg().UpdateControlStates();
    // A completion armed the timer; then the operator closes the port.
    Dlg().SetTimer(CQuillonDlg::kTimerAutoSend, 10);
    Dlg().ClickItem(kOpenClose);
    ASSERT_EQ(Dlg().m_bPortOpen, 0);
    ASSERT_EQ(Dlg().m_nPortKind, kSerial);
    Dlg().sends.clear();
    Dlg().pageRequests.clear();

    ASSERT_TRUE(PumpUntil([&] { return Dlg().timerExpiries[CQuillonDlg::kTimerAutoSend] >= 1; }));
    EXPECT_FALSE(Dlg().KillTimer(CQuillonDlg::kTimerAutoSend)) << "stopped by its expiry";
    EXPECT_EQ(Dlg().timerExpiries[CQuillonDlg::kTimerAutoSend], 1);
    EXPECT_TRUE(Dlg().sends.empty());
    EXPECT_TRUE(Dlg().pageRequests.empty()) << "no request reaches the serial cycle page";
}

TEST_F(AutoSendTest, TheTimerSendsTheAreaOnceAndStops)
{
    OpenCom3();
    TextModeWith("Z");
    Dlg().SetTimer(CQuillonDlg::kTimerAutoSend, 1000);
    Dlg().OnAutoSendTimer();
    EXPECT_FALSE(Dlg().KillTimer(CQuillonDlg::kTimerAutoSend));
    ASSERT_EQ(Sends(), 1);
    EXPECT_EQ(Dlg().sends[0].data, "Z");
    ASSERT_TRUE(printer_.PumpUntilReceived(1));
    EXPECT_EQ(printer_.Received(), Chars("Z"));
    ASSERT_TRUE(PumpUntilTx(1));
    EXPECT_FALSE(Dlg().KillTimer(CQuillonDlg::kTimerAutoSend)) << "Auto Send unchecked: not armed again";
}

}  // namespace
}  // namespace consoletest::sendtest
