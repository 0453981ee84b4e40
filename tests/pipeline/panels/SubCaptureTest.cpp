// The screen-capture panel on a real X server: its states and buttons, the two selectors, the frame
// window, picking and following another program's window, recording a region, and a desktop without
// X; with and without a window manager.
#include "pipeline/panels/CapHiteWnd.h"
#include "pipeline/panels/StaticEx.h"
#include "pipeline/panels/WndRgn.h"
#include "pipeline/panels/WndSubCapture.h"

#include "pipeline/CaptureScr.h"
#include "settings/Settings.h"
#include "ui/ModalDriver.h"
#include "ui/ShellFixture.h"
#include "ui/SkinResources.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>

#include <atomic>

#include <X11/Xlib.h>  // last: its macros clash with Qt's headers

extern bool XvfbRunning;

// Where the rectangles of failed checks are told.
static std::ostream& operator<<(std::ostream& out, const CaptureRect& r)
{
    return out << r.left << "," << r.top << "," << r.right << "," << r.bottom;
}

namespace {

enum {
    IDC_MODE_FIXED = 1088,
    IDC_MODE_WINDOW = 1089,
    IDC_MODE_FREE = 1090,
    IDC_SHOW_FRAME = 1091,
    IDC_FOLLOW_POINTER = 1092,
    IDC_START = 1093,
    IDC_RECORD = 1094,
    IDC_PAUSE = 1095,
    IDC_STOP = 1096,
    IDC_FIXED_SIZE = 1099,
    IDC_BOX_OK = 1143,
    IDC_BOX_TEXT = 1144,
    IDC_NAME_EDIT = 1189,
    IDC_NAME_OK = 1190,
    IDC_REPORT_DONE = 1194,
    IDC_REPORT = 1196,
};

// Which of start, record, pause and stop can be pressed.
struct Buttons {
    bool start, record, pause, stop;
    bool operator==(const Buttons&) const = default;
};
constexpr Buttons kIdle{true, true, false, false};
constexpr Buttons kRunning{false, false, true, true};
constexpr Buttons kCapturePaused{true, false, false, false};
constexpr Buttons kRecordingPaused{false, true, false, false};

std::ostream& operator<<(std::ostream& out, const Buttons& b)
{
    return out << b.start << b.record << b.pause << b.stop;
}

// Another program's windows, on a connection of their own.
class OtherProgram {
public:
    OtherProgram() : display_(XOpenDisplay(nullptr)) {}
    ~OtherProgram()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    Window Open(int x, int y, int w, int h)
    {
        const Window window = XCreateSimpleWindow(display_, DefaultRootWindow(display_), x, y, unsigned(w),
                                                  unsigned(h), 0, 0, 0x3070C0);
        XStoreName(display_, window, "other program");
        XMapWindow(display_, window);
        XSync(display_, False);
        return window;
    }
    void Move(Window window, int x, int y)
    {
        XMoveWindow(display_, window, x, y);
        XSync(display_, False);
    }
    void Close(Window window)
    {
        XDestroyWindow(display_, window);
        XSync(display_, False);
    }
    void PointerTo(int x, int y)
    {
        XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, x, y);
        XSync(display_, False);
    }
    // The window's place on the screen, wherever a window manager put it.
    CaptureRect Rect(Window window)
    {
        XWindowAttributes a;
        XGetWindowAttributes(display_, window, &a);
        Window child;
        int x = 0, y = 0;
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
        return {x, y, x + a.width, y + a.height};
    }

private:
    Display* display_;
};

