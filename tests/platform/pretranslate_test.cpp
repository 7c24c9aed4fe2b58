// The input filter: sees key and mouse input aimed at the window or any of its controls,
// those created later included, before dispatch, and can swallow it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <memory>
#include <ostream>
#include <vector>

#include "test_window.h"

namespace {

using qttest::TestWindow;

struct Seen {
    QObject* target;
    QEvent::Type type;
    bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& s, std::ostream* os)
{
    *os << s.target->metaObject()->className() << "@" << s.target << " event " << int(s.type);
}

bool SendKey(QWidget* to, QEvent::Type type, int key, const QString& text)
{
    QKeyEvent e(type, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(to, &e);
    return e.isAccepted();
}

void SendMouse(QWidget* to, QEvent::Type type, Qt::MouseButton button = Qt::LeftButton)
{
    const QPointF pos(5, 5);
    QMouseEvent e(type, pos, to->mapToGlobal(pos), button,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button), Qt::NoModifier);
    QCoreApplication::sendEvent(to, &e);
}

class PreTranslateTest : public ::testing::Test {
protected:
    PreTranslateTest()
    {
        w.resize(300, 200);
        w.onPreTranslate = [this](QObject* target, QEvent* e) {
            seen.push_back({target, e->type()});
            return swallow && swallow(target, e);
        };
        w.show();
    }

    TestWindow w;
    std::vector<Seen> seen;
    std::function<bool(QObject*, QEvent*)> swallow;
};

TEST_F(PreTranslateTest, SeesKeysForControlsCreatedAfterTheWindowAndCanSwallowThem)
{
    // A container and a control in it, both made after the window was shown.
    auto* group = new QGroupBox(&w);
    auto* edit = new QLineEdit(group);
    group->show();
    swallow = [](QObject*, QEvent* e) {
        return e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_B;
    };

    SendKey(edit, QEvent::KeyPress, Qt::Key_A, "a");
    SendKey(edit, QEvent::KeyRelease, Qt::Key_A, "a");
    EXPECT_EQ(edit->text(), "a");
    EXPECT_EQ(seen, (std::vector<Seen>{{edit, QEvent::KeyPress}, {edit, QEvent::KeyRelease}}));

    seen.clear();
    EXPECT_TRUE(SendKey(edit, QEvent::KeyPress, Qt::Key_B, "b"));
    EXPECT_EQ(edit->text(), "a");  // swallowed: the control never got it
    EXPECT_EQ(seen, (std::vector<Seen>{{edit, QEvent::KeyPress}}));
}

TEST_F(PreTranslateTest, SeesEachKindOfInputAndNothingElse)
{
    auto* button = new QPushButton("Send", &w);
    button->setGeometry(10, 10, 80, 30);
    button->show();
    auto* edit = new QLineEdit(&w);
    edit->show();

    struct Case {
        const char* name;
        std::function<void()> send;
        std::vector<Seen> expected;
    };
    const std::vector<Case> cases = {
        {"key press", [&] { SendKey(edit, QEvent::KeyPress, Qt::Key_X, "x"); }, {{edit, QEvent::KeyPress}}},
        {"key release", [&] { SendKey(edit, QEvent::KeyRelease, Qt::Key_X, "x"); }, {{edit, QEvent::KeyRelease}}},
        {"mouse press", [&] { SendMouse(button, QEvent::MouseButtonPress); }, {{button, QEvent::MouseButtonPress}}},
        {"mouse release", [&] { SendMouse(button, QEvent::MouseButtonRelease); }, {{button, QEvent::MouseButtonRelease}}},
        {"double click", [&] { SendMouse(button, QEvent::MouseButtonDblClick); }, {{button, QEvent::MouseButtonDblClick}}},
        {"context menu on the window",
         [&] {
             QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(150, 150), w.mapToGlobal(QPoint(150, 150)));
             QCoreApplication::sendEvent(&w, &e);
         },
         {{&w, QEvent::ContextMenu}}},
        {"mouse move", [&] { SendMouse(button, QEvent::MouseMove, Qt::NoButton); }, {}},
        {"focus",
         [&] {
             QFocusEvent e(QEvent::FocusIn);
             QCoreApplication::sendEvent(button, &e);
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        seen.clear();
        c.send();
        EXPECT_EQ(seen, c.expected);
    }
}

TEST_F(PreTranslateTest, SwallowedMouseClickNeverReachesTheButton)
{
    auto* button = new QPushButton("Send", &w);
    button->setGeometry(10, 10, 80, 30);
    button->show();
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });

