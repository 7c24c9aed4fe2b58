#include "app/quillon_app.h"

#include <QEventLoop>

#include "console/quillon_dlg.h"
#include "platform/qt/interface_thread_qt.h"
#include "resources/pictures.h"

CQuillonApp::CQuillonApp(int& argc, char** argv) : m_app(std::make_unique<QApplication>(argc, argv))
{
    // Message boxes carry the program's name as their caption.
    QApplication::setApplicationName(QStringLiteral("corvane"));
    QApplication::setDesktopFileName(QStringLiteral("corvane"));
    QApplication::setWindowIcon(resources::LoadIcon(resources::kIconApplication));
}

CQuillonApp::~CQuillonApp() = default;

bool CQuillonApp::InitInstance()
{
    // Qt registers its controls itself. No application key is set: the program keeps its
    // settings in its own file and nowhere else.
    platform::InstallQtInterfaceThread();
    RunConsole(platform::InterfaceLanguage());
    return false;
}

void CQuillonApp::RunConsole(platform::Language language)
{
    // The console runs in a loop of its own rather than QDialog::exec(): the push-pin takes
    // the window down and up again to change its keep-above state, which must not end it.
    // Only the window's own closing path finishes it.
    CQuillonDlg console(language);
    QEventLoop loop;
    QObject::connect(&console, &QDialog::finished, &loop, &QEventLoop::quit);
    console.show();
    loop.exec();
}
