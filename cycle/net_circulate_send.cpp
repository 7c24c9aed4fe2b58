#include "cycle/net_circulate_send.h"

#include "platform/qt/dialog_template.h"
#include "resources/layouts.h"

CDialog_NetCirculateSend::CDialog_NetCirculateSend(QWidget* parent, platform::Language language) : Dialog(parent)
{
    platform::BuildFromTemplate(*this, resources::Layout(resources::kLayoutNetCycle, language));
    for (int k = 0; k < kSlots; ++k) {
        m_chkSlots[size_t(k)] = qobject_cast<QCheckBox*>(Item(kCheckIds[size_t(k)]));
        m_ipSlots[size_t(k)] = qobject_cast<platform::IpAddressEdit*>(Item(kIpIds[size_t(k)]));
        // Slot k + 1 starts at 192.168.1.(111 + k); nothing is ticked and nothing can be
        // changed until multi-device mode enables the slots.
        if (m_ipSlots[size_t(k)]) {
            m_ipSlots[size_t(k)]->SetAddress(192, 168, 1, 111 + k);
            m_ipSlots[size_t(k)]->setEnabled(false);
        }
        if (m_chkSlots[size_t(k)]) {
            m_chkSlots[size_t(k)]->setChecked(false);
            m_chkSlots[size_t(k)]->setEnabled(false);
        }
    }
}

CDialog_NetCirculateSend::~CDialog_NetCirculateSend() { CloseEndpoint(); }
