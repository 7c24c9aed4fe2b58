#pragma once
// The network cycle page (tab 1 of the console's tab panel, layout 155): eight address
// slots, each a tick and an IP address field. The page is created with the slots' default
// addresses and every slot disabled; the ticks and the sending runs build on it.

#include <QCheckBox>

#include <array>

#include "platform/core/language.h"
#include "platform/qt/dialog.h"
#include "platform/qt/ip_address_edit.h"

class CDialog_NetCirculateSend : public platform::Dialog {
    Q_OBJECT

public:
    static constexpr int kSlots = 8;
    // Slot k (0-based, top to bottom): its check box and its IP address field. The check
    // box ids are not in slot order.
    static constexpr std::array<int, kSlots> kCheckIds = {1071, 1074, 1072, 1075, 1073, 1076, 1077, 1078};
    static constexpr std::array<int, kSlots> kIpIds = {1079, 1080, 1081, 1082, 1083, 1084, 1085, 1086};

    // A child page of parent (the console's tab control).
    CDialog_NetCirculateSend(QWidget* parent, platform::Language language);
    ~CDialog_NetCirculateSend() override;

    std::array<platform::IpAddressEdit*, kSlots> m_ipSlots{};
    std::array<QCheckBox*, kSlots> m_chkSlots{};
};
