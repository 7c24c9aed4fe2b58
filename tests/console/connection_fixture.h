#pragma once
// Pieces of the connection tests: ptys as serial ports the port list shows, recorded
// operator messages, the operator's choices in lists and clicks on buttons, and spies put
// in place of the window's pages to see what the window tells them.

#include <unistd.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "../platform/qt_pump.h"
#include "console_fixture.h"
#include "platform/qt/recording_prompts.h"
#include "pty_pair.h"
#include "transport/modem_status.h"

namespace consoletest {

// A serial port backed by a pty: sysfs shows hardware behind the node, and the node is the
// pty's slave, so the port list offers it and it opens like a real port.
inline void AddPtySerialPort(const DeviceTree& tree, const testsupport::PtyPair& pty, const std::string& node)
{
    const testsupport::TempDir& dir = tree.Dir();
    dir.MakeDirs("sys/devices/" + node);
    dir.MakeDirs("sys/class/tty/" + node);
    EXPECT_EQ(::symlink((dir / ("sys/devices/" + node)).c_str(), (dir / ("sys/class/tty/" + node + "/device")).c_str()),
              0);
    if (node.rfind("ttyS", 0) == 0)
        dir.WriteFile("sys/class/tty/" + node + "/type", "4\n");
    pty.LinkAs(dir / "dev", node);
}

// Message boxes are recorded and answered at once while this lives.
class ScopedPrompts {
public:
    ScopedPrompts() { platform::SetPrompts(&prompts); }
    ~ScopedPrompts() { platform::SetPrompts(nullptr); }
    ScopedPrompts(const ScopedPrompts&) = delete;
    ScopedPrompts& operator=(const ScopedPrompts&) = delete;

    QStringList Messages() const
    {
        QStringList texts;
        for (const platform::PromptRecord& r : prompts.Records()) {
            if (r.kind == platform::PromptRecord::Kind::MessageBox)
                texts << r.text;
        }
        return texts;
    }

    platform::RecordingPrompts prompts;
};

// Modem lines as a test sets them.
class FakeModemLines : public transport::ModemStatusSource {
public:
    uint32_t Read(int) override { return lines.load(); }
    std::atomic<uint32_t> lines{0};
};

inline QComboBox* ComboOf(const CQuillonDlg& dlg, int id) { return qobject_cast<QComboBox*>(dlg.Item(id)); }

// The operator picks item index of list id: the selection changes and the list reports it.
inline void Choose(CQuillonDlg& dlg, int id, int index)
{
    QComboBox* list = ComboOf(dlg, id);
    ASSERT_NE(list, nullptr) << id;
    ASSERT_GE(index, 0) << id;
    list->setCurrentIndex(index);
    emit list->activated(index);
}

inline int FindEntry(const CQuillonDlg& dlg, const QString& text)
{
    for (int i = 0; i < dlg.ListItemCount(console_ids::kPortList); ++i) {
        if (dlg.ListItemText(console_ids::kPortList, i) == text)
            return i;
    }
    return -1;
}

inline QStringList PortEntries(const CQuillonDlg& dlg)
{
    QStringList entries;
    for (int i = 0; i < dlg.ListItemCount(console_ids::kPortList); ++i)
        entries << dlg.ListItemText(console_ids::kPortList, i);
    return entries;
}

// A click by the operator; nothing happens on a disabled control.
inline void ClickItem(CQuillonDlg& dlg, int id)
{
    auto* button = qobject_cast<QAbstractButton*>(dlg.Item(id));
    ASSERT_NE(button, nullptr) << id;
    button->click();
}

// Whether the lamp shows the picture of icon, as the window draws it.
inline bool LampShows(const CQuillonDlg& dlg, const QIcon& icon)
{
    auto* lamp = qobject_cast<QLabel*>(dlg.Item(console_ids::kLamp));
    if (!lamp)
        return false;
    const int side = std::min(lamp->width(), lamp->height());
    return lamp->pixmap().toImage() == icon.pixmap(QSize(side, side)).toImage();
}

struct PageMessage {
    std::string page;
    unsigned msg;
    intptr_t wparam;
    intptr_t lparam;
    bool operator==(const PageMessage&) const = default;
};

inline void PrintTo(const PageMessage& m, std::ostream* os)
{
    *os << m.page << "(0x" << std::hex << m.msg << std::dec << ", " << m.wparam << ", " << m.lparam << ")";
}

// A page of the window's kind that logs every message it is sent, then handles it as the
// page would.
template <class Page>
class PageSpy final : public Page {
public:
    PageSpy(QWidget* parent, platform::Language language, std::string name, std::vector<PageMessage>* log)
        : Page(parent, language), name_(std::move(name)), log_(log)
    {
    }
    intptr_t OnMessage(unsigned msg, intptr_t wparam, intptr_t lparam) override
    {
        log_->push_back({name_, msg, wparam, lparam});
        return Page::OnMessage(msg, wparam, lparam);
    }

private:
    std::string name_;
    std::vector<PageMessage>* log_;
};

// While it lives, the window's slot for a page holds a spy; the window's own page returns
// afterwards (and is the one the window deletes).
template <class Page>
class SpyInSlot {
public:
    SpyInSlot(Page*& slot, platform::Language language, std::string name, std::vector<PageMessage>* log)
        : slot_(slot), original_(slot)
    {
        spy_ = new PageSpy<Page>(original_->parentWidget(), language, std::move(name), log);
        spy_->hide();
        slot_ = spy_;
    }
    ~SpyInSlot()
    {
        slot_ = original_;
        delete spy_;
    }
    SpyInSlot(const SpyInSlot&) = delete;
    SpyInSlot& operator=(const SpyInSlot&) = delete;

private:
    Page*& slot_;
    Page* original_;
    PageSpy<Page>* spy_;
};

}  // namespace consoletest
