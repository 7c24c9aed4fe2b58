// The application shell runs the console until the operator closes it, and no longer.
#include <QApplication>
#include <QTimer>

#include "app/push_pin_button.h"
#include "app/quillon_app.h"
#include "console_fixture.h"

namespace consoletest {
namespace {

using platform::Language;

CQuillonDlg* ShownConsole()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* console = qobject_cast<CQuillonDlg*>(w); console && console->isVisible())
            return console;
    }
    return nullptr;
}

TEST(AppShell, RunsTheConsoleUntilItIsClosedAndThenDestroysIt)
{
    DeviceTree tree;
    struct Seen {
        bool shown = false;
        bool pinnedAndStillRunning = false;
        Language language = Language::English;
        QPointer<CQuillonDlg> console;
    } seen;

    // Once the console is up: pin it (which takes the window down and up again), try Enter
    // and Escape, then close it as the operator would.
    QTimer::singleShot(0, [&seen] {
        CQuillonDlg* console = ShownConsole();
        if (!console)
            return;
        seen.shown = true;
        seen.language = console->WindowLanguage();
        seen.console = console;
        console->PushPin()->click();
        TypeKey(console, Qt::Key_Escape, QString(QChar(27)));
        TypeKey(console, Qt::Key_Return, "\r");
        seen.pinnedAndStillRunning = console->isVisible() && console->m_bTopMost == 1;
        console->close();
    });
    CQuillonApp::RunConsole(Language::Chinese);

    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.language, Language::Chinese);
    EXPECT_TRUE(seen.pinnedAndStillRunning);
    EXPECT_TRUE(seen.console.isNull()) << "the window is destroyed when it has ended";
    EXPECT_EQ(ShownConsole(), nullptr);
}

}  // namespace
}  // namespace consoletest