class CapturePanel : public ShellTest {
protected:
    void SetUp() override
    {
        if (!XvfbRunning)
            GTEST_SKIP() << "Xvfb is not installed";
        ShellTest::SetUp();
        Settings.SavePath.RecordPath = home_.File("Record");
        QDir().mkpath(QString::fromStdString(Settings.SavePath.RecordPath));
        sink_ = std::make_unique<CCaptureScr>();
        CaptureSink = sink_.get();
        sink_->SetSourceKind(SOURCE_SCREEN);
        sink_->SetFrameTap([this](const uint8_t*, size_t) { ++frames_; });
        OpenPanel();
    }
    void TearDown() override
    {
        if (!XvfbRunning)
            return;
        ClosePanel();
        CaptureSink = nullptr;
        sink_.reset();
        ShellTest::TearDown();
    }
    void OpenPanel()
    {
        // The panel sits in a window that stands in for the main window.
        main_ = std::make_unique<QWidget>();
        main_->setWindowTitle("Korvel");
        panel_ = new CWndSubCapture(main_.get());
        ASSERT_TRUE(panel_->Create());
        main_->setGeometry(900, 300, panel_->width(), panel_->height());
        main_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main_.get()));
    }
    void ClosePanel()
    {
        if (!panel_)
            return;
        panel_->DestroyWindow();
        main_.reset();
        panel_ = nullptr;
    }

    Buttons Now() const
    {
        const auto on = [this](int id) { return panel_->GetControl(id)->isEnabled(); };
        return {on(IDC_START), on(IDC_RECORD), on(IDC_PAUSE), on(IDC_STOP)};
    }
    void Click(int id) { panel_->Control<QAbstractButton>(id)->click(); }
    void ChooseSize(int index) { panel_->Control<QComboBox>(IDC_FIXED_SIZE)->setCurrentIndex(index); }

    CWndRgn* WaitForSelector()
    {
        if (!QTest::qWaitFor([this] { return panel_->OpenSelector() != nullptr; }, 3000))
            return nullptr;
        CWndRgn* selector = panel_->OpenSelector();
        return QTest::qWaitForWindowExposed(selector) ? selector : nullptr;
    }
    // Drags a box on the free selector from `from` to `to` (screen positions).
    void Drag(CWndRgn* selector, QPoint from, QPoint to)
    {
        QTest::mouseMove(selector, from);
        QTest::mousePress(selector, Qt::LeftButton, {}, from);
        QTest::mouseMove(selector, (from + to) / 2);
        QTest::mouseMove(selector, to);
        QTest::mouseRelease(selector, Qt::LeftButton, {}, to);
    }
    bool FramesFlow(int more = 3)
    {
        const int start = frames_;
        return QTest::qWaitFor([&] { return frames_ >= start + more; }, 5000);
    }
    // Starts a capture of a freely dragged box.
    void CaptureFreeBox(QPoint from, QPoint to)
    {
        Click(IDC_MODE_FREE);
        Click(IDC_START);
        CWndRgn* selector = WaitForSelector();
        ASSERT_NE(selector, nullptr);
        Drag(selector, from, to);
        ASSERT_TRUE(QTest::qWaitFor([this] { return panel_->State() == CWndSubCapture::STATE_CAPTURING; }, 3000));
    }

    std::unique_ptr<CCaptureScr> sink_;
    std::unique_ptr<QWidget> main_;
    CWndSubCapture* panel_ = nullptr;
    std::atomic<int> frames_{0};
};

}  // namespace

TEST_F(CapturePanel, ModesEnableTheirControls)
{
    EXPECT_EQ(panel_->Mode(), CWndSubCapture::MODE_WINDOW);  // the initial mode
    EXPECT_EQ(Now(), kIdle);
    const struct {
        int radio, mode;
        bool followPointer, sizes;
    } cases[] = {
        {IDC_MODE_FIXED, CWndSubCapture::MODE_FIXED, true, true},
        {IDC_MODE_WINDOW, CWndSubCapture::MODE_WINDOW, false, false},
        {IDC_MODE_FREE, CWndSubCapture::MODE_FREE, true, false},
    };
    for (const auto& c : cases) {
        Click(c.radio);
        EXPECT_EQ(panel_->Mode(), c.mode);
        EXPECT_EQ(panel_->GetControl(IDC_FOLLOW_POINTER)->isEnabled(), c.followPointer) << c.mode;
        EXPECT_EQ(panel_->GetControl(IDC_FIXED_SIZE)->isEnabled(), c.sizes) << c.mode;
    }
    auto* sizes = panel_->Control<QComboBox>(IDC_FIXED_SIZE);
    ASSERT_EQ(sizes->count(), 3);
    EXPECT_EQ(sizes->currentText(), "176*144");
    EXPECT_EQ(sizes->itemText(2), "640*480");
    EXPECT_TRUE(panel_->IsControlChecked(IDC_SHOW_FRAME));
    EXPECT_FALSE(panel_->IsControlChecked(IDC_FOLLOW_POINTER));
}

