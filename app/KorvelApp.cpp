#include "app/KorvelApp.h"

#include "app/KorvelMainFrm.h"
#include "app/SingleInstance.h"
#include "app/StopSignals.h"
#include "ui/WndUserOptHite.h"
#include "app/WndWelcome.h"
#include "diag/CrashHandler.h"
#include "diag/PlainMessageBox.h"
#include "fileio/ProgramFolder.h"
#include "ui/Skin.h"
#include "ui/SkinWebView.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QSessionManager>
#include <QTimer>

#include <memory>

namespace {

constexpr int kShowDelayMs = 20;

}  // namespace

void PrepareGuiEnvironment()
{
    PrepareWebEngine();
}

int RunKorvelApp(QApplication& app)
{
    // The main window hides into the tray; only the quit question ends the program.
    app.setQuitOnLastWindowClosed(false);

    // The platform's plain message box, for the few technical failures.
    SetPlainMessageHandler([](const std::string& text) {
        QApplication::beep();
        QMessageBox::warning(nullptr, "Korvel", QString::fromStdString(text));
    });

    // The skin.
    if (!SetUiSkinFile(QString::fromStdString(ProgramFile("Skins/Korvel/the.ui")))) {
        ShowPlainMessage(kSkinMissingMessage);
        return 1;
    }

    // One instance only.
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

    InstallCrashHandler();

    // Where the framework keeps its own settings. (The compositor's layer lock needs no setting up.) The
    // application name stays the executable's: the single-instance lock recorded it.
    QCoreApplication::setOrganizationName("Local AppWizard-Generated Applications");

    // The loading window, on this thread: it is painted between the building steps below.
    QPointer<CWndWelcome> welcome = new CWndWelcome;
    if (welcome->Create())
        welcome->ShowLoading();

    // A stop signal or the end of the session ends the program as a confirmed quit does: capture
    // stopped, the virtual camera released, the settings saved.
    std::unique_ptr<CKorvelMainFrm> mainFrame;
    const auto quit = [&mainFrame] {
        if (mainFrame && mainFrame->IsCreated())
            mainFrame->Quit();
    };
    CStopSignals stopSignals(quit);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, [&quit](QSessionManager&) { quit(); });

    // The main window.
    mainFrame = std::make_unique<CKorvelMainFrm>();
    if (!mainFrame->Create()) {
        delete welcome;
        ReleaseUiSkin();
        return 1;
    }

    // Close the loading window; show the main window a moment later.
    PostWindowMessage(welcome, WM_CLOSE_LOADING);
    QTimer::singleShot(kShowDelayMs, mainFrame.get(), [&mainFrame] { mainFrame->show(); });

    // A stop that came while the window was being built ends the program before it starts running.
    const int code = stopSignals.Received() ? 0 : app.exec();
    mainFrame.reset();
    delete welcome;
    ReleaseUiSkin();
    return code;
}
