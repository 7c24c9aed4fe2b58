#pragma once
// The web-page check that must pass before a network printer is connected.
//
// The printer's address must answer a plain HTTP GET of its root page on port 80. The
// request carries a fixed set of four headers, in a fixed order, because some printer web
// servers answer differently without them. Only the status line matters: the body is never
// read, and redirects are not followed. Proxy settings come from the environment, as
// libcurl reads them.
//
// Time limits: 3000 ms to connect; after that any stretch of 2000 ms without progress
// ends the check, and the whole check never takes longer than 7000 ms, so the thread that
// asks (often the interface thread) is never held beyond the sum of the three limits.

#include <netinet/in.h>

#include <string>

namespace transport {

constexpr int kWebProbePort = 80;
constexpr long kWebProbeConnectTimeoutMs = 3000;
constexpr long kWebProbeIoTimeoutMs = 2000;

// Accepts only a dotted IPv4 address ("192.168.1.5"); anything else is refused before
// any network activity, since the text ends up in a URL.
bool ParseDottedIpv4(const std::string& text, in_addr& out);

// The HTTP status of http://<ip>/, or 0 when there was no answer (invalid address, refused,
// timed out, not HTTP). Blocks the calling thread; safe to call from several threads.
long WebPageStatus(const std::string& ipText);

// Aims the check at another port on the same address (0 restores the real port 80).
void SetWebProbePortForTesting(int port);

}  // namespace transport
