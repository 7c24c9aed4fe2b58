#pragma once
// CQuillonDlg: the operator's console window.
//
// One fixed-size window built from layout 148 in the interface language: port settings,
// open/close button, receive and send areas, counters, capture and send-file groups, and a
// tab panel with four pages. This file declares the window's state members with their
// construction values, the start-up sequence, the tab panel with its expand/collapse, the
// help toggle, the keyboard and mouse filter, the closing and destroy sequences and the
// port list. Opening and closing ports, sending, receiving, capture, send file and the
// settings file build on the members and operations declared here.
//
// Strings: byte data and texts handed to the transport are std::string in the system code
// page (code_page.h); texts made for display from the string table are QString.

#include <QIcon>
#include <QRect>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/language.h"
#include "platform/qt/dialog.h"
#include "platform/qt/dialog_template.h"
#include "transport/common_utils.h"
#include "transport/device_watcher.h"

class CDialog_ComCirculateSend;
class CDialog_NetCirculateSend;
class CDialog_OtherCommand;
class CPushPinButton;
class Dialog_TestButton;
class QCloseEvent;

namespace platform {
class IpAddressEdit;
class TabControl;
}  // namespace platform

// Control ids of layout 148.
namespace console_ids {
constexpr int kPortList = 1000;
constexpr int kBaudRate = 1001;
constexpr int kMultiple = 1003;
constexpr int kStatusLine = 1004;
constexpr int kLamp = 1005;
constexpr int kHexShow = 1006;
constexpr int kRecvClear = 1007;
constexpr int kPause = 1008;
constexpr int kRecvArea = 1009;
constexpr int kSend = 1010;
constexpr int kInterval = 1011;
constexpr int kSendArea = 1012;
constexpr int kHexSend = 1013;
constexpr int kAutoSend = 1014;
constexpr int kTcpPort = 1015;
constexpr int kPrintTest = 1016;
constexpr int kSendClear = 1018;
constexpr int kParity = 1020;
constexpr int kDataBits = 1021;
constexpr int kStopBits = 1022;
constexpr int kFlowControl = 1023;
constexpr int kSaveRecv = 1026;
constexpr int kSaveFolder = 1027;
constexpr int kModifyFolder = 1028;
constexpr int kBrowseFile = 1030;
constexpr int kSendFilePath = 1031;
constexpr int kSendFile = 1032;
constexpr int kOpenClose = 1035;
constexpr int kRxCount = 1040;
constexpr int kRecount = 1041;
constexpr int kTxCount = 1049;
constexpr int kPushPin = 1059;
constexpr int kMoreHidden = 1066;
constexpr int kTabPanel = 1073;
constexpr int kIpAddress = 1079;
constexpr int kTcpPortLabel = 1094;
constexpr int kHelp = 1095;
constexpr int kChineseMode = 1097;
constexpr int kSendNewLine = 1105;
constexpr int kDtr = 1106;
constexpr int kRts = 1107;
}  // namespace console_ids

class CQuillonDlg : public platform::Dialog {
    Q_OBJECT

public:
    // Builds the window and runs its start-up sequence. The language chooses the layout and
    // every text; it is the interface language unless a caller (a test) names one.
    explicit CQuillonDlg(platform::Language language = platform::InterfaceLanguage(), QWidget* parent = nullptr);
    // The destroy sequence.
    ~CQuillonDlg() override;

    platform::Language WindowLanguage() const { return m_language; }

    // --- operations other parts of the window and the pages call ---
    // Shows the page of the selected tab and hides the others.
    void ShowTabPage();
    // Shows (1) or hides (0) the tab panel; the receive area gives up or takes its width.
    void SetExpanded(int expanded);
    // Rebuilds the port list: serial, parallel, USB entries, then the network entry.
    void RefreshPortList();
    // The port kind from the selected entry of the port list, then the Multiple processing.
    void OnPortSelChange();
    void OnMultipleSelChange();
    void UpdateControlStates();
    void OpenClosePort();
    void ShowModemStatus();
    // The single send entry point. Virtual so a test can watch what the window sends.
    virtual void SendData(std::string data, int asHex, int isFile, int verbatim);
    void LoadSettings();
    void SaveSettings();

    // --- handlers of this window's own buttons ---
    void OnMoreHidden();
    void OnHelp();
    void OnPushPin();

    // --- connection control (connection_control.cpp) ---
    int OpenSerialPort(int portNumber);
    void ReadSerialSettings();
    void ShowSerialSettings();
    void OnSerialParamChange();   // lists 1001, 1020, 1021, 1022
    void OnTcpPortChange();       // list 1015
    void OnDeviceChange(intptr_t event);  // the watcher's device-change notice
    void OnConnectionBroken();    // the network peer closed the connection
    void StartDeviceWatch();      // end of start-up

    // --- send pipeline (send_pipeline.cpp) ---
    void OnSend();                // button 1010, and timer 1
    void OnAutoSend();            // box 1014: the auto-send toggle
    void OnIntervalChange();      // edit 1011
    void OnSendClear();           // button 1018
    void OnHexSend();             // box 1013
    void OnWriteDone(intptr_t bytesWritten);  // the worker's write-completion notice
    void OnStopAutoSend();        // a cycle page asks to stop auto send
    void OnAutoSendTimer();       // timer 1
    void OnFileStatusTimer();     // timer 4
    // The send area's text as a store keeps it: line breaks as CR LF, in the code page.
    std::string SendAreaBytes() const;
    // Shows a store (code-page bytes) in the send area.
    void ShowSendStore(const std::string& store);

