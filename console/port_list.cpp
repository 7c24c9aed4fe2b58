// The console's port list: serial ports, parallel ports, USB printers, then the network
// entry, in that order and never sorted by the list itself.
#include <QComboBox>

#include <optional>
#include <string>
#include <vector>

#include "console/quillon_dlg.h"
#include "transport/com_names.h"
#include "transport/common_utils.h"
#include "transport/parallel_ports.h"

using namespace console_ids;

namespace {

// The entry's text is exactly the port's name; the device behind it is its tooltip.
void AddPort(QComboBox* list, const std::string& name, const std::string& device)
{
    list->addItem(QString::fromStdString(name));
    if (!device.empty())
        list->setItemData(list->count() - 1, QString::fromStdString(device), Qt::ToolTipRole);
}

int NumberAfterPrefix(const std::string& name)
{
    int value = 0;
    for (size_t i = 3; i < name.size() && name[i] >= '0' && name[i] <= '9' && value < 100000; ++i)
        value = value * 10 + (name[i] - '0');
    return value;
}

}  // namespace

void CQuillonDlg::RefreshPortList()
{
    auto* list = qobject_cast<QComboBox*>(Item(kPortList));
    if (!list)
        return;
    list->clear();

    m_arrSerialPorts.clear();
    transport::CommonUtils::ListSerialPorts(m_arrSerialPorts);
    m_nSerialCount = int(m_arrSerialPorts.size());
    for (const std::string& name : m_arrSerialPorts)
        AddPort(list, name, transport::ComDevicePath(NumberAfterPrefix(name)));

    std::vector<std::string> ports;
    transport::CommonUtils::ListParallelPorts(ports);
    m_nParallelCount = int(ports.size());
    for (const std::string& name : ports) {
        const std::optional<int> number = transport::ParallelPortNumber(name);
        AddPort(list, name, number ? transport::ParallelNodePath(*number) : std::string());
    }

    ports.clear();
    transport::CommonUtils::ListUsbDevices(ports);
    m_nUsbCount = 0;
    for (const std::string& path : ports) {
        ++m_nUsbCount;
        AddPort(list, "USB" + std::to_string(m_nUsbCount), path);
        // Numbers of an earlier build that are not given now keep their old paths.
        m_mapUsbPaths[uint32_t(m_nUsbCount)] = path;
    }

    list->addItem(Text(189));
    list->setCurrentIndex(0);
}
