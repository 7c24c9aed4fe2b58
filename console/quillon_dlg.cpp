// The console window: construction, start-up, message map, closing and destroy sequences.
#include "console/quillon_dlg.h"

#include <QAbstractScrollArea>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include <algorithm>

#include "app/push_pin_button.h"
#include "console/dialog_other_command.h"
#include "console/dialog_test_button.h"
#include "cycle/com_circulate_send.h"
#include "cycle/net_circulate_send.h"
#include "platform/qt/ip_address_edit.h"
#include "platform/qt/prompts.h"
#include "platform/qt/tab_control.h"
#include "resources/layouts.h"
#include "resources/pictures.h"
#include "resources/strings.h"
#include "cycle/page_messages.h"
#include "transport/notifications.h"

using namespace console_ids;

namespace {

// Blue text on white, in every state of the window.
void ColourReceiveArea(QWidget* area)
{
    QPalette palette = area->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Text, QColor(0, 0, 255));
        palette.setColor(group, QPalette::Base, QColor(255, 255, 255));
    }
    area->setPalette(palette);
}

}  // namespace

CQuillonDlg::CQuillonDlg(platform::Language language, QWidget* parent) : Dialog(parent), m_language(language)
{
    m_strSendFilePath = Text(179);
    m_hIcon = resources::LoadIcon(resources::kIconApplication);
    BuildControls();
    ConnectHandlers();
    OnInitDialog();
}

CQuillonDlg::~CQuillonDlg()
{
    // Nothing is delivered to the window from here on; workers waiting on it are released.
    CloseEndpoint();

    m_deviceWatcher.Stop();

    // The destroy sequence.
    if (IsItemChecked(kAutoSend))
        KillTimer(kTimerAutoSend);
    if (m_bPortOpen)
        m_utils.ClosePort();
    m_strRecvHex.clear();
    m_strRecvText.clear();

    // The pages reach into the window's members: they go before the members do.
    delete m_pageComCycle;
    delete m_pageNetCycle;
    delete m_pageTest;
    delete m_pageOther;
}

QString CQuillonDlg::Text(int id) const { return resources::LoadString(id, m_language); }

void CQuillonDlg::ShowMessage(const QString& text)
{
    // The program file's name without its extension, as the caption of every message.
    const QString caption = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    platform::CurrentPrompts().MessageBox(this, text, caption, platform::Prompts::Icon::None);
}

platform::TabControl* CQuillonDlg::TabPanel() const { return qobject_cast<platform::TabControl*>(Item(kTabPanel)); }

CPushPinButton* CQuillonDlg::PushPin() const { return qobject_cast<CPushPinButton*>(Item(kPushPin)); }

platform::IpAddressEdit* CQuillonDlg::IpAddress() const
{
    return qobject_cast<platform::IpAddressEdit*>(Item(kIpAddress));
}

// Step 1 of the start-up: every control of layout 148, the lists with their fixed items.
void CQuillonDlg::BuildControls()
{
    const platform::DialogTemplate& layout = resources::Layout(resources::kLayoutMain, m_language);
    m_dlu = std::make_unique<platform::DluConverter>(platform::BuildFromTemplate(
        *this, layout, [](const platform::ControlTemplate& control, QWidget* parent) -> QWidget* {
            if (control.id == kPushPin)
                return new CPushPinButton(parent);
            return nullptr;
        }));

    // The receive area shows what arrives and nothing the operator types: no context menu,
    // no input method, nothing dropped or pasted into it with the middle button (the filter
    // takes care of keys and buttons).
    if (QWidget* area = Item(kRecvArea)) {
        ColourReceiveArea(area);
        area->setContextMenuPolicy(Qt::NoContextMenu);
        area->setAttribute(Qt::WA_InputMethodEnabled, false);
        area->setAcceptDrops(false);
        if (auto* scroll = qobject_cast<QAbstractScrollArea*>(area)) {
            scroll->viewport()->setAcceptDrops(false);
            scroll->viewport()->setContextMenuPolicy(Qt::NoContextMenu);
        }
    }
}