    // --- receive view (receive_view.cpp) ---
    // One received byte (only its low 8 bits count). Returns -1 when paused, else 0.
    intptr_t OnByteReceived(intptr_t byte);
    void OnPause();               // button 1008
    void OnRecvClear();           // button 1007
    void OnHexShow();             // box 1006
    void OnRecount();             // button 1041
    // The receive area's widget follows the received bytes within a few milliseconds; this
    // brings it up to date at once.
    void FlushReceiveView();

private:  // receive view (receive_view.cpp)
    class ReceiveArea* m_pRecvArea = nullptr;  // made on first use; a child of the window
    ReceiveArea& RecvArea();
    // Bytes in order, each by the rules of one notification.
    void ReceiveBytes(const uint8_t* bytes, size_t count);
    void KeepReceived(const uint8_t* bytes, size_t count);

public:
    // --- owned objects ---
    transport::CommonUtils m_utils;
    transport::DeviceWatcher m_deviceWatcher;  // device-change notices to this window
    std::vector<std::string> m_arrSerialPorts;
    std::map<uint32_t, std::string> m_mapUsbPaths;  // n of "USB<n>" -> device path
    CDialog_ComCirculateSend* m_pageComCycle = nullptr;  // tab 0
    CDialog_NetCirculateSend* m_pageNetCycle = nullptr;  // tab 1
    Dialog_TestButton* m_pageTest = nullptr;             // tab 2
    CDialog_OtherCommand* m_pageOther = nullptr;         // tab 3

    // --- state members, with their construction values ---
    int m_bTopMost = 0;
    int m_bPaused = 0;
    int m_bSendingFile = 0;
    int m_bAutoSend = 0;
    int m_bCycleTabShown = 1;
    QIcon m_hIconOpen;    // lit lamp, loaded at start-up
    QIcon m_hIconClosed;  // unlit lamp, loaded at start-up
    int m_nBaudRate = 9600;
    char m_cParity = 'N';
    int m_nDataBits = 8;
    int m_nStopBits = 1;
    int m_nFlowControl = 0;
    std::string m_strRecvHex;
    std::string m_strRecvText;  // the bytes as they came, NUL bytes included
    int m_nRxCount = 0;
    std::string m_strSendHex;
    std::string m_strSendText;
    std::string m_strSendData;
    int m_nTxCount = 0;
    QString m_strSaveFolder;
    QString m_strSendFilePath;  // message 179 until a file is chosen
    std::string m_strPortName;
    uint32_t m_nCommEventMask = 0x39;
    QIcon m_hIcon;  // application icon
    int m_nSerialCount = 0;
    int m_nParallelCount = 0;
    int m_nUsbCount = 0;
    float m_fVersion = 5.8f;
    int m_bPortOpen = 0;
    int m_bSerialCycleReady = 0;
    int m_bNetCycleReady = 0;
    int m_bSerialLineSelected = 0;
    int m_nInterval = 1000;
    int m_nNetPort = 9100;
    std::string m_strSerialParams;
    std::string m_strOpenUsbPath;
    int m_bExpanded = 1;
    QRect m_rcTabClient;  // client rectangle of the tab control, pixels
    int m_bHelpShown = 0;
    QString m_strStatus;
    int m_nPortKind = 0;

    // Typed views of controls the window works with directly.
    platform::TabControl* TabPanel() const;
    CPushPinButton* PushPin() const;
    platform::IpAddressEdit* IpAddress() const;
    // The converter of the window's font, as the layout was placed with it.
    const platform::DluConverter& Dlu() const { return *m_dlu; }

    // A string-table text in the window's language.
    QString Text(int id) const;
    // An operator message: owned by the window, OK button, no icon, the application's name
    // as caption; returns when the operator pressed OK.
    void ShowMessage(const QString& text);

    // Timer ids of the window.
    static constexpr int kTimerAutoSend = 1;
    static constexpr int kTimerCaptureStatus = 2;
    static constexpr int kTimerFileStatus = 4;

public slots:
    // Enter: nothing, so the window never closes by it.
    void accept() override;
    // Ends the window only on the closing path; nothing else may close it.
    void reject() override;

protected:
    bool PreTranslateMessage(QObject* target, QEvent* event) override;
    intptr_t OnMessage(unsigned msg, intptr_t wparam, intptr_t lparam) override;
    void OnTimer(int id) override;
    // Received bytes in runs: handled exactly as one notification per byte.
    void HandleByteRun(unsigned msg, const uint8_t* bytes, size_t count, bool signExtend,
                       const platform::KeepGoing& keepGoing) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void OnInitDialog();
    void SetUpTabPanel();
    void ConnectHandlers();
    // The send area's text into the store of the current mode, and into m_strSendData.
    void TakeSendArea();
    // Pinned: the window system keeps the window above all others. Either way the window is
    // shown again where it was.
    void KeepAbove(bool above);
    // The text the receive area shows for the received data in the current display form.
    QString ReceivedDataForView() const;
    void ShowLamp(const QIcon& icon);

    platform::Language m_language;
    std::unique_ptr<platform::DluConverter> m_dlu;
    bool m_bClosing = false;  // the closing sequence is under way: the window may end
};
