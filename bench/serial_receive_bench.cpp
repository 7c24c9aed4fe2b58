// Receive throughput of the serial transport: a pty's printer side streams bytes, the
// monitor hands them to a window on the interface thread in runs, the window checks every
// byte. Prints bytes per second.
//
//   cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON -DCORVANE_TESTS=ON
//   cmake --build build/bench -j2 --target serial_receive_bench && build/bench/bench/serial_receive_bench

#include <cstdio>
#include <memory>
#include <thread>

#include "platform/core/device_roots.h"
#include "platform/core/event.h"
#include "platform/core/messages.h"
#include "pty_pair.h"
#include "temp_dir.h"
#include "transport/common_utils.h"
#include "transport/notifications.h"

namespace {

class CheckingWindow : public platform::MessageHandler {
public:
    CheckingWindow() : endpoint_(platform::MessageEndpoint::Create(this)) {}
    ~CheckingWindow() { endpoint_->Close(); }
    const std::shared_ptr<platform::MessageEndpoint>& Endpoint() const { return endpoint_; }

    intptr_t HandleMessage(unsigned msg, intptr_t wparam, intptr_t) override
    {
        if (msg == transport::kNotifyByteReceived) {
            if (uint8_t(wparam) != uint8_t(received * 31 + 7))
                ++wrong;
            ++received;
        }
        return 0;
    }

    size_t received = 0;
    size_t wrong = 0;

private:
    std::shared_ptr<platform::MessageEndpoint> endpoint_;
};

}  // namespace

int main()
{
    platform::InterfaceThread::Instance().Adopt();
    testsupport::TempDir dir;
    platform::ScopedDeviceRoots roots({dir.Path(), dir.Path()});
    testsupport::PtyPair pty;
    pty.LinkAs(dir.Path(), "ttyS0");

    CheckingWindow window;
    transport::CommonUtils port;
    if (!port.OpenSerial(window.Endpoint(), 1, 115200, 'N', 8, 1, 0, 0x39, 1, 1)) {
        std::fprintf(stderr, "open failed\n");
        return 1;
    }
    constexpr size_t kTotal = 64u << 20;
    std::thread printer([&] {
        std::vector<uint8_t> chunk(65536);
        for (size_t sent = 0; sent < kTotal; sent += chunk.size()) {
            for (size_t i = 0; i < chunk.size(); ++i)
                chunk[i] = uint8_t((sent + i) * 31 + 7);
            pty.Send(chunk);
        }
    });
    int64_t start = platform::MonotonicNs();
    std::fprintf(stderr, "started\n");
    bool done = platform::InterfaceThread::Instance().PumpUntil([&] { return window.received >= kTotal; }, 120000);
    int64_t elapsed = platform::MonotonicNs() - start;
    printer.join();
    port.ClosePort();
    double seconds = double(elapsed) / 1e9;
    std::printf("serial pty receive: %zu bytes in %.3f s = %.1f MB/s, %zu wrong, %s\n", window.received, seconds,
                double(window.received) / seconds / 1e6, window.wrong, done ? "complete" : "INCOMPLETE");
    return done && window.wrong == 0 ? 0 : 1;
}