TEST_F(CapturePanel, FixedBoxCapturesPausesResumesAndStops)
{
    Click(IDC_MODE_FIXED);
    ChooseSize(1);  // 320*240
    Click(IDC_START);
    EXPECT_TRUE(main_->isMinimized() || !main_->isActiveWindow());  // out of the way, where it can be
    CWndRgn* selector = WaitForSelector();
    ASSERT_NE(selector, nullptr);
    EXPECT_EQ(selector->SelectorKind(), CWndRgn::KIND_FIXED);
    EXPECT_EQ(selector->geometry(), QGuiApplication::primaryScreen()->geometry());  // the whole screen
    // The box follows the pointer, centred on it and kept on the screen.
    QTest::mouseMove(selector, QPoint(400, 300));
    EXPECT_EQ(selector->Box(), (CaptureRect{240, 180, 560, 420}));
    QTest::mouseMove(selector, QPoint(1270, 10));
    EXPECT_EQ(selector->Box(), (CaptureRect{960, 0, 1280, 240}));
    QTest::mouseMove(selector, QPoint(500, 400));
    QTest::mouseRelease(selector, Qt::LeftButton, {}, QPoint(500, 400));

    ASSERT_TRUE(QTest::qWaitFor([this] { return panel_->State() == CWndSubCapture::STATE_CAPTURING; }, 3000));
    EXPECT_FALSE(selector->isVisible());
    EXPECT_EQ(panel_->Region(), (CaptureRect{340, 280, 660, 520}));
    EXPECT_EQ(Now(), kRunning);
    CCapHiteWnd* frame = panel_->FrameWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->isVisible(); }, 2000));
    EXPECT_EQ(frame->ClientRect(), panel_->Region());  // the frame surrounds the region exactly
    EXPECT_TRUE(sink_->IsScreenCapturing());
    EXPECT_TRUE(FramesFlow());

    // Paused: no new frames, only start (to resume) can be pressed.
    Click(IDC_PAUSE);
    EXPECT_EQ(panel_->State(), CWndSubCapture::STATE_PAUSED);
    EXPECT_EQ(Now(), kCapturePaused);
    QTest::qWait(300);
    const int frozen = frames_;
    QTest::qWait(600);
    EXPECT_EQ(frames_, frozen);
    Click(IDC_START);
    EXPECT_EQ(panel_->State(), CWndSubCapture::STATE_CAPTURING);
    EXPECT_EQ(Now(), kRunning);
    EXPECT_TRUE(FramesFlow());

    // Stop: idle again, no frame window, no report for a capture that recorded nothing; twice is once.
    ModalDriver noReport;
    noReport.Click(IDR_RECORD_FINISH, IDC_REPORT_DONE);
    Click(IDC_STOP);
    EXPECT_EQ(panel_->State(), CWndSubCapture::STATE_IDLE);
    EXPECT_EQ(Now(), kIdle);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(sink_->IsScreenCapturing());
    EXPECT_TRUE(panel_->Region().IsEmpty());
    panel_->SendCommand(IDC_STOP);
    EXPECT_EQ(panel_->State(), CWndSubCapture::STATE_IDLE);
    QTest::qWait(100);
    EXPECT_TRUE(noReport.seen.empty());
}

