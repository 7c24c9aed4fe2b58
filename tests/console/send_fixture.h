#pragma once
// Pieces of the send pipeline tests: a console whose sends and cycle-page requests are
// watched, a printer on COM3 (a pty in a temporary device tree), operator prompts that are
// recorded, and pumping the event loop until a condition holds.

#include <gtest/gtest.h>

#include <QAbstractButton>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../platform/qt_pump.h"
#include "console_fixture.h"
#include "cycle/com_circulate_send.h"
#include "cycle/net_circulate_send.h"
#include "cycle/page_messages.h"
#include "platform/qt/recording_prompts.h"
#include "pty_pair.h"

namespace consoletest::sendtest {

using Bytes = std::vector<uint8_t>;

inline Bytes Hex(std::initializer_list<int> values)
{
    Bytes out;
    for (int v : values)
        out.push_back(uint8_t(v));
    return out;
}

inline Bytes Chars(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline bool PumpUntil(const std::function<bool()>& pred) { return qttest::PumpUntil(pred); }

// A request a cycle page received: which page, and the message.
struct PageRequest {
    const platform::Dialog* page;
    unsigned msg;
    intptr_t wparam, lparam;
    bool operator==(const PageRequest&) const = default;
};

inline void PrintTo(const PageRequest& r, std::ostream* os)
{
    *os << "page " << r.page << " msg 0x" << std::hex << r.msg << std::dec << " (" << r.wparam << ", " << r.lparam << ")";
}

// A cycle page of the window's kind that only records what it is sent.
template <class Page>
class RecordingPage final : public Page {
public:
    RecordingPage(QWidget* parent, platform::Language language, std::vector<PageRequest>* log)
        : Page(parent, language), log_(log)
    {
    }
    intptr_t OnMessage(unsigned msg, intptr_t wparam, intptr_t lparam) override
    {
        log_->push_back({this, msg, wparam, lparam});
        return 0;
    }

private:
    std::vector<PageRequest>* log_;
};

// While it lives, the window's slot for a page holds a recording page; the window's own
// page returns afterwards.
template <class Page>
class RecordingPageInSlot {
public:
    RecordingPageInSlot(Page*& slot, platform::Language language, std::vector<PageRequest>* log)
        : slot_(slot), original_(slot), page_(std::make_unique<RecordingPage<Page>>(slot->parentWidget(), language, log))
    {
        page_->hide();
        slot_ = page_.get();
    }
    ~RecordingPageInSlot() { slot_ = original_; }
    RecordingPageInSlot(const RecordingPageInSlot&) = delete;
    RecordingPageInSlot& operator=(const RecordingPageInSlot&) = delete;
    const platform::Dialog* Get() const { return page_.get(); }

private:
    Page*& slot_;
    Page* original_;
    std::unique_ptr<RecordingPage<Page>> page_;
};

// The console with its send entry watched and recording pages in the slots of its cycle
// pages. Sends go on to the real pipeline.
class SendConsole : public CQuillonDlg {
public:
    using CQuillonDlg::CQuillonDlg;

    struct Send {
        std::string data;
        int asHex, isFile, verbatim;
        int txBefore;  // the TX counter when the send was asked for
    };

    void SendData(std::string data, int asHex, int isFile, int verbatim) override
    {
        sends.push_back({data, asHex, isFile, verbatim, m_nTxCount});
        CQuillonDlg::SendData(std::move(data), asHex, isFile, verbatim);
    }

    // Timer expiries, counted before the window handles them.
    void OnTimer(int id) override
    {
        ++timerExpiries[id];
        CQuillonDlg::OnTimer(id);
    }

    // Whether timer id runs; a running one is started again with ms.
    bool TimerArmed(int id, int ms)
    {
        if (!KillTimer(id))
            return false;
        SetTimer(id, ms);
        return true;
    }

    // A click on a button or box as the operator makes it (it must be enabled).
    void ClickItem(int id)
    {
        auto* button = qobject_cast<QAbstractButton*>(Item(id));
        ASSERT_NE(button, nullptr) << id;
        ASSERT_TRUE(button->isEnabled()) << id;
        button->click();
    }

    // Multi-device mode with the network entry and a ready network cycle page: the send
    // area and the send controls are offered with no port open.
    void EnterNetworkCycleMode()
    {
        ASSERT_EQ(m_nPortKind, transport::kKindNetwork);
        SetCurSel(console_ids::kMultiple, 1);
        OnMultipleSelChange();
        m_bNetCycleReady = 1;
        UpdateControlStates();
    }

    std::vector<Send> sends;
    std::map<int, int> timerExpiries;
    // What the cycle pages were sent.
    std::vector<PageRequest> pageRequests;
    RecordingPageInSlot<CDialog_ComCirculateSend> comPage{m_pageComCycle, WindowLanguage(), &pageRequests};
    RecordingPageInSlot<CDialog_NetCirculateSend> netPage{m_pageNetCycle, WindowLanguage(), &pageRequests};
};

// Recorded message boxes while it lives.
class ScopedRecordingPrompts {
public:
    ScopedRecordingPrompts() { platform::SetPrompts(&prompts_); }
    ~ScopedRecordingPrompts() { platform::SetPrompts(nullptr); }
    ScopedRecordingPrompts(const ScopedRecordingPrompts&) = delete;
    ScopedRecordingPrompts& operator=(const ScopedRecordingPrompts&) = delete;

    platform::RecordingPrompts& operator*() { return prompts_; }
    platform::RecordingPrompts* operator->() { return &prompts_; }
    std::vector<QString> Texts() const
    {
        std::vector<QString> texts;
        for (const platform::PromptRecord& r : prompts_.Records())
            texts.push_back(r.text);
        return texts;
    }

private:
    platform::RecordingPrompts prompts_;
};

// The printer's end of a pty whose other end a device tree names.
class PtyPrinter {
public:
    // Everything that arrived so far (read without blocking).
    const Bytes& Received()
    {
        pty_.ReadAvailable(received_);
        return received_;
    }
    // Pumps the window's event loop until at least n bytes arrived.
    bool PumpUntilReceived(size_t n)
    {
        return PumpUntil([&] { return Received().size() >= n; });
    }
    void Forget() { received_.clear(); }
    const testsupport::PtyPair& Pty() const { return pty_; }

private:
    testsupport::PtyPair pty_;
    Bytes received_;
};

// The window on a printer at COM3. The tree and the pty exist before the window, so its
// port list starts with COM3 selected.
class SendTest : public ::testing::Test {
protected:
    explicit SendTest(platform::Language language = platform::Language::English)
    {
        tree_.SerialPort("ttyS2");
        printer_.Pty().LinkAs(tree_.Dir() / "dev", "ttyS2");
        dlg_ = std::make_unique<SendConsole>(language);
    }
    ~SendTest() override
    {
        // The window closes its port as it goes, before the pty does.
        dlg_.reset();
    }

    // The operator opens COM3, the first entry of the port list, with the default settings.
    void OpenCom3()
    {
        SendConsole& d = *dlg_;
        ASSERT_EQ(d.ListItemText(console_ids::kPortList, d.GetCurSel(console_ids::kPortList)), "COM3");
        ASSERT_EQ(d.m_nPortKind, transport::kKindSerial);
        d.ClickItem(console_ids::kOpenClose);
        ASSERT_EQ(d.m_bPortOpen, 1);
        ASSERT_EQ(d.m_strPortName, "COM3");
    }

    // Pumps until the TX counter reached n.
    bool PumpUntilTx(int n)
    {
        return PumpUntil([&] { return dlg_->m_nTxCount >= n; });
    }

    SendConsole& Dlg() { return *dlg_; }

    DeviceTree tree_;
    PtyPrinter printer_;
    ScopedRecordingPrompts prompts_;
    std::unique_ptr<SendConsole> dlg_;
};

}  // namespace consoletest::sendtest
