// Operator prompts: the Qt dialogs behind the interface, the recording stand-in, and message
// boxes asked for by worker threads.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <thread>

#include "platform/qt/prompts.h"
#include "platform/qt/recording_prompts.h"
#include "qt_pump.h"
#include "temp_dir.h"
#include "test_window.h"

namespace {

using platform::CurrentPrompts;
using platform::MessageBoxFromAnyThread;
using platform::PromptRecord;
using platform::Prompts;
using platform::RecordingPrompts;
using platform::SendChannel;
using platform::WM_USER;
using qttest::PumpUntil;
using qttest::QueuedCounter;
using qttest::TestWindow;

// Installs prompts for one test and restores the Qt dialogs after it.
class ScopedPrompts {
public:
    explicit ScopedPrompts(Prompts* p) { platform::SetPrompts(p); }
    ~ScopedPrompts() { platform::SetPrompts(nullptr); }
};

// Runs answer on the modal dialog the next prompt opens, once it is up.
void WhenModalShown(std::function<void(QWidget*)> answer)
{
    auto* poll = new QTimer(qApp);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            answer(modal);
        }
    });
    poll->start();
}

TEST(QtPrompts, MessageBoxHasOnlyOkAndTheCallerWaitsForIt)
{
    TestWindow w;
    const struct {
        Prompts::Icon icon;
        QMessageBox::Icon qt;
    } cases[] = {
        {Prompts::Icon::None, QMessageBox::NoIcon},
        {Prompts::Icon::Information, QMessageBox::Information},
        {Prompts::Icon::Warning, QMessageBox::Warning},
        {Prompts::Icon::Error, QMessageBox::Critical},
        {Prompts::Icon::Question, QMessageBox::Question},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.icon));
        bool answered = false;
        WhenModalShown([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), "Connection has been broken!");
            EXPECT_EQ(box->windowTitle(), "corvane");
            EXPECT_EQ(box->icon(), c.qt);
            EXPECT_EQ(box->parentWidget(), &w);
            ASSERT_EQ(box->buttons().size(), 1);
            EXPECT_EQ(box->standardButton(box->buttons().front()), QMessageBox::Ok);
            answered = true;
            box->buttons().front()->click();
        });
        CurrentPrompts().MessageBox(&w, "Connection has been broken!", "corvane", c.icon);
        EXPECT_TRUE(answered);
    }
}