TEST_F(CapturePanel, FreeBoxCancelledByEscapeOrRightButtonThenChosen)
{
    Click(IDC_MODE_FREE);
    for (bool escape : {true, false}) {
        Click(IDC_START);
        CWndRgn* selector = WaitForSelector();
        ASSERT_NE(selector, nullptr);
        EXPECT_EQ(selector->SelectorKind(), CWndRgn::KIND_FREE);
        QTest::mousePress(selector, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(selector, QPoint(300, 250));
        EXPECT_EQ(selector->Box(), (CaptureRect{100, 100, 300, 250}));
        if (escape)
            QTest::keyClick(selector, Qt::Key_Escape);  // in the middle of the drag
        else
            QTest::mousePress(selector, Qt::RightButton, {}, QPoint(300, 250));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !selector->isVisible(); }, 2000));
        QTest::qWait(50);
        EXPECT_EQ(panel_->State(), CWndSubCapture::STATE_IDLE) << escape;
        EXPECT_EQ(Now(), kIdle);
        EXPECT_FALSE(sink_->IsScreenCapturing());
        EXPECT_FALSE(main_->isMinimized());  // back after the cancel
    }
    // A click without a drag chooses nothing; a drag up and to the left keeps its corners in order.
    Click(IDC_START);
    CWndRgn* selector = WaitForSelector();
    ASSERT_NE(selector, nullptr);
    QTest::mouseClick(selector, Qt::LeftButton, {}, QPoint(500, 500));
    QTest::qWait(50);
    EXPECT_TRUE(selector->isVisible());
    Drag(selector, QPoint(700, 500), QPoint(450, 300));
    ASSERT_TRUE(QTest::qWaitFor([this] { return panel_->State() == CWndSubCapture::STATE_CAPTURING; }, 3000));
    EXPECT_EQ(panel_->Region(), (CaptureRect{450, 300, 700, 500}));
}

TEST_F(CapturePanel, CaptureFollowsTheFrameWindowAndThePointer)
{
    CaptureFreeBox(QPoint(200, 200), QPoint(400, 350));
    CCapHiteWnd* frame = panel_->FrameWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->isVisible(); }, 2000));
    const CaptureRect first = panel_->Region();

    // Dragged by its caption, the frame moves the capture by as much.
    const QPoint caption(20, CCapHiteWnd::kMetrics.border + CCapHiteWnd::kMetrics.caption / 2);
    QTest::mousePress(frame, Qt::LeftButton, {}, caption);
    QTest::mouseMove(frame, caption + QPoint(60, 40));
    QTest::mouseRelease(frame, Qt::LeftButton, {}, caption + QPoint(60, 40));
    const CaptureRect moved{first.left + 60, first.top + 40, first.right + 60, first.bottom + 40};
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel_->Region() == moved; }, 2000)) << panel_->Region();

    // Its bottom-right corner resizes it, and the capture with it.
    const QPoint corner(frame->width() - 2, frame->height() - 2);
    QTest::mousePress(frame, Qt::LeftButton, {}, corner);
    QTest::mouseMove(frame, corner + QPoint(100, 50));
    QTest::mouseRelease(frame, Qt::LeftButton, {}, corner + QPoint(100, 50));
    const CaptureRect resized{moved.left, moved.top, moved.right + 100, moved.bottom + 50};
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel_->Region() == resized; }, 2000)) << panel_->Region();
    EXPECT_EQ(frame->ClientRect(), resized);

    // Following the pointer: the box keeps its size and is centred on the pointer.
    Click(IDC_FOLLOW_POINTER);
    OtherProgram desktop;
    desktop.PointerTo(640, 400);
    const CaptureRect centred{640 - 150, 400 - 100, 640 + 150, 400 + 100};
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel_->Region() == centred; }, 2000)) << panel_->Region();
    Click(IDC_FOLLOW_POINTER);

    // Hiding the frame leaves the capture running; closing it with its close box stops the capture.
    Click(IDC_SHOW_FRAME);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(panel_->State(), CWndSubCapture::STATE_CAPTURING);
    Click(IDC_SHOW_FRAME);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->isVisible(); }, 2000));
    QTest::mouseClick(frame, Qt::LeftButton, {}, frame->CloseBox().center());
    EXPECT_TRUE(QTest::qWaitFor([this] { return panel_->State() == CWndSubCapture::STATE_IDLE; }, 2000));
    EXPECT_FALSE(sink_->IsScreenCapturing());
    EXPECT_EQ(Now(), kIdle);
}

