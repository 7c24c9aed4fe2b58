#pragma once
// The serial receive monitor: the one thread that reads and writes a serial port opened
// for a window.
//
// Principles of operation
// - One poll waits on three positions, lowest served first: 0 the stop event, 1 the port
//   (readable, or a modem line changed), 2 the send request.
// - Modem lines have no wake-up of their own on Linux: when the event mask asks for CTS,
//   DSR or RLSD changes the lines are sampled on every wake and at least every 50 ms, and a
//   change counts as a comm event.
// - A comm event drains the port and then sends one line notification for each line bit in
//   the mask, whatever actually changed, as the owner reads the lines itself.
// - Received bytes go to the owner in runs of up to one read (4096 bytes) per hop; the
//   owner handles them byte by byte.
// - A send discards input not yet read, then writes in pieces of at most 4096 bytes and is
//   reported once with its total. Output is never discarded: on Linux a write completes
//   when the bytes are queued, so clearing output would cut off the previous send.
// - A hang-up (device gone, pty's other side closed) takes the port out of the wait; the
//   monitor then waits quietly for its stop event, serving sends that will fail.

#include <memory>

namespace transport {

struct PortSession;

constexpr uint32_t kEvRxChar = 0x01;
constexpr uint32_t kEvCts = 0x08;
constexpr uint32_t kEvDsr = 0x10;
constexpr uint32_t kEvRlsd = 0x20;

constexpr size_t kSerialPieceSize = 4096;
constexpr int kLineSampleMs = 50;

// Starts the monitor of an open serial session. Returns false when the thread could not
// be started (the port stays open without it).
bool StartSerialMonitor(const std::shared_ptr<PortSession>& session);

}  // namespace transport
