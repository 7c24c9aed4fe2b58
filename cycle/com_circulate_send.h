#pragma once
// The serial cycle page (tab 0 of the console's tab panel, layout 158): one list view with a
// row per serial port of the console, each with a tick and its own serial parameters.
// The page is created with its list empty and disabled; filling the list, the ticks and
// the sending runs build on it.

#include <QTreeWidget>

#include "platform/core/language.h"
#include "platform/qt/dialog.h"

class CDialog_ComCirculateSend : public platform::Dialog {
    Q_OBJECT

public:
    static constexpr int kIdPortList = 1102;
    // Columns of the list; their titles are never shown (the list has no header row).
    enum Column { kColumnIndex = 0, kColumnCom = 1, kColumnParam = 2 };

    // A child page of parent (the console's tab control).
    CDialog_ComCirculateSend(QWidget* parent, platform::Language language);
    ~CDialog_ComCirculateSend() override;

    QTreeWidget* m_listPorts = nullptr;  // list view 1102
};