TEST_F(CapturePanel, PickedWindowIsFollowedUntilItCloses)
{
    OtherProgram other;
    const Window window = other.Open(120, 140, 300, 200);
    QTest::qWait(200);
    const CaptureRect where = other.Rect(window);

    // Window mode without a picked window: the hint, and nothing starts.
    QString hint;
    {
        ModalDriver driver;
        driver.Then(IDR_USER_OPT_HITE, [&](CUIWnd* box) {
            hint = box->Control<QLabel>(IDC_BOX_TEXT)->text();
            box->Control<QAbstractButton>(IDC_BOX_OK)->click();
        });
        Click(IDC_START);
        EXPECT_TRUE(QTest::qWaitFor([&] { return driver.Done(); }, 3000));
    }
    EXPECT_EQ(hint, QString::fromUtf8("请选择要捕获的窗口"));
    EXPECT_EQ(panel_->State(), CWndSubCapture::STATE_IDLE);
    EXPECT_FALSE(main_->isMinimized());

    // Press the finder, drag it over Korvel's own window (never picked) and then the other one.
    auto* finder = panel_->findChild<CStaticEx*>();
    ASSERT_NE(finder, nullptr);
    QTest::mousePress(finder, Qt::LeftButton, {}, finder->rect().center());
    EXPECT_TRUE(finder->IsHeld());
    other.PointerTo(main_->geometry().center().x(), main_->geometry().center().y());
    QTest::qWait(800);
    EXPECT_EQ(panel_->PickedWindow(), 0u);
    other.PointerTo(200, 200);
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel_->PickedWindow() == window; }, 2000));
    QTest::mouseRelease(finder, Qt::LeftButton, {}, finder->rect().center());
    EXPECT_FALSE(finder->IsHeld());
    CCapHiteWnd* frame = panel_->FrameWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->isVisible(); }, 2000));
    EXPECT_EQ(frame->FrameStyle(), CCapHiteWnd::STYLE_FOLLOW);
    EXPECT_EQ(frame->ClientRect(), where);

    Click(IDC_START);
    ASSERT_TRUE(QTest::qWaitFor([this] { return panel_->State() == CWndSubCapture::STATE_CAPTURING; }, 3000));
    EXPECT_EQ(panel_->Region(), where);
    EXPECT_TRUE(FramesFlow());

    // It moves, partly off the screen: the capture follows, cut to the screen; the frame follows whole.
    other.Move(window, 1100, 500);
    const CaptureRect moved = other.Rect(window);
    const CaptureRect cut{moved.left, moved.top, 1280, moved.bottom};
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel_->Region() == cut; }, 2000)) << panel_->Region();
    EXPECT_EQ(frame->ClientRect(), moved);

    // Closed: the capture stops by itself.
    other.Close(window);
    EXPECT_TRUE(QTest::qWaitFor([this] { return panel_->State() == CWndSubCapture::STATE_IDLE; }, 2000));
    EXPECT_FALSE(sink_->IsScreenCapturing());
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(panel_->PickedWindow(), 0u);
    EXPECT_EQ(Now(), kIdle);
}

