#pragma once
// A window without a GUI for transport tests: records every message it handles, on the
// test thread (the interface thread), and can run a hook inside a handler.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/core/messages.h"

namespace testsupport {

struct RecordedMessage {
    unsigned msg;
    intptr_t wparam;
    intptr_t lparam;
};

class RecordingWindow : public platform::MessageHandler {
public:
    RecordingWindow() : endpoint_(platform::MessageEndpoint::Create(this)) {}
    ~RecordingWindow() { endpoint_->Close(); }

    const std::shared_ptr<platform::MessageEndpoint>& Endpoint() const { return endpoint_; }

    intptr_t HandleMessage(unsigned msg, intptr_t wparam, intptr_t lparam) override
    {
        messages.push_back({msg, wparam, lparam});
        if (onMessage)
            onMessage(messages.back());
        return 0;
    }

    size_t Count(unsigned msg) const
    {
        size_t n = 0;
        for (const auto& m : messages)
            n += m.msg == msg;
        return n;
    }
    // wparams of one message kind, as bytes (low 8 bits).
    std::vector<uint8_t> Bytes(unsigned msg) const
    {
        std::vector<uint8_t> out;
        for (const auto& m : messages)
            if (m.msg == msg)
                out.push_back(uint8_t(m.wparam & 0xFF));
        return out;
    }
    std::vector<intptr_t> Params(unsigned msg) const
    {
        std::vector<intptr_t> out;
        for (const auto& m : messages)
            if (m.msg == msg)
                out.push_back(m.wparam);
        return out;
    }

    // Pumps the interface thread until pred() holds or timeoutMs passed.
    bool PumpUntil(const std::function<bool()>& pred, int timeoutMs = 5000)
    {
        return platform::InterfaceThread::Instance().PumpUntil(pred, timeoutMs);
    }

    std::vector<RecordedMessage> messages;
    std::function<void(const RecordedMessage&)> onMessage;

private:
    std::shared_ptr<platform::MessageEndpoint> endpoint_;
};

}  // namespace testsupport
