#include "app/WndWelcome.h"

#include "ui/SkinResources.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTimerEvent>

int LoadingTextIndex = 0;

namespace {
enum { IDC_LOADING_TEXT = 1116, kTextTimerMs = 600 };
}

QString LoadingText(int index)
{
    static const char* const texts[] = {"正在加载", "正在加载。", "正在加载。。", "正在加载。。。"};
    return QString::fromUtf8(texts[((index % 4) + 4) % 4]);
}

void KeepLoadingWindowPainted()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

CWndWelcome::CWndWelcome() : CUIWnd(IDR_WELCOME)
{
    // A tool window has no taskbar button.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

bool CWndWelcome::OnCreate()
{
    ShowText();
    textTimer_.start(kTextTimerMs, this);
    return true;
}

void CWndWelcome::ShowLoading()
{
    CentreWindow();
    show();
    raise();
    KeepLoadingWindowPainted();
}

void CWndWelcome::ShowText()
{
    if (auto* label = Control<QLabel>(IDC_LOADING_TEXT))
        label->setText(LoadingText(LoadingTextIndex));
}

void CWndWelcome::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != textTimer_.timerId()) {
        CUIWnd::timerEvent(event);
        return;
    }
    LoadingTextIndex = (LoadingTextIndex + 1) % 4;
    ShowText();
}

bool CWndWelcome::OnMessage(CWindowMessage& message)
{
    if (message.Message() != WM_CLOSE_LOADING)
        return false;
    textTimer_.stop();
    close();
    deleteLater();
    return true;
}
