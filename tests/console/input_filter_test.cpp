// The console's keyboard and mouse filter: nothing typed reaches the receive area, letters
// and digits typed there go out with a port open, no context menu, and neither Enter nor
// Escape closes the window.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include <vector>

#include "console_fixture.h"
#include "platform/qt/ip_address_edit.h"

namespace consoletest {
namespace {

using namespace console_ids;
using platform::Language;

struct Sent {
    std::string data;
    int asHex, isFile, verbatim;
    bool operator==(const Sent&) const = default;
};

void PrintTo(const Sent& s, std::ostream* os) { *os << '"' << s.data << "\" " << s.asHex << s.isFile << s.verbatim; }

// The console with its send entry watched.
class WatchedConsole : public CQuillonDlg {
public:
    using CQuillonDlg::CQuillonDlg;
    void SendData(std::string data, int asHex, int isFile, int verbatim) override
    {
        sent.push_back({std::move(data), asHex, isFile, verbatim});
    }
    std::vector<Sent> sent;
};

// Counts the mouse presses that reach a widget (after every application-wide filter).
class PressCounter : public QObject {
public:
    explicit PressCounter(QWidget* w) { w->installEventFilter(this); }
    int presses = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        presses += e->type() == QEvent::MouseButtonPress;
        return false;
    }
};

// Counts the Escape presses that reach a widget.
class EscapeCounter : public QObject {
public:
    explicit EscapeCounter(QWidget* w) { w->installEventFilter(this); }
    int presses = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        presses += e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape;
        return false;
    }
};

bool AnyMenuShown()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMenu*>(w) && w->isVisible())
            return true;
    }
    return false;
}

class InputFilterTest : public ::testing::Test {
protected:
    InputFilterTest()
    {
        dlg_.show();
        ProcessEvents();
        area_->setFocus();
        ProcessEvents();
    }
    ~InputFilterTest() override { dlg_.m_bPortOpen = 0; }

    DeviceTree tree_;
    WatchedConsole dlg_{Language::English};
    QPlainTextEdit* area_ = qobject_cast<QPlainTextEdit*>(dlg_.Item(kRecvArea));
};

TEST_F(InputFilterTest, TypedCharactersNeverReachTheReceiveArea)
{
    ASSERT_NE(area_, nullptr);
    ASSERT_EQ(dlg_.focusWidget(), area_);
    area_->setPlainText("xyz");
    area_->moveCursor(QTextCursor::End);
    QGuiApplication::clipboard()->setText("pasted");

    for (int open : {0, 1}) {
        dlg_.m_bPortOpen = open;
        TypeKey(area_, Qt::Key_A, "a");
        TypeKey(area_, Qt::Key_Space, " ");
        TypeKey(area_, Qt::Key_Backspace, "\b");
        TypeKey(area_, Qt::Key_Return, "\r");
        TypeKey(area_, Qt::Key_V, QString(QChar(0x16)), Qt::ControlModifier);  // paste
        EXPECT_EQ(area_->toPlainText(), "xyz") << "port open " << open;
    }
}

TEST_F(InputFilterTest, LettersAndDigitsGoOutOnlyWithAPortOpen)
{
    struct Key {
        int key;
        const char* text;
    };
    const Key keys[] = {{Qt::Key_A, "a"}, {Qt::Key_0, "0"}, {Qt::Key_Z, "Z"}, {Qt::Key_Space, " "},
                        {Qt::Key_Exclam, "!"}, {Qt::Key_9, "9"}};
    for (const Key& k : keys)
        TypeKey(area_, k.key, k.text);
    EXPECT_TRUE(dlg_.sent.empty()) << "no port open, nothing is sent";

    dlg_.m_bPortOpen = 1;
    dlg_.UpdateControlStates();  // as an open does: the interval edit takes input again
    for (const Key& k : keys)
        TypeKey(area_, k.key, k.text);
    EXPECT_EQ(dlg_.sent, (std::vector<Sent>{{"a", 0, 0, 0}, {"0", 0, 0, 0}, {"Z", 0, 0, 0}, {"9", 0, 0, 0}}));
    EXPECT_EQ(area_->toPlainText(), "");

    // Typed elsewhere, characters are the other control's.
    dlg_.sent.clear();
    QWidget* interval = dlg_.Item(kInterval);
    interval->setFocus();
    TypeKey(interval, Qt::Key_5, "5");
    EXPECT_TRUE(dlg_.sent.empty());
    EXPECT_EQ(dlg_.GetItemText(kInterval), "10005");
}

TEST_F(InputFilterTest, KeysWithoutACharacterStillReachTheReceiveArea)
{
    area_->setPlainText("xyz");
    area_->moveCursor(QTextCursor::Start);
    TypeKey(area_, Qt::Key_Delete, QString(QChar(0x7f)));
    EXPECT_EQ(area_->toPlainText(), "yz");
    TypeKey(area_, Qt::Key_Right, "");
    TypeKey(area_, Qt::Key_Delete, "");
    EXPECT_EQ(area_->toPlainText(), "y");
}