void CQuillonDlg::ConnectHandlers()
{
    auto onClick = [this](int id, void (CQuillonDlg::*handler)()) {
        if (auto* button = qobject_cast<QPushButton*>(Item(id)))
            connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    onClick(kOpenClose, &CQuillonDlg::OpenClosePort);
    onClick(kPushPin, &CQuillonDlg::OnPushPin);
    onClick(kMoreHidden, &CQuillonDlg::OnMoreHidden);
    onClick(kHelp, &CQuillonDlg::OnHelp);
    onClick(kSend, &CQuillonDlg::OnSend);
    onClick(kSendClear, &CQuillonDlg::OnSendClear);
    onClick(kPause, &CQuillonDlg::OnPause);
    onClick(kRecvClear, &CQuillonDlg::OnRecvClear);
    onClick(kRecount, &CQuillonDlg::OnRecount);
    // Check boxes: the handler runs after the box changed, as the operator clicked it.
    auto onBox = [this](int id, void (CQuillonDlg::*handler)()) {
        if (auto* box = qobject_cast<QAbstractButton*>(Item(id)))
            connect(box, &QAbstractButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    onBox(kAutoSend, &CQuillonDlg::OnAutoSend);
    onBox(kHexSend, &CQuillonDlg::OnHexSend);
    onBox(kHexShow, &CQuillonDlg::OnHexShow);
    // The interval follows every change of its text, the program's own included.
    if (auto* interval = qobject_cast<QLineEdit*>(Item(kInterval)))
        connect(interval, &QLineEdit::textChanged, this, [this] { OnIntervalChange(); });

    // Only the operator's choices count, as with the platform's selection-change notices;
    // lists the program fills or selects stay quiet.
    auto onChoice = [this](int id, void (CQuillonDlg::*handler)()) {
        if (auto* list = qobject_cast<QComboBox*>(Item(id)))
            connect(list, &QComboBox::activated, this, [this, handler] { (this->*handler)(); });
    };
    onChoice(kPortList, &CQuillonDlg::OnPortSelChange);
    onChoice(kMultiple, &CQuillonDlg::OnMultipleSelChange);
    for (int id : {kBaudRate, kParity, kDataBits, kStopBits})
        onChoice(id, &CQuillonDlg::OnSerialParamChange);
    onChoice(kTcpPort, &CQuillonDlg::OnTcpPortChange);

    if (platform::TabControl* tab = TabPanel())
        connect(tab, &platform::TabControl::currentChanged, this, [this] { ShowTabPage(); });
}

void CQuillonDlg::ShowLamp(const QIcon& icon)
{
    auto* lamp = qobject_cast<QLabel*>(Item(kLamp));
    if (!lamp)
        return;
    const int side = std::min(lamp->width(), lamp->height());
    lamp->setPixmap(icon.pixmap(QSize(side, side)));
}

// Steps 2 to 18 of the start-up.
void CQuillonDlg::OnInitDialog()
{
    setWindowTitle(Text(191).replace(QLatin1String("%.1f"), QString::number(double(m_fVersion), 'f', 1)));
    // The window system draws the icon for the caption, the task bar and a minimised window.
    setWindowIcon(m_hIcon);

    CheckItem(kHexShow, false);
    CheckItem(kHexSend, true);

    m_hIconOpen = resources::LoadIcon(resources::kIconLampOn);
    m_hIconClosed = resources::LoadIcon(resources::kIconLampOff);
    ShowLamp(m_hIconClosed);

    for (int id : {kPortList, kParity, kDataBits, kStopBits, kFlowControl, kMultiple})
        SetCurSel(id, 0);
    SetCurSel(kBaudRate, 3);  // 9600
    SetCurSel(kTcpPort, 2);   // 9100
    CheckItem(kDtr, true);
    CheckItem(kRts, true);
    if (platform::IpAddressEdit* ip = IpAddress())
        ip->SetAddress(192, 168, 1, 114);

    SetItemText(kInterval, QString::number(m_nInterval));

    m_strStatus = Text(172);
    SetItemText(kStatusLine, m_strStatus);

    SetItemText(kSendFilePath, m_strSendFilePath);

    RefreshPortList();

    LoadSettings();

    SetUpTabPanel();

    if (m_bExpanded == 0)
        SetExpanded(0);

    if (m_strSaveFolder.isEmpty())
        m_strSaveFolder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    SetItemText(kSaveFolder, m_strSaveFolder);

    const std::string& store = IsItemChecked(kHexSend) ? m_strSendHex : m_strSendText;
    ShowSendStore(store);

    OnPortSelChange();

    UpdateControlStates();

    if (QWidget* open = Item(kOpenClose))
        open->setFocus(Qt::OtherFocusReason);

    StartDeviceWatch();
}

intptr_t CQuillonDlg::OnMessage(unsigned msg, intptr_t wparam, intptr_t lparam)
{
    (void)lparam;
    switch (msg) {
    case transport::kNotifyModemLines:
        ShowModemStatus();
        return 0;
    case transport::kNotifyByteReceived:
        return OnByteReceived(wparam);
    case transport::kNotifyWriteDone:
        OnWriteDone(wparam);
        return 0;
    case transport::kNotifyConnectionClosed:
        OnConnectionBroken();
        return 0;
    case transport::kMsgDeviceChange:
        OnDeviceChange(wparam);
        return 0;
    case kMsgStopAutoSend:
        OnStopAutoSend();
        return 0;
    default:
        return 0;
    }
}

void CQuillonDlg::OnTimer(int id)
{
    switch (id) {
    case kTimerAutoSend:
        OnAutoSendTimer();
        break;
    case kTimerFileStatus:
        OnFileStatusTimer();
        break;
    default:
        break;
    }
}

void CQuillonDlg::accept() {}

void CQuillonDlg::reject()
{
    if (m_bClosing)
        QDialog::reject();
}

// The closing sequence: the operator closed the window (close box, window menu, Alt+F4).
void CQuillonDlg::closeEvent(QCloseEvent* event)
{
    TakeSendArea();
    SaveSettings();
    if (m_bPortOpen)
        OpenClosePort();

    // The normal close: the window ends through the cancel path and is hidden.
    m_bClosing = true;
    QDialog::closeEvent(event);
    m_bClosing = false;
}

void CQuillonDlg::TakeSendArea()
{
    std::string& store = IsItemChecked(kHexSend) ? m_strSendHex : m_strSendText;
    store = SendAreaBytes();
    m_strSendData = store;
}