TEST_F(CapturePanel, RecordsARegionIntoAWmvFileAndReportsIt)
{
    Click(IDC_MODE_FREE);
    // Leaving the name dialog records nothing.
    {
        ModalDriver driver;
        driver.Click(IDR_NAME, 1002);
        Click(IDC_RECORD);
        EXPECT_TRUE(driver.Done());
    }
    QTest::qWait(300);
    EXPECT_EQ(panel_->OpenSelector(), nullptr);
    EXPECT_EQ(panel_->State(), CWndSubCapture::STATE_IDLE);

    ModalDriver name;
    name.Then(IDR_NAME, [](CUIWnd* dialog) {
        dialog->Control<QLineEdit>(IDC_NAME_EDIT)->setText("region");
        dialog->Control<QAbstractButton>(IDC_NAME_OK)->click();
    });
    Click(IDC_RECORD);
    ASSERT_TRUE(name.Done());
    CWndRgn* selector = WaitForSelector();
    ASSERT_NE(selector, nullptr);
    Drag(selector, QPoint(100, 100), QPoint(740, 580));
    ASSERT_TRUE(QTest::qWaitFor([this] { return panel_->State() == CWndSubCapture::STATE_RECORDING; }, 3000));
    const std::string path = Settings.SavePath.RecordPath + "/region.wmv";
    EXPECT_EQ(panel_->RecordingPath(), path);
    EXPECT_TRUE(sink_->IsScreenRecording());
    EXPECT_EQ(Now(), kRunning);
    QTest::qWait(1500);

    // Paused, only record resumes it.
    Click(IDC_PAUSE);
    EXPECT_EQ(Now(), kRecordingPaused);
    QTest::qWait(400);
    Click(IDC_RECORD);
    EXPECT_EQ(panel_->State(), CWndSubCapture::STATE_RECORDING);
    EXPECT_EQ(Now(), kRunning);
    QTest::qWait(1500);

    QString report;
    ModalDriver finish;
    finish.Then(IDR_RECORD_FINISH, [&](CUIWnd* window) {
        report = window->Control<QLabel>(IDC_REPORT)->text();
        window->Control<QAbstractButton>(IDC_REPORT_DONE)->click();
    });
    Click(IDC_STOP);
    EXPECT_TRUE(finish.Done());
    EXPECT_FALSE(sink_->IsScreenRecording());
    EXPECT_TRUE(report.startsWith(QString::fromUtf8("文件大小为："))) << report.toStdString();
    EXPECT_TRUE(report.endsWith(QString::fromStdString("M， 文件名为：" + path))) << report.toStdString();

    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-select_streams", "v", "-show_entries", "stream=codec_name,width,height",
                            "-of", "csv=p=0", QString::fromStdString(path)});
    ASSERT_TRUE(probe.waitForFinished(30000));
    EXPECT_EQ(probe.readAllStandardOutput().trimmed(), "wmv2,320,240");
}

TEST_F(CapturePanel, FullStopFromTheSourceSwitchEndsARecording)
{
    ModalDriver name;
    name.Then(IDR_NAME, [](CUIWnd* dialog) {
        dialog->Control<QLineEdit>(IDC_NAME_EDIT)->setText("switched");
        dialog->Control<QAbstractButton>(IDC_NAME_OK)->click();
    });
    Click(IDC_MODE_FIXED);
    Click(IDC_RECORD);
    CWndRgn* selector = WaitForSelector();
    ASSERT_NE(selector, nullptr);
    QTest::mouseMove(selector, QPoint(640, 400));
    QTest::mouseRelease(selector, Qt::LeftButton, {}, QPoint(640, 400));
    ASSERT_TRUE(QTest::qWaitFor([this] { return panel_->State() == CWndSubCapture::STATE_RECORDING; }, 3000));
    EXPECT_EQ(panel_->Region(), (CaptureRect{552, 328, 728, 472}));  // 176*144, the first size
    ModalDriver finish;
    finish.Click(IDR_RECORD_FINISH, IDC_REPORT_DONE);
    panel_->StopCaptureFully();
    EXPECT_TRUE(finish.Done());
    EXPECT_EQ(panel_->State(), CWndSubCapture::STATE_IDLE);
    EXPECT_FALSE(sink_->IsScreenRecording());
    EXPECT_FALSE(sink_->IsScreenCapturing());
}

TEST_F(CapturePanel, WithoutAnXServerTheScreenSourceSaysSo)
{
    ClosePanel();
    const QByteArray display = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":9999");  // Qt keeps its connection; the capture finds no server
    std::vector<QString> told;
    ModalDriver driver;
    const auto note = [&](CUIWnd* box) {
        told.push_back(box->Control<QLabel>(IDC_BOX_TEXT)->text());
        box->Control<QAbstractButton>(IDC_BOX_OK)->click();
    };
    driver.Then(IDR_USER_OPT_HITE, note).Then(IDR_USER_OPT_HITE, note);
    OpenPanel();  // shown: the first notice
    EXPECT_TRUE(QTest::qWaitFor([&] { return told.size() == 1; }, 3000));
    Click(IDC_MODE_FREE);
    Click(IDC_START);  // the second
    EXPECT_TRUE(QTest::qWaitFor([&] { return driver.Done(); }, 3000));
    qputenv("DISPLAY", display);
    ASSERT_EQ(told.size(), 2u);
    EXPECT_TRUE(told[0].contains(QString::fromUtf8("X 服务器")));
    EXPECT_EQ(told[1], told[0]);
    QTest::qWait(300);
    EXPECT_EQ(panel_->OpenSelector(), nullptr);
    EXPECT_EQ(panel_->State(), CWndSubCapture::STATE_IDLE);
}