    SendMouse(button, QEvent::MouseButtonPress);
    SendMouse(button, QEvent::MouseButtonRelease);
    EXPECT_EQ(clicks, 1);

    swallow = [button](QObject* target, QEvent*) { return target == button; };
    SendMouse(button, QEvent::MouseButtonPress);
    SendMouse(button, QEvent::MouseButtonRelease);
    EXPECT_EQ(clicks, 1);
}

TEST_F(PreTranslateTest, SwallowedEscapeLeavesTheWindowOpen)
{
    auto* edit = new QLineEdit(&w);
    edit->show();

    swallow = [](QObject*, QEvent* e) {
        return e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape;
    };
    SendKey(edit, QEvent::KeyPress, Qt::Key_Escape, QString(QChar(27)));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(seen, (std::vector<Seen>{{edit, QEvent::KeyPress}}));

    // Let through, the edit ignores it, Qt passes it on to the window, which closes.
    seen.clear();
    swallow = nullptr;
    SendKey(edit, QEvent::KeyPress, Qt::Key_Escape, QString(QChar(27)));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(seen, (std::vector<Seen>{{edit, QEvent::KeyPress}, {&w, QEvent::KeyPress}}));
}

TEST_F(PreTranslateTest, EmbeddedWindowIsAskedFirstAndCanSwallowForBoth)
{
    auto* page = new TestWindow(&w);
    page->setWindowFlags(Qt::Widget);
    auto* edit = new QLineEdit(page);
    page->show();
    std::vector<std::string> order;
    bool pageSwallows = false;
    page->onPreTranslate = [&](QObject* target, QEvent*) {
        EXPECT_EQ(target, edit);
        order.push_back("page");
        return pageSwallows;
    };
    swallow = [&](QObject*, QEvent*) {
        order.push_back("window");
        return false;
    };

    SendKey(edit, QEvent::KeyPress, Qt::Key_A, "a");
    EXPECT_EQ(order, (std::vector<std::string>{"page", "window"}));
    EXPECT_EQ(seen, (std::vector<Seen>{{edit, QEvent::KeyPress}}));
    EXPECT_EQ(edit->text(), "a");

    order.clear();
    pageSwallows = true;
    SendKey(edit, QEvent::KeyPress, Qt::Key_B, "b");
    EXPECT_EQ(order, (std::vector<std::string>{"page"}));
    EXPECT_EQ(edit->text(), "a");
}

TEST_F(PreTranslateTest, SeparateWindowsOwnedByTheWindowAreNotItsControls)
{
    auto* owned = new QDialog(&w);
    auto* edit = new QLineEdit(owned);
    owned->show();
    SendKey(edit, QEvent::KeyPress, Qt::Key_A, "a");
    SendMouse(edit, QEvent::MouseButtonPress);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(edit->text(), "a");
}

TEST_F(PreTranslateTest, ClosedWindowNoLongerFilters)
{
    auto* edit = new QLineEdit(&w);
    swallow = [](QObject*, QEvent*) { return true; };
    SendKey(edit, QEvent::KeyPress, Qt::Key_A, "a");
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(seen.size(), 1u);

    w.CloseEndpoint();
    SendKey(edit, QEvent::KeyPress, Qt::Key_A, "a");
    EXPECT_EQ(edit->text(), "a");
    EXPECT_EQ(seen.size(), 1u);
}

}  // namespace
