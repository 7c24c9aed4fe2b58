#include "transport/web_probe.h"

#include <arpa/inet.h>
#include <curl/curl.h>

#include <atomic>
#include <memory>
#include <mutex>

namespace transport {
namespace {

std::atomic<int> g_portForTesting{0};

// Sent in this order; setting Accept here also keeps libcurl from adding its own, and no
// CURLOPT_USERAGENT is set, so neither header appears twice.
constexpr const char* kRequestHeaders[] = {
    "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.2; )",
    "Accept: */*",
    "Accept-Encoding: gzip,deflate",
    "Accept-Language: zh-cn",
};

// Total bound: connect, then the request, then the answer, each at its own limit.
constexpr long kWholeCheckMs = kWebProbeConnectTimeoutMs + 2 * kWebProbeIoTimeoutMs;

bool GlobalInitOnce()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ok;
}

struct EasyDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// Called once the answer's head is complete and the body begins: the status is known, so
// the transfer is cut short here instead of waiting for a body nobody reads.
size_t StopAtBody(char*, size_t, size_t, void* bodyStarted)
{
    *static_cast<bool*>(bodyStarted) = true;
    return 0;
}

std::string ProbeUrl(const in_addr& address)
{
    char dotted[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, dotted, sizeof dotted);
    std::string url = std::string("http://") + dotted;
    if (int port = g_portForTesting.load(); port > 0 && port != kWebProbePort) {
        url += ':';
        url += std::to_string(port);
    }
    url += '/';
    return url;
}

}  // namespace

bool ParseDottedIpv4(const std::string& text, in_addr& out)
{
    // inet_pton takes exactly four decimal fields; the size check keeps embedded NULs out.
    return text.size() < INET_ADDRSTRLEN && text.find('\0') == std::string::npos &&
           ::inet_pton(AF_INET, text.c_str(), &out) == 1;
}

long WebPageStatus(const std::string& ipText)
{
    in_addr address{};
    if (!ParseDottedIpv4(ipText, address) || !GlobalInitOnce())
        return 0;
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy)
        return 0;
    std::unique_ptr<curl_slist, ListDeleter> headers;
    for (const char* h : kRequestHeaders) {
        curl_slist* grown = curl_slist_append(headers.get(), h);
        if (!grown)
            return 0;
        (void)headers.release();
        headers.reset(grown);
    }

    const std::string url = ProbeUrl(address);
    bool bodyStarted = false;
    CURL* c = easy.get();
    bool configured =
        curl_easy_setopt(c, CURLOPT_URL, url.c_str()) == CURLE_OK &&
        curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http") == CURLE_OK &&
        curl_easy_setopt(c, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1)) == CURLE_OK &&
        curl_easy_setopt(c, CURLOPT_HTTPGET, 1L) == CURLE_OK &&
        curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get()) == CURLE_OK &&
        curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK &&
        curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
        curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, kWebProbeConnectTimeoutMs) == CURLE_OK &&
        // No progress for the send or receive limit ends the check, as a stalled socket
        // call would; the whole-check bound also catches a server that trickles forever.
        curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L) == CURLE_OK &&
        curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, kWebProbeIoTimeoutMs / 1000) == CURLE_OK &&
        curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, kWholeCheckMs) == CURLE_OK &&
        curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &StopAtBody) == CURLE_OK &&
        curl_easy_setopt(c, CURLOPT_WRITEDATA, &bodyStarted) == CURLE_OK;
    if (!configured)
        return 0;

    CURLcode rc = curl_easy_perform(c);
    if (rc != CURLE_OK && !(rc == CURLE_WRITE_ERROR && bodyStarted))
        return 0;
    long status = 0;
    if (curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK)
        return 0;
    return status;
}

void SetWebProbePortForTesting(int port) { g_portForTesting.store(port > 0 && port <= 65535 ? port : 0); }

}  // namespace transport