TEST(QtPrompts, FileAndFolderChoosersReturnTheChoiceOrNothing)
{
    testsupport::TempDir dir;
    dir.WriteFile("Rec01.txt", "1B 40");
    dir.MakeDirs("capture");
    const QString root = QString::fromStdString(dir.Path());
    TestWindow w;

    WhenModalShown([&](QWidget* modal) {
        auto* chooser = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(chooser->windowTitle(), "Open");
        EXPECT_EQ(QDir(chooser->directory()).canonicalPath(), QDir(root).canonicalPath());
        EXPECT_EQ(chooser->nameFilters(), (QStringList{"Text (*.txt)", "All (*)"}));
        chooser->selectFile(root + "/Rec01.txt");
        static_cast<QDialog*>(chooser)->accept();  // QFileDialog hides its override
    });
    const QString file = CurrentPrompts().OpenFile(&w, "Open", "Text (*.txt);;All (*)", root);
    EXPECT_EQ(QFileInfo(file).canonicalFilePath(), QFileInfo(root + "/Rec01.txt").canonicalFilePath());

    WhenModalShown([&](QWidget* modal) {
        auto* chooser = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(chooser->windowTitle(), "Please choose save directory");
        chooser->selectFile(root + "/capture");
        static_cast<QDialog*>(chooser)->accept();  // QFileDialog hides its override
    });
    const QString folder = CurrentPrompts().ChooseFolder(&w, "Please choose save directory", root);
    EXPECT_EQ(QDir(folder).canonicalPath(), QDir(root + "/capture").canonicalPath());

    WhenModalShown([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(CurrentPrompts().ChooseFolder(&w, "Please choose save directory", root), QString());
}

TEST(QtPrompts, WorkersMessagesAreServedWhileAMessageBoxWaits)
{
    TestWindow w;
    std::atomic<bool> workerDone{false};
    bool boxWasUp = false;
    w.onMessage = [&](unsigned, intptr_t, intptr_t) -> intptr_t {
        boxWasUp = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
        return 5;
    };
    std::thread worker;
    intptr_t result = 0;
    WhenModalShown([&](QWidget* modal) {
        auto endpoint = w.Endpoint();
        worker = std::thread([&, endpoint] {
            SendChannel channel;
            result = endpoint->Send(WM_USER + 9, 1, 0, &channel);
            workerDone = true;
        });
        EXPECT_TRUE(PumpUntil([&] { return workerDone.load(); }));
        static_cast<QMessageBox*>(modal)->accept();
    });
    CurrentPrompts().MessageBox(&w, "Sending...", "corvane", Prompts::Icon::None);
    worker.join();
    EXPECT_TRUE(boxWasUp);
    EXPECT_EQ(result, 5);
}

TEST(RecordingPromptsTest, RecordsEveryPromptAndAnswersFromTheQueue)
{
    RecordingPrompts rec;
    ScopedPrompts scoped(&rec);
    TestWindow w;
    rec.QueueAnswer("/tmp/a.bin");
    rec.QueueAnswer("/tmp/capture");

    CurrentPrompts().MessageBox(&w, "Open file failed!", "corvane", Prompts::Icon::Warning);
    EXPECT_EQ(CurrentPrompts().OpenFile(&w, "Open", "*.bin", "/tmp"), "/tmp/a.bin");
    EXPECT_EQ(CurrentPrompts().ChooseFolder(nullptr, "Choose", "/var"), "/tmp/capture");
    EXPECT_EQ(CurrentPrompts().OpenFile(&w, "Open again", "", ""), QString());  // no answer left: cancelled

    const auto records = rec.Records();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(rec.Count(), 4u);
    EXPECT_EQ(records[0].kind, PromptRecord::Kind::MessageBox);
    EXPECT_EQ(records[0].owner, &w);
    EXPECT_EQ(records[0].text, "Open file failed!");
    EXPECT_EQ(records[0].caption, "corvane");
    EXPECT_EQ(records[0].icon, Prompts::Icon::Warning);
    EXPECT_EQ(records[1].kind, PromptRecord::Kind::OpenFile);
    EXPECT_EQ(records[1].caption, "Open");
    EXPECT_EQ(records[1].filter, "*.bin");
    EXPECT_EQ(records[1].dir, "/tmp");
    EXPECT_EQ(records[2].kind, PromptRecord::Kind::ChooseFolder);
    EXPECT_EQ(records[2].owner, nullptr);
    EXPECT_EQ(records[2].caption, "Choose");
    EXPECT_EQ(records[2].dir, "/var");
    EXPECT_EQ(records[3].caption, "Open again");

    rec.Clear();
    EXPECT_EQ(rec.Count(), 0u);
    platform::SetPrompts(nullptr);
    EXPECT_EQ(dynamic_cast<RecordingPrompts*>(&CurrentPrompts()), nullptr);
}

TEST(WorkerMessageBoxes, ShownOnTheGuiThreadWhileTheWorkerWaits)
{
    RecordingPrompts rec;
    ScopedPrompts scoped(&rec);
    TestWindow w;
    std::atomic<bool> returned{false};
    bool waitingWhileShown = false;
    rec.SetOnShow([&](const PromptRecord&) { waitingWhileShown = !returned; });
    SendChannel channel;
    bool shown = false;
    std::thread worker([&] {
        shown = MessageBoxFromAnyThread(&w, &channel, "COM3 Open failed.", "corvane", Prompts::Icon::None);
        returned = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return returned.load(); }));
    worker.join();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(waitingWhileShown);
    const auto records = rec.Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].kind, PromptRecord::Kind::MessageBox);
    EXPECT_EQ(records[0].thread, std::this_thread::get_id());
    EXPECT_EQ(records[0].owner, &w);
    EXPECT_EQ(records[0].text, "COM3 Open failed.");
    EXPECT_EQ(records[0].caption, "corvane");
}

