#pragma once
// A minimal web server on 127.0.0.1 standing in for a printer's web page.
//
// One thread accepts connections one after the other, records each request head (request
// line and header lines, up to the blank line) before it answers, and then answers every
// request the same way. Because the head is recorded before the answer goes out, a client
// that has its answer finds its request already recorded.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/event.h"
#include "platform/core/unique_fd.h"

namespace testsupport {

class LoopbackHttpServer {
public:
    enum class Mode {
        Answer,    // the status with a short body, then the connection is closed
        Silent,    // reads the request and never answers
        Trickle,   // the status and the start of a long body, then nothing more
    };

    explicit LoopbackHttpServer(int status, Mode mode = Mode::Answer);  // throws when it cannot listen
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    int Port() const { return port_; }
    size_t ConnectionCount() const { return connections_.load(); }
    std::vector<std::string> Requests() const;

    // A request head split into lines (without their CR LF); the first is the request line.
    static std::vector<std::string> Lines(const std::string& head);

private:
    void Run();
    void Serve(int fd);
    bool SendAll(int fd, const std::string& text);
    // Keeps the connection until the client drops it or the server stops.
    void HoldUntilClosed(int fd);

    const int status_;
    const Mode mode_;
    platform::UniqueFd listen_;
    int port_ = 0;
    platform::Event stop_;
    std::atomic<size_t> connections_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

}  // namespace testsupport
