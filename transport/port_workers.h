#pragma once
// The writer and reader threads of USB, parallel and network ports.
//
// Principles of operation
// - The writer waits on two positions, lowest first: 0 the stop event, 1 the send request.
//   It takes the queued sends one at a time, so a send requested during another is served
//   right after it, never overlooked and never mixed in.
// - A network send is one socket send of the whole buffer, reported with what the socket
//   accepted. A device send goes out in pieces of at most 4096 bytes; the first failing
//   piece ends it and the bytes written before are reported once.
// - The reader hands each read (at most 256 bytes) to the owner as one run of sign-extended
//   bytes. A network reader sleeps in recv; closing the port shuts the socket down, which
//   wakes it at once. A USB reader waits in poll together with the stop event, so no read is
//   ever left pending and nothing it returns is lost.
// - The peer's orderly close (or a reset) is reported once and ends the reader. Any other
//   failure is retried only after a pause, or, for a device that is gone, not at all: the
//   thread then waits for its stop event.

#include <memory>

namespace transport {

struct PortSession;

constexpr size_t kDevicePieceSize = 4096;
constexpr size_t kReaderBufferSize = 256;
constexpr int kReceiveRetryPauseMs = 2000;
constexpr int kDeviceReadWaitMs = 50;

// Starts the writer, and the reader when withReader. A thread that cannot start is missing.
void StartPortWorkers(const std::shared_ptr<PortSession>& session, bool withReader);

}  // namespace transport
