#pragma once
// CommonUtils: the transport object a window owns to talk to one printer port.
//
// An object holds at most one open port of one kind (serial, parallel, USB, network).
// Opens return 1 or 0 and report nothing else; the calling window chooses the message.
// The port's descriptor, events and send queue live in a session shared with the port's
// worker threads (see port_session.h); ClosePort stops and joins them before anything
// they use is released. Received bytes, finished writes and line changes reach the owner
// window as synchronous notifications (notifications.h).
//
// Each object is used by one thread at a time: the window's interface thread, or the
// worker thread of a cycle page.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "transport/modem_status.h"
#include "transport/port_session.h"

namespace transport {

enum PortKind { kKindNone = 0, kKindSerial = 1, kKindParallel = 2, kKindUsb = 3, kKindNetwork = 4 };

// An int flag the port's workers read while the owner sets it; used like a plain member.
class SharedFlag {
public:
    SharedFlag() : value_(std::make_shared<std::atomic<int>>(0)) {}
    SharedFlag(const SharedFlag&) = delete;
    SharedFlag& operator=(const SharedFlag&) = delete;
    SharedFlag& operator=(int v)
    {
        value_->store(v);
        return *this;
    }
    operator int() const { return value_->load(); }
    std::shared_ptr<std::atomic<int>> Share() const { return value_; }

private:
    std::shared_ptr<std::atomic<int>> value_;
};

class CommonUtils {
public:
    CommonUtils();
    virtual ~CommonUtils();
    CommonUtils(const CommonUtils&) = delete;
    CommonUtils& operator=(const CommonUtils&) = delete;

    // Serial port by number (COM1 = /dev/ttyS0, see com_names.h) for a window: exclusive,
    // configured, served by its monitor thread. flow: 0 none, 1 XON/XOFF, else RTS/CTS.
    int OpenSerial(OwnerWindow owner, int portNumber, int baud, char parity, int dataBits, int stopBits,
                   int flow, uint32_t eventMask, int dtrOn, int rtsOn);
    // Serial port from a parameter text such as "9600,N,8,1", for blocking WriteSync only.
    int OpenSerialPlain(int portNumber, std::string params);
    // USB printer by the path ListUsbDevices gave; a reader only for the read-enable pair.
    int OpenUsb(OwnerWindow owner, const std::string& devicePath);
    // Parallel port by name ("LPT1"); written only, never read.
    int OpenParallel(OwnerWindow owner, const std::string& portName);
    // Network printer: its web page must answer 200, then a TCP connection to tcpPort.
    int OpenNetwork(OwnerWindow owner, const std::string& ipText, int tcpPort);
    // 1 when http://<ip>/ answers with status 200.
    static int ProbeWebPage(const std::string& ipText);

    // Port discovery: each appends to the list.
    static void ListSerialPorts(std::vector<std::string>& names);
    static void ListParallelPorts(std::vector<std::string>& names);
    static void ListUsbDevices(std::vector<std::string>& paths);

    // Stops the workers, releases the port and the pending send. Harmless when nothing is open.
    void ClosePort();

    // Keeps the bytes as the pending send and has the port's worker write them; returns at
    // once. Sends follow each other in call order, never mixed.
    void Write(const uint8_t* bytes, int length);
    // Keeps the bytes as the pending send and writes them, blocking. 1 when all were written.
    int WriteSync(const uint8_t* bytes, int length);
    // Sends handed to Write that the port's worker has not taken up yet. Inside a write
    // notification these are the sends that came after the one just reported.
    bool HasQueuedSends() const;

    // Modem lines of the open serial port (kStatusCts, kStatusDsr, kStatusRlsd bits); 0 on
    // any other port.
    uint32_t GetModemStatus() const;
    // Where modem lines are read from; tests drive line changes through it.
    void SetModemStatusSource(std::shared_ptr<ModemStatusSource> source);

    // Codec and log, shared by every window.
    static int HexTextToBytes(std::string text, uint8_t* out);
    static void ParseSerialParams(std::string text, int& baud, char& parity, int& dataBits, int& stopBits, int& flow);
    static std::string IpAddressText(const std::array<int, 4>& fields);
    static int WriteDailyLog(std::string text);

    int m_nKind = kKindNone;
    OwnerWindow m_pOwner;             // receives the notifications; set by the opens
    SharedFlag m_bSuppressTxNotify;   // while set, finished writes are not reported
    std::vector<uint8_t> m_pWriteBuffer;  // the last send handed to Write or WriteSync
    int m_nWriteLength = 0;
    uint32_t m_dwBytesWritten = 0;    // count of the last WriteSync
    const std::string m_strVidB = "vid_0483";  // the USB pair whose answers are read
    const std::string m_strPidB = "pid_5720";
    int m_bUsbReadable = 0;

    // The connected socket of a network port, -1 when none.
    int Socket() const;

private:
    std::shared_ptr<PortSession> NewSession(int kind);
    // Makes session the open port of this object and starts its writer, and its reader
    // when withReader. Returns 1 (a worker that cannot start is simply missing).
    int AdoptWithWorkers(std::shared_ptr<PortSession> session, bool withReader);
    void KeepPending(const uint8_t* bytes, int length);

    std::shared_ptr<PortSession> session_;
    std::shared_ptr<ModemStatusSource> modemSource_;
};

}  // namespace transport
