#include "cycle/com_circulate_send.h"

#include <QHeaderView>

#include <iterator>

#include "platform/qt/dialog_template.h"
#include "resources/layouts.h"

namespace {

struct ListColumn {
    const char* title;
    Qt::Alignment alignment;
    int width;  // pixels
};

constexpr ListColumn kColumns[] = {
    {"Index", Qt::AlignHCenter, 30},
    {"COM", Qt::AlignLeft, 50},
    {"PARAM", Qt::AlignLeft, 100},
};

}  // namespace

CDialog_ComCirculateSend::CDialog_ComCirculateSend(QWidget* parent, platform::Language language) : Dialog(parent)
{
    platform::BuildFromTemplate(*this, resources::Layout(resources::kLayoutComCycle, language));
    m_listPorts = qobject_cast<QTreeWidget*>(Item(kIdPortList));
    if (m_listPorts) {
        m_listPorts->setColumnCount(int(std::size(kColumns)));
        QStringList titles;
        for (const ListColumn& c : kColumns)
            titles << QString::fromLatin1(c.title);
        m_listPorts->setHeaderLabels(titles);
        for (int i = 0; i < int(std::size(kColumns)); ++i) {
            m_listPorts->setColumnWidth(i, kColumns[i].width);
            m_listPorts->headerItem()->setTextAlignment(i, kColumns[i].alignment | Qt::AlignVCenter);
        }
        m_listPorts->setHeaderHidden(true);
        m_listPorts->setSelectionMode(QAbstractItemView::SingleSelection);
        m_listPorts->setSelectionBehavior(QAbstractItemView::SelectRows);
        // The list starts disabled; multi-device mode enables it.
        m_listPorts->setEnabled(false);
    }
}

CDialog_ComCirculateSend::~CDialog_ComCirculateSend() { CloseEndpoint(); }