TEST_F(InputFilterTest, RightButtonOpensNoMenuAndIsSwallowedWhileTheReceiveAreaHasTheFocus)
{
    // The send area is enabled while a port is open.
    dlg_.m_bPortOpen = 1;
    dlg_.UpdateControlStates();
    QWidget* sendViewport = qobject_cast<QPlainTextEdit*>(dlg_.Item(kSendArea))->viewport();
    PressCounter sendPresses(sendViewport);
    PressCounter areaPresses(area_->viewport());

    Click(area_->viewport(), Qt::RightButton);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), area_->viewport()->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(area_->viewport(), &menu);
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), area_->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(area_, &key);
    ProcessEvents();
    EXPECT_FALSE(AnyMenuShown());
    EXPECT_EQ(areaPresses.presses, 0);

    // Wherever the right button lands while the receive area has the focus.
    Click(sendViewport, Qt::RightButton);
    EXPECT_EQ(sendPresses.presses, 0);
    EXPECT_EQ(dlg_.focusWidget(), area_);

    // The left button is the operator's as ever, and so is the right one elsewhere.
    Click(area_->viewport(), Qt::LeftButton);
    EXPECT_EQ(areaPresses.presses, 1);
    dlg_.Item(kSendArea)->setFocus();
    Click(sendViewport, Qt::RightButton);
    EXPECT_EQ(sendPresses.presses, 1);
}

TEST_F(InputFilterTest, EnterAndEscapeNeverCloseTheWindow)
{
    int finished = 0;
    QObject::connect(&dlg_, &QDialog::finished, [&finished] { ++finished; });
    int clicks = 0;
    for (QPushButton* b : dlg_.findChildren<QPushButton*>())
        QObject::connect(b, &QPushButton::clicked, [&clicks] { ++clicks; });

    auto* ip = qobject_cast<platform::IpAddressEdit*>(dlg_.Item(kIpAddress));
    QWidget* targets[] = {area_, dlg_.Item(kInterval), dlg_.Item(kHexSend), dlg_.Item(kBaudRate), ip->Field(0),
                          dlg_.Item(kOpenClose), &dlg_};
    for (QWidget* target : targets) {
        SCOPED_TRACE(target->objectName().toStdString());
        if (target != &dlg_)
            target->setFocus();
        EscapeCounter escapes(target);
        TypeKey(target, Qt::Key_Escape, QString(QChar(27)));
        TypeKey(target, Qt::Key_Escape, "", Qt::ShiftModifier);
        EXPECT_EQ(escapes.presses, 0) << "Escape reaches no control";
        if (qobject_cast<QPushButton*>(target) == nullptr) {
            TypeKey(target, Qt::Key_Return, "\r");
            TypeKey(target, Qt::Key_Enter, "\r", Qt::KeypadModifier);
        }
        EXPECT_TRUE(dlg_.isVisible());
    }
    EXPECT_EQ(clicks, 0) << "Enter pressed no button";

    // Enter on a button presses that button, as Space would, and the window stays.
    QWidget* help = dlg_.Item(kHelp);
    help->setFocus();
    TypeKey(help, Qt::Key_Return, "\r");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(dlg_.m_bHelpShown, 1);

    dlg_.accept();
    dlg_.reject();
    EXPECT_TRUE(dlg_.isVisible());
    EXPECT_EQ(finished, 0);
}

TEST_F(InputFilterTest, EnterBreaksTheLineInTheSendArea)
{
    // The send area is enabled while a port is open.
    dlg_.m_bPortOpen = 1;
    dlg_.UpdateControlStates();
    auto* send = qobject_cast<QPlainTextEdit*>(dlg_.Item(kSendArea));
    send->setFocus();
    TypeKey(send, Qt::Key_1, "1");
    TypeKey(send, Qt::Key_Return, "\r");
    TypeKey(send, Qt::Key_2, "2");
    EXPECT_EQ(send->toPlainText(), "1\n2");
    EXPECT_TRUE(dlg_.isVisible());
}

TEST_F(InputFilterTest, ClosingEndsTheWindowThroughTheCancelPath)
{
    std::vector<int> results;
    QObject::connect(&dlg_, &QDialog::finished, [&results](int result) { results.push_back(result); });
    dlg_.SetItemText(kSendArea, "1B 40");
    EXPECT_TRUE(dlg_.close());
    EXPECT_FALSE(dlg_.isVisible());
    EXPECT_EQ(results, std::vector<int>{QDialog::Rejected});
    // The send area went into the store of the mode (HEX Send is checked) and the send data.
    EXPECT_EQ(dlg_.m_strSendHex, "1B 40");
    EXPECT_EQ(dlg_.m_strSendData, "1B 40");
    EXPECT_EQ(dlg_.m_strSendText, "");
}

}  // namespace
}  // namespace consoletest
