#include "transport/common_utils.h"

#include "transport/codec.h"
#include "transport/daily_log.h"
#include "transport/port_workers.h"

namespace transport {

CommonUtils::CommonUtils() : modemSource_(DeviceModemStatus()) {}

CommonUtils::~CommonUtils() { ClosePort(); }

std::shared_ptr<PortSession> CommonUtils::NewSession(int kind)
{
    auto session = std::make_shared<PortSession>();
    session->kind = kind;
    session->owner = m_pOwner;
    session->suppressTxNotify = m_bSuppressTxNotify.Share();
    session->modem = modemSource_;
    return session;
}

int CommonUtils::AdoptWithWorkers(std::shared_ptr<PortSession> session, bool withReader)
{
    session_ = std::move(session);
    m_nKind = session_->kind;
    StartPortWorkers(session_, withReader);
    return 1;
}

int CommonUtils::Socket() const
{
    return session_ && session_->kind == kKindNetwork ? session_->port.Get() : -1;
}

void CommonUtils::ClosePort()
{
    if (session_) {
        std::shared_ptr<PortSession> session = std::move(session_);
        session->StopWorkers();
        // The descriptor closes with the last reference: here, or in a worker that was left
        // to end by itself inside its own notification.
    }
    m_pWriteBuffer.clear();
    m_nWriteLength = 0;
    m_bSuppressTxNotify = 0;
    m_bUsbReadable = 0;
    m_nKind = kKindNone;
}

void CommonUtils::KeepPending(const uint8_t* bytes, int length)
{
    if (length < 0 || (length > 0 && !bytes))
        length = 0;
    m_pWriteBuffer.assign(bytes, bytes + length);
    m_nWriteLength = length;
}

void CommonUtils::Write(const uint8_t* bytes, int length)
{
    KeepPending(bytes, length);
    if (!session_ || !session_->running)
        return;  // no port: the bytes stay pending and nothing is written
    session_->sends.Push(m_pWriteBuffer);
    session_->writeRequest.Set();
}

bool CommonUtils::HasQueuedSends() const { return session_ && !session_->sends.Empty(); }

uint32_t CommonUtils::GetModemStatus() const
{
    if (!session_ || session_->kind != kKindSerial || !modemSource_)
        return 0;
    return modemSource_->Read(session_->port.Get());
}

void CommonUtils::SetModemStatusSource(std::shared_ptr<ModemStatusSource> source)
{
    modemSource_ = source ? std::move(source) : DeviceModemStatus();
}

int CommonUtils::HexTextToBytes(std::string text, uint8_t* out) { return transport::HexTextToBytes(std::move(text), out); }

void CommonUtils::ParseSerialParams(std::string text, int& baud, char& parity, int& dataBits, int& stopBits, int& flow)
{
    transport::ParseSerialParams(std::move(text), baud, parity, dataBits, stopBits, flow);
}

std::string CommonUtils::IpAddressText(const std::array<int, 4>& fields) { return transport::IpAddressText(fields); }

int CommonUtils::WriteDailyLog(std::string text) { return transport::WriteDailyLog(std::move(text)); }

}  // namespace transport
