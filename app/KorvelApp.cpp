#include "app/KorvelApp.h"

#include "app/KorvelMainFrm.h"
#include "app/SingleInstance.h"
#include "app/WndUserOptHite.h"
#include "app/WndWelcome.h"
#include "fileio/ProgramFolder.h"
#include "ui/Skin.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <unistd.h>

#include <memory>

namespace {

constexpr int kShowDelayMs = 20;

}  // namespace

void PrepareGuiEnvironment()
{
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

int RunKorvelApp(QApplication& app)
{
    // The main window hides into the tray; only the quit question ends the program.
    app.setQuitOnLastWindowClosed(false);

    // 1. The skin.
    if (!SetUiSkinFile(QString::fromStdString(ProgramFile("Skins/Korvel/the.ui")))) {
        QMessageBox::critical(nullptr, "Korvel", kSkinMissingMessage);
        return 1;
    }

    // 2. One instance only.
    CSingleInstance instance;
    switch (instance.ClaimInstance()) {
    case CSingleInstance::CLAIM_FIRST:
        break;
    case CSingleInstance::CLAIM_ACTIVATED:
        ReleaseUiSkin();
        return 0;
    case CSingleInstance::CLAIM_UNREACHABLE:
    case CSingleInstance::CLAIM_FAILED:
        ShowUserOptHite(nullptr, QString::fromUtf8("您已运行了本程序！"), CWndUserOptHite::MODE_NOTICE);
        ReleaseUiSkin();
        return 0;
    }

    // 4. Where the framework keeps its own settings.
    QCoreApplication::setOrganizationName("Local AppWizard-Generated Applications");
    QCoreApplication::setApplicationName("Korvel");

    // 6. The loading window, on this thread: it is painted between the building steps below.
    QPointer<CWndWelcome> welcome = new CWndWelcome;
    if (welcome->Create())
        welcome->ShowLoading();

    // 7. The main window.
    auto mainFrame = std::make_unique<CKorvelMainFrm>();
    if (!mainFrame->Create()) {
        delete welcome;
        ReleaseUiSkin();
        return 1;
    }

    // 8. Close the loading window; 9. show the main window a moment later.
    PostWindowMessage(welcome, WM_CLOSE_LOADING);
    QTimer::singleShot(kShowDelayMs, mainFrame.get(), [&mainFrame] { mainFrame->show(); });

    const int code = app.exec();
    mainFrame.reset();
    delete welcome;
    ReleaseUiSkin();
    return code;
}