// The same journeys under a window manager, which reparents windows and really minimises.
class CapturePanelWithWindowManager : public CapturePanel {
protected:
    void SetUp() override
    {
        if (!XvfbRunning || QStandardPaths::findExecutable("openbox").isEmpty())
            GTEST_SKIP() << "needs Xvfb and openbox";
        wm_.start("openbox", {"--sm-disable"});
        ASSERT_TRUE(wm_.waitForStarted(5000));
        QTest::qWait(1000);
        CapturePanel::SetUp();
    }
    void TearDown() override
    {
        CapturePanel::TearDown();
        if (wm_.state() != QProcess::NotRunning) {
            wm_.terminate();
            wm_.waitForFinished(5000);
        }
    }
    QProcess wm_;
};

TEST_F(CapturePanelWithWindowManager, MainWindowMinimisesAndTheFrameFollowsAManagedWindow)
{
    OtherProgram other;
    const Window window = other.Open(100, 120, 320, 240);
    QTest::qWait(500);
    const CaptureRect where = other.Rect(window);  // inside the manager's decoration

    auto* finder = panel_->findChild<CStaticEx*>();
    ASSERT_NE(finder, nullptr);
    QTest::mousePress(finder, Qt::LeftButton, {}, finder->rect().center());
    other.PointerTo(where.left + 50, where.top + 50);
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel_->PickedWindow() == window; }, 2000));
    QTest::mouseRelease(finder, Qt::LeftButton, {}, finder->rect().center());

    Click(IDC_START);
    EXPECT_TRUE(QTest::qWaitFor([this] { return main_->isMinimized(); }, 2000));
    ASSERT_TRUE(QTest::qWaitFor([this] { return panel_->State() == CWndSubCapture::STATE_CAPTURING; }, 3000));
    EXPECT_EQ(panel_->Region(), where);
    CCapHiteWnd* frame = panel_->FrameWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame->isVisible() && frame->ClientRect() == where; }, 2000))
        << frame->ClientRect();
    EXPECT_TRUE(FramesFlow());
    other.Close(window);
    EXPECT_TRUE(QTest::qWaitFor([this] { return panel_->State() == CWndSubCapture::STATE_IDLE; }, 2000));

    // A free box: cancelled, the main window comes back.
    main_->showNormal();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !main_->isMinimized(); }, 2000));
    Click(IDC_MODE_FREE);
    Click(IDC_START);
    EXPECT_TRUE(QTest::qWaitFor([this] { return main_->isMinimized(); }, 2000));
    CWndRgn* selector = WaitForSelector();
    ASSERT_NE(selector, nullptr);
    QTest::keyClick(selector, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !main_->isMinimized(); }, 2000));

    // A free box captured: the frame window's client area is the box, and it moves with the frame.
    Click(IDC_START);
    selector = WaitForSelector();
    ASSERT_NE(selector, nullptr);
    Drag(selector, QPoint(300, 300), QPoint(620, 540));
    ASSERT_TRUE(QTest::qWaitFor([this] { return panel_->State() == CWndSubCapture::STATE_CAPTURING; }, 3000));
    const CaptureRect box{300, 300, 620, 540};
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame->isVisible() && frame->ClientRect() == box; }, 2000))
        << frame->ClientRect();
    frame->move(frame->pos() + QPoint(-100, 20));
    const CaptureRect moved{200, 320, 520, 560};
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel_->Region() == moved; }, 2000)) << panel_->Region();
}
