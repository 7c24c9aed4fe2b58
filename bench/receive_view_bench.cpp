// The receive view end to end: a printer streams into the console window through the real
// transport (COM3 on a pty, and a loopback TCP printer), the window shown on the offscreen
// platform so its receive area wraps at its real width. For each port kind and display form
// it prints the bytes per second from the first write until the RX counter holds every byte,
// the worst lateness of a 10 ms timer on the interface thread meanwhile, and whether the
// counter, both accumulators, the automatic clearing and what the area shows are exact.
//
//   cmake -S . -B build/benchrecv -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON -DCORVANE_TESTS=ON
//   cmake --build build/benchrecv -j2 --target receive_view_bench
//   QT_QPA_PLATFORM=offscreen build/benchrecv/bench/receive_view_bench [MB text] [MB hex]

#include <time.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench_com3.h"
#include "console/quillon_dlg.h"
#include "console/receive_area.h"
#include "console/view_text.h"
#include "loopback_http_server.h"
#include "loopback_printer.h"
#include "platform/core/device_roots.h"
#include "platform/core/event.h"
#include "platform/qt/interface_thread_qt.h"
#include "pty_pair.h"
#include "receive_fixture.h"
#include "temp_dir.h"
#include "transport/notifications.h"
#include "transport/web_probe.h"

namespace {

using namespace console_ids;

constexpr int kTimerIntervalMs = 10;
constexpr int kRunLimitMs = 300000;
constexpr size_t kChunk = 65536;

int64_t ThreadCpuNs()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

int64_t ProcessCpuNs()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// The console window, watched from outside: every run of bytes still goes to the window's own
// handler; around it the bench notes when the last byte arrived and how the runs went.
class WatchedDlg : public CQuillonDlg {
public:
    WatchedDlg() : CQuillonDlg(platform::Language::English) {}

    void Arm(size_t target, QEventLoop* loop)
    {
        target_ = target;
        loop_ = loop;
        doneNs = 0;
        runs = 0;
        runsCleared = 0;
        handlerNs = 0;
        longestRunNs = 0;
    }

    int64_t doneNs = 0;
    size_t runs = 0;
    size_t runsCleared = 0;  // runs in which the area was cleared at least once
    int64_t handlerNs = 0;
    int64_t longestRunNs = 0;

protected:
    void HandleByteRun(unsigned msg, const uint8_t* bytes, size_t count, bool signExtend,
                       const platform::KeepGoing& keepGoing) override
    {
        if (msg != transport::kNotifyByteReceived) {
            CQuillonDlg::HandleByteRun(msg, bytes, count, signExtend, keepGoing);
            return;
        }
        const size_t keptBefore = m_strRecvText.size();
        const uint32_t rxBefore = uint32_t(m_nRxCount);
        const int64_t start = platform::MonotonicNs();
        CQuillonDlg::HandleByteRun(msg, bytes, count, signExtend, keepGoing);
        const int64_t end = platform::MonotonicNs();
        handlerNs += end - start;
        longestRunNs = std::max(longestRunNs, end - start);
        ++runs;
        // Without a clearing the text accumulator grows by every byte handled.
        if (m_strRecvText.size() < keptBefore + (uint32_t(m_nRxCount) - rxBefore))
            ++runsCleared;
        if (doneNs == 0 && size_t(uint32_t(m_nRxCount)) >= target_) {
            doneNs = end;
            if (loop_)
                loop_->quit();
        }
    }

private:
    size_t target_ = 0;
    QEventLoop* loop_ = nullptr;
};

// Deterministic numbers, the same on every run.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint32_t Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return uint32_t(state_ >> 11);
    }
    uint32_t Below(uint32_t n) { return Next() % n; }

private:
    uint64_t state_;
};

// A printer's status dump: printable ASCII lines of 20 to 120 characters, words and blanks,
// each line ending in CR LF.
std::string TextData(size_t size)
{
    static const char kWords[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789=:.,-_/()[]#%+*";
    Random random(0x5EED1234ABCDull);
    std::string out;
    out.reserve(size + 128);
    while (out.size() < size) {
        const size_t length = 20 + random.Below(101);
        for (size_t i = 0; i < length; ++i) {
            const bool blank = i > 0 && random.Below(6) == 0;
            out.push_back(blank ? ' ' : kWords[random.Below(sizeof kWords - 1)]);
        }
        out += "\r\n";
    }
    out.resize(size);
    return out;
}

std::string HexData(size_t size)
{
    Random random(0xC0FFEE77ull);
    std::string out(size, '\0');
    for (char& c : out)
        c = char(random.Below(256));
    return out;
}

std::string HexForm(const std::string& bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        const uint8_t b = uint8_t(c);
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0x0F]);
        out.push_back(' ');
    }
    return out;
}

// Writes the data in chunks, each as soon as the port takes it.
using Writer = std::function<void(const std::vector<uint8_t>&)>;