TEST(WorkerMessageBoxes, OnTheGuiThreadShownAtOnce)
{
    RecordingPrompts rec;
    ScopedPrompts scoped(&rec);
    TestWindow w;
    SendChannel channel;
    EXPECT_TRUE(MessageBoxFromAnyThread(&w, &channel, "Send Completed.", "corvane", Prompts::Icon::Information));
    EXPECT_TRUE(MessageBoxFromAnyThread(nullptr, nullptr, "unowned", "corvane", Prompts::Icon::None));
    const auto records = rec.Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].owner, &w);
    EXPECT_EQ(records[0].icon, Prompts::Icon::Information);
    EXPECT_EQ(records[1].owner, nullptr);

    // Not for a window that is closing, nor on a withdrawn channel.
    channel.Withdraw();
    EXPECT_FALSE(MessageBoxFromAnyThread(&w, &channel, "late", "corvane", Prompts::Icon::None));
    w.CloseEndpoint();
    EXPECT_FALSE(MessageBoxFromAnyThread(&w, nullptr, "closed", "corvane", Prompts::Icon::None));
    EXPECT_EQ(rec.Count(), 2u);
}

TEST(WorkerMessageBoxes, WithdrawnOrClosedBeforeShownNeverShows)
{
    RecordingPrompts rec;
    ScopedPrompts scoped(&rec);
    enum class Stop { WithdrawChannel, DestroyWindow };
    for (Stop stop : {Stop::WithdrawChannel, Stop::DestroyWindow}) {
        SCOPED_TRACE(int(stop));
        auto* w = new TestWindow;
        auto endpoint = w->Endpoint();
        SendChannel channel;
        bool shown = true;
        bool laterShown = true;
        {
            QueuedCounter queued;
            std::thread worker([&] {
                shown = MessageBoxFromAnyThread(endpoint, &channel, "Connection has been broken!", "corvane",
                                                Prompts::Icon::None);
                laterShown = MessageBoxFromAnyThread(endpoint, &channel, "again", "corvane", Prompts::Icon::None);
            });
            ASSERT_TRUE(queued.WaitFor(1));  // the GUI thread is busy: the box waits in the queue
            if (stop == Stop::WithdrawChannel)
                EXPECT_EQ(channel.Withdraw(), SendChannel::WithdrawResult::Withdrawn);
            else
                delete w;
            worker.join();
        }
        EXPECT_FALSE(shown);
        EXPECT_FALSE(laterShown);
        platform::InterfaceThread::Instance().RunPending();
        QCoreApplication::processEvents();
        EXPECT_EQ(rec.Count(), 0u);
        if (stop == Stop::WithdrawChannel)
            delete w;
    }
}

TEST(WorkerMessageBoxes, WithdrawWhileShownLetsTheBoxFinish)
{
    RecordingPrompts rec;
    ScopedPrompts scoped(&rec);
    TestWindow w;
    SendChannel channel;
    SendChannel::WithdrawResult whileShown = SendChannel::WithdrawResult::Idle;
    rec.SetOnShow([&](const PromptRecord&) { whileShown = channel.Withdraw(); });
    std::atomic<bool> done{false};
    bool shown = false;
    bool laterShown = true;
    std::thread worker([&] {
        shown = MessageBoxFromAnyThread(&w, &channel, "first", "corvane", Prompts::Icon::None);
        laterShown = MessageBoxFromAnyThread(&w, &channel, "second", "corvane", Prompts::Icon::None);
        done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(whileShown, SendChannel::WithdrawResult::InDelivery);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(laterShown);
    EXPECT_EQ(rec.Count(), 1u);
}

}  // namespace
