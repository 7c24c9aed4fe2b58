// Auto send of the console window on a loopback printer: a pty stands in for COM3 and a
// thread drains its printer side. Interval 1 ms, 10,000 sends; the process's peak memory
// (VmHWM) after 1,000 and after 10,000 sends shows whether anything grows per send.
// Finally the window is closed while auto send runs, and the close is timed.
//
//   cmake -S . -B build/benchsend -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON
//   cmake --build build/benchsend -j2 --target auto_send_bench
//   QT_QPA_PLATFORM=offscreen build/benchsend/bench/auto_send_bench

#include <poll.h>

#include <QApplication>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "../tests/platform/qt_pump.h"
#include "bench_com3.h"
#include "console/quillon_dlg.h"
#include "platform/core/event.h"
#include "platform/core/device_roots.h"
#include "platform/qt/interface_thread_qt.h"
#include "pty_pair.h"
#include "temp_dir.h"

namespace {

using namespace console_ids;

// A field of /proc/self/status in kB, -1 when missing.
long StatusKb(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0)
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    }
    return -1;
}

double Seconds(int64_t fromNs) { return double(platform::MonotonicNs() - fromNs) / 1e9; }

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    platform::InstallQtInterfaceThread();

    testsupport::TempDir dir;
    dir.MakeDirs("dev");
    dir.MakeDirs("sys");
    platform::ScopedDeviceRoots roots({dir / "dev", dir / "sys"});
    testsupport::PtyPair pty;
    pty.LinkAs(dir / "dev", "ttyS2");  // COM3

    // The printer: takes whatever arrives.
    std::atomic<bool> stopDrain{false};
    std::atomic<size_t> drained{0};
    std::thread drain([&] {
        std::vector<uint8_t> bytes;
        while (!stopDrain) {
            pollfd p{pty.Master(), POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) {
                pty.ReadAvailable(bytes);
                drained += bytes.size();
                bytes.clear();
            }
        }
    });

    auto* dlg = new CQuillonDlg(platform::Language::English);
    if (!OpenCom3ForBench(*dlg))
        return 1;

    const QString text = "Corvane auto send 0123456789";
    const int perSend = int(text.size());
    dlg->CheckItem(kHexSend, false);
    dlg->OnHexSend();
    dlg->SetItemText(kSendArea, text);
    dlg->SetItemText(kInterval, "1");
    dlg->CheckItem(kAutoSend, true);

    const int64_t start = platform::MonotonicNs();
    const long hwmStart = StatusKb("VmHWM");
    dlg->OnAutoSend();

    struct Mark {
        int sends;
        double seconds;
        long hwmKb, rssKb;
    };
    std::vector<Mark> marks;
    for (int target : {1000, 10000}) {
        if (!qttest::PumpUntil([&] { return dlg->m_nTxCount >= target * perSend; }, 600000)) {
            std::fprintf(stderr, "auto send stalled at %d sends\n", dlg->m_nTxCount / perSend);
            return 1;
        }
        marks.push_back({dlg->m_nTxCount / perSend, Seconds(start), StatusKb("VmHWM"), StatusKb("VmRSS")});
    }

    // Close the window while auto send runs, as the operator would.
    const int64_t closeStart = platform::MonotonicNs();
    dlg->close();
    delete dlg;
    const double closeMs = Seconds(closeStart) * 1000.0;

    stopDrain = true;
    drain.join();

    std::printf("auto send, COM3 on a pty, interval 1 ms (timers run at 10 ms at least), %d bytes per send\n", perSend);
    std::printf("  peak memory before the first send: VmHWM %ld kB\n", hwmStart);
    for (const Mark& m : marks)
        std::printf("  after %5d sends (%6.1f s, %5.0f sends/s): VmHWM %ld kB, VmRSS %ld kB\n", m.sends, m.seconds,
                    m.sends / m.seconds, m.hwmKb, m.rssKb);
    std::printf("  VmHWM growth from 1,000 to 10,000 sends: %ld kB\n", marks[1].hwmKb - marks[0].hwmKb);
    std::printf("  the printer received %zu bytes; the window closed in %.1f ms\n", drained.load(), closeMs);
    return 0;
}