struct Result {
    std::string port, form;
    size_t bytes = 0;
    double seconds = 0;
    double worstLateMs = 0;
    size_t timerShots = 0;
    bool complete = false;
    std::vector<std::string> faults;
    size_t runs = 0, runsCleared = 0, tail = 0;
    int lines = 0;
    double handlerS = 0, guiCpuS = 0, processCpuS = 0, longestRunMs = 0;
};

Result RunOne(WatchedDlg& dlg, const char* port, bool hex, const std::string& data, const Writer& write)
{
    Result r;
    r.port = port;
    r.form = hex ? "hex" : "text";
    r.bytes = data.size();

    dlg.CheckItem(kHexShow, hex);
    dlg.OnHexShow();
    dlg.OnRecount();
    dlg.OnRecvClear();
    QApplication::processEvents();

    QEventLoop loop;
    dlg.Arm(data.size(), &loop);

    // The interface thread's responsiveness: each shot is due kTimerIntervalMs after the one
    // before was armed.
    QTimer tick;
    tick.setSingleShot(true);
    tick.setTimerType(Qt::PreciseTimer);
    int64_t dueNs = 0;
    int64_t worstLateNs = 0;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        worstLateNs = std::max(worstLateNs, platform::MonotonicNs() - dueNs);
        ++r.timerShots;
        dueNs = platform::MonotonicNs() + int64_t(kTimerIntervalMs) * 1000000;
        tick.start(kTimerIntervalMs);
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);

    std::atomic<int64_t> firstWriteNs{0};
    std::atomic<bool> writeFailed{false};
    const int64_t guiCpu0 = ThreadCpuNs();
    const int64_t processCpu0 = ProcessCpuNs();
    std::thread printer([&] {
        try {
            std::vector<uint8_t> chunk;
            for (size_t at = 0; at < data.size(); at += kChunk) {
                chunk.assign(data.begin() + ptrdiff_t(at), data.begin() + ptrdiff_t(std::min(data.size(), at + kChunk)));
                if (at == 0)
                    firstWriteNs = platform::MonotonicNs();
                write(chunk);
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s %s: the printer's write failed: %s\n", port, r.form.c_str(), e.what());
            writeFailed = true;
        }
    });
    dueNs = platform::MonotonicNs() + int64_t(kTimerIntervalMs) * 1000000;
    tick.start(kTimerIntervalMs);
    limit.start(kRunLimitMs);
    if (dlg.doneNs == 0)
        loop.exec();
    tick.stop();
    printer.join();

    r.complete = dlg.doneNs != 0 && !writeFailed;
    const int64_t endNs = dlg.doneNs != 0 ? dlg.doneNs : platform::MonotonicNs();
    r.seconds = double(endNs - firstWriteNs) / 1e9;
    r.worstLateMs = double(worstLateNs) / 1e6;
    r.guiCpuS = double(ThreadCpuNs() - guiCpu0) / 1e9;
    r.processCpuS = double(ProcessCpuNs() - processCpu0) / 1e9;
    r.handlerS = double(dlg.handlerNs) / 1e9;
    r.longestRunMs = double(dlg.longestRunNs) / 1e6;
    r.runs = dlg.runs;
    r.runsCleared = dlg.runsCleared;

    // Exactness.
    if (!r.complete)
        r.faults.push_back("incomplete");
    if (size_t(uint32_t(dlg.m_nRxCount)) != data.size())
        r.faults.push_back("RX count " + std::to_string(dlg.m_nRxCount) + " != " + std::to_string(data.size()));
    if (dlg.GetItemText(kRxCount) != QStringLiteral("RX:%1").arg(dlg.m_nRxCount))
        r.faults.push_back("RX field shows " + dlg.GetItemText(kRxCount).toStdString());
    const std::string& kept = dlg.m_strRecvText;
    r.tail = kept.size();
    if (kept.size() > data.size() || data.compare(data.size() - kept.size(), kept.size(), kept) != 0)
        r.faults.push_back("text accumulator is not the tail of the data sent");
    if (dlg.m_strRecvHex != HexForm(kept))
        r.faults.push_back("hex accumulator is not %02X of the text accumulator");
    // The accumulators were emptied before the run: holding less than was sent means the
    // area was cleared automatically, and then it starts with the clearing message.
    const bool cleared = kept.size() < data.size();
    if (cleared && r.runsCleared == 0)
        r.faults.push_back("accumulators shrank with no clearing seen");
    const QString clearing = cleared ? consoletest::MultiLineForViewOfClearing() : QString();
    const QString expected =
        clearing + (hex ? ReceivedHexForView(dlg.m_strRecvHex) : ReceivedTextForView(kept, platform::Language::English));
    dlg.FlushReceiveView();
    if (dlg.GetItemText(kRecvArea) != expected)
        r.faults.push_back("the area shows something else than the kept bytes");
    auto* edit = qobject_cast<QPlainTextEdit*>(dlg.Item(kRecvArea));
    r.lines = consoletest::LaidOutLines(*edit);
    if (r.lines > 51)
        r.faults.push_back("the area lays out " + std::to_string(r.lines) + " lines");
    // Before the last byte the area held at most 50 lines, or it would have been cleared
    // then. Shown in the area itself (as the help text would be); the next run clears it.
    if (!kept.empty()) {
        const std::string before = kept.substr(0, kept.size() - 1);
        dlg.SetItemText(kRecvArea, clearing + (hex ? ReceivedHexForView(HexForm(before))
                                                   : ReceivedTextForView(before, platform::Language::English)));
        const int linesBefore = consoletest::LaidOutLines(*edit);
        if (linesBefore > 50)
            r.faults.push_back("no clearing before the last byte though the area held " +
                               std::to_string(linesBefore) + " lines");
    }
    return r;
}

void Print(const Result& r)
{
    const double mbps = r.seconds > 0 ? double(r.bytes) / r.seconds / 1e6 : 0;
    std::printf("%-7s %-4s %10zu bytes %7.3f s %7.2f MB/s  worst timer lateness %6.1f ms  %s\n", r.port.c_str(),
                r.form.c_str(), r.bytes, r.seconds, mbps, r.worstLateMs, r.faults.empty() ? "EXACT" : "NOT EXACT");
    for (const std::string& f : r.faults)
        std::printf("        fault: %s\n", f.c_str());
    std::printf("        %zu runs (%.0f bytes each), %zu of them cleared the area; the tail kept: %zu bytes, "
                "%d lines laid out; %zu timer shots\n",
                r.runs, r.runs ? double(r.bytes) / double(r.runs) : 0.0, r.runsCleared, r.tail, r.lines,
                r.timerShots);
    std::printf("        interface thread: %.2f s in the window's byte handler (longest run %.1f ms), %.2f s CPU in "
                "all; process CPU %.2f s\n",
                r.handlerS, r.longestRunMs, r.guiCpuS, r.processCpuS);
    std::fflush(stdout);
}

size_t MegabytesArg(int argc, char** argv, int index, size_t fallback)
{
    if (argc > index) {
        const long mb = std::strtol(argv[index], nullptr, 10);
        if (mb > 0)
            return size_t(mb) << 20;
    }
    return fallback;
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    platform::InstallQtInterfaceThread();

    const std::string text = TextData(MegabytesArg(argc, argv, 1, size_t(32) << 20));
    const std::string hex = HexData(MegabytesArg(argc, argv, 2, size_t(8) << 20));

    testsupport::TempDir dir;
    dir.MakeDirs("dev");
    dir.MakeDirs("sys");
    platform::ScopedDeviceRoots roots({dir / "dev", dir / "sys"});

    auto* dlg = new WatchedDlg;
    dlg->show();
    QApplication::processEvents();

    std::vector<Result> results;
    bool ok = true;

    {
        testsupport::PtyPair pty;
        pty.LinkAs(dir / "dev", "ttyS2");  // COM3
        if (!OpenCom3ForBench(*dlg))
            return 1;
        const Writer write = [&pty](const std::vector<uint8_t>& bytes) { pty.Send(bytes); };
        results.push_back(RunOne(*dlg, "serial", false, text, write));
        Print(results.back());
        results.push_back(RunOne(*dlg, "serial", true, hex, write));
        Print(results.back());
        dlg->m_utils.ClosePort();
        dlg->m_bPortOpen = 0;
    }

    {
        testsupport::LoopbackHttpServer web(200);
        transport::SetWebProbePortForTesting(web.Port());
        testsupport::LoopbackPrinter printer;
        if (dlg->m_utils.OpenNetwork(dlg->Endpoint(), "127.0.0.1", printer.Port()) != 1) {
            std::fprintf(stderr, "the loopback printer did not connect\n");
            return 1;
        }
        std::optional<testsupport::PrinterConnection> connection = printer.Accept(5000);
        if (!connection) {
            std::fprintf(stderr, "the loopback printer saw no connection\n");
            return 1;
        }
        dlg->m_bPortOpen = 1;
        dlg->m_nPortKind = transport::kKindNetwork;
        dlg->m_nNetPort = printer.Port();
        dlg->UpdateControlStates();
        const Writer write = [&connection](const std::vector<uint8_t>& bytes) { connection->Send(bytes); };
        results.push_back(RunOne(*dlg, "network", false, text, write));
        Print(results.back());
        results.push_back(RunOne(*dlg, "network", true, hex, write));
        Print(results.back());
        dlg->m_utils.ClosePort();
        dlg->m_bPortOpen = 0;
        transport::SetWebProbePortForTesting(0);
    }

    dlg->close();
    delete dlg;

    for (const Result& r : results)
        ok = ok && r.faults.empty();
    return ok ? 0 : 1;
}
