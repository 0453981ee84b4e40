#include "net/DownFileByHttpInterface.h"
#include "net/DownFileClient.h"

#include "FixtureServer.h"
#include "settings/WindowMessages.h"
#include "support/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

using namespace std::chrono_literals;

std::string Body(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char(i % 256);
    return s;
}

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Records every report of every download.
class Recorder : public CDownFileByHttpInterface {
public:
    struct Report {
        std::vector<std::string> steps;  // "modified", "start", "progress", "complete", "failed"
        std::vector<std::pair<int, int>> progress;
        std::string lastModified;
        std::string body;
    };

    ~Recorder() override { StopAllDownloads(); }

    bool OnLastModified(const std::string& url, const std::string& value) override
    {
        Add(url, "modified").lastModified = value;
        return true;
    }
    void OnDownloadStart(const std::string& url) override { Add(url, "start"); }
    void OnDownloadProgress(const std::string& url, int done, int total) override
    {
        Add(url, "progress").progress.emplace_back(done, total);
    }
    void OnDownloadComplete(const std::string& url, std::unique_ptr<char[]> data, size_t size) override
    {
        Report& r = Add(url, "complete");
        r.body.assign(data.get(), size);
        EXPECT_EQ(std::string(data.get() + size, 8), std::string(8, '\0'));  // zeroed tail
        Finished();
    }
    void OnDownloadFailed(const std::string& url) override
    {
        Add(url, "failed");
        ForgetDownload(url);
        Finished();
    }

    // Waits until `count` downloads have ended.
    bool WaitEnded(int count, std::chrono::seconds deadline = 40s)
    {
        std::unique_lock lock(mutex_);
        return ended_.wait_for(lock, deadline, [&] { return endedCount_ >= count; });
    }
    Report Get(const std::string& url)
    {
        std::lock_guard lock(mutex_);
        return reports_[url];
    }
    int EndedCount()
    {
        std::lock_guard lock(mutex_);
        return endedCount_;
    }

private:
    Report& Add(const std::string& url, const char* step)
    {
        std::lock_guard lock(mutex_);
        Report& r = reports_[url];
        r.steps.push_back(step);
        return r;
    }
    void Finished()
    {
        std::lock_guard lock(mutex_);
        ++endedCount_;
        ended_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable ended_;
    std::map<std::string, Report> reports_;
    int endedCount_ = 0;
};

// Progress reports of a download with a length: steps of at most 8192 up to the total.
void ExpectLengthProgress(const Recorder::Report& r, int total)
{
    ASSERT_FALSE(r.progress.empty());
    int previous = 0;
    for (const auto& [done, reported] : r.progress) {
        EXPECT_EQ(reported, total);
        EXPECT_GT(done, previous);
        EXPECT_LE(done - previous, 8192);
        previous = done;
    }
    EXPECT_EQ(previous, total);
}

// A loopback port that was free a moment ago and has nobody listening.
int ClosedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        ASSERT_GT(server_.Port(), 0);
        // Bodies without a length go through temporary files; keep them where the test can see them.
        tempBefore_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", tmp_.path().toUtf8());
    }
    void TearDown() override
    {
        EXPECT_TRUE(QDir(tmp_.path()).isEmpty()) << "temporary files left behind";
        if (tempBefore_.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", tempBefore_);
    }

    static FixtureServer server_;
    QTemporaryDir tmp_;
    QByteArray tempBefore_;
};

FixtureServer DownloadTest::server_;

TEST_F(DownloadTest, WithLengthReadsInBlocksIntoOneBuffer)
{
    Recorder recorder;
    const std::string url = server_.Url("/file/100000");
    recorder.StartDownload(url);
    ASSERT_TRUE(recorder.WaitEnded(1));
    const auto r = recorder.Get(url);
    ASSERT_GE(r.steps.size(), 4u);
    EXPECT_EQ(r.steps[0], "modified");
    EXPECT_EQ(r.steps[1], "start");
    EXPECT_EQ(r.steps.back(), "complete");
    EXPECT_EQ(r.lastModified, "Wed, 21 Oct 2015 07:28:00 GMT");
    ExpectLengthProgress(r, 100000);
    EXPECT_EQ(r.body, Body(100000));
}

TEST_F(DownloadTest, WithoutLengthGoesThroughATemporaryFile)
{
    Recorder recorder;
    const std::string url = server_.Url("/nolen/50000");
    recorder.StartDownload(url);
    ASSERT_TRUE(recorder.WaitEnded(1));
    const auto r = recorder.Get(url);
    EXPECT_EQ(r.steps.back(), "complete");
    int sum = 0;
    for (const auto& [n, total] : r.progress) {
        EXPECT_EQ(total, 0);
        EXPECT_GT(n, 0);
        EXPECT_LE(n, 8192);
        sum += n;
    }
    EXPECT_EQ(sum, 50000);
    EXPECT_EQ(r.body, Body(50000));
}

TEST_F(DownloadTest, EmptyBodies)
{
    Recorder recorder;
    recorder.StartDownload(server_.Url("/file/0"));
    recorder.StartDownload(server_.Url("/nolen/0"));
    ASSERT_TRUE(recorder.WaitEnded(2));
    for (const char* path : {"/file/0", "/nolen/0"}) {
        const auto r = recorder.Get(server_.Url(path));
        EXPECT_EQ(r.steps, (std::vector<std::string>{"modified", "start", "complete"})) << path;
        EXPECT_EQ(r.body, "");
    }
}

TEST_F(DownloadTest, MisbehavingServersFailCleanly)
{
    // A port nobody listens on.
    const std::string refused = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/x";

    const struct {
        std::string url;
        bool started;  // got as far as the headers of a 200 response
    } cases[] = {
        {server_.Url("/404"), false},
        {refused, false},
        {server_.Url("/reset"), false},
        {server_.Url("/short/100000"), true},
        {server_.Url("/long/1000"), true},
        {server_.Url("/huge"), true},
        {server_.Url("/loop"), false},
        {server_.Url("/silent"), false},
        {"ftp://127.0.0.1/file", false},
        {"file:///etc/passwd", false},
        {"not a url", false},
    };
    Recorder recorder;
    recorder.SetStallTimeout(2s);
    for (const auto& c : cases)
        recorder.StartDownload(c.url);
    ASSERT_TRUE(recorder.WaitEnded(int(std::size(cases))));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        const auto r = recorder.Get(c.url);
        ASSERT_FALSE(r.steps.empty());
        EXPECT_EQ(r.steps.back(), "failed");
        EXPECT_EQ(std::count(r.steps.begin(), r.steps.end(), "failed"), 1);
        EXPECT_EQ(std::count(r.steps.begin(), r.steps.end(), "complete"), 0);
        EXPECT_EQ(std::count(r.steps.begin(), r.steps.end(), "start"), c.started ? 1 : 0);
        if (!c.started) {
            EXPECT_TRUE(r.progress.empty());
        }
    }
    // The announced 3 GB never got a buffer, nor any progress.
    EXPECT_TRUE(recorder.Get(server_.Url("/huge")).progress.empty());
}

TEST_F(DownloadTest, RedirectsAndAConnectionHeldOpenAfterTheWholeBodyStillComplete)
{
    const struct {
        const char* path;
        int size;
    } cases[] = {{"/hold/5000", 5000}, {"/redirect/3000", 3000}};
    for (const auto& c : cases) {
        Recorder recorder;
        recorder.SetStallTimeout(1s);
        const std::string url = server_.Url(c.path);
        recorder.StartDownload(url);
        ASSERT_TRUE(recorder.WaitEnded(1)) << c.path;
        const auto r = recorder.Get(url);
        EXPECT_EQ(r.steps.back(), "complete") << c.path;
        EXPECT_EQ(r.body, Body(c.size)) << c.path;
    }
}

TEST_F(DownloadTest, SlowServerAndASecondStartWhileRunning)
{
    Recorder recorder;
    const std::string url = server_.Url("/slow/20000");
    recorder.StartDownload(url);
    EXPECT_TRUE(recorder.HasRunningDownloads());
    recorder.StartDownload(url);  // still running: nothing
    recorder.StartDownload("");   // nothing either
    ASSERT_TRUE(recorder.WaitEnded(1));
    // The thread ends just after its last report.
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (recorder.HasRunningDownloads() && std::chrono::steady_clock::now() < end)
        QThread::msleep(5);
    ASSERT_FALSE(recorder.HasRunningDownloads());
    auto r = recorder.Get(url);
    EXPECT_EQ(std::count(r.steps.begin(), r.steps.end(), "start"), 1);
    EXPECT_EQ(r.steps.back(), "complete");
    EXPECT_GE(r.progress.size(), 10u);
    ExpectLengthProgress(r, 20000);

    // Finished: a new start of the same URL runs it again.
    recorder.StartDownload(url);
    ASSERT_TRUE(recorder.WaitEnded(2));
    r = recorder.Get(url);
    EXPECT_EQ(std::count(r.steps.begin(), r.steps.end(), "complete"), 2);
}

TEST_F(DownloadTest, FiftyAtOnce)
{
    Recorder recorder;
    for (int i = 0; i < 50; ++i)
        recorder.StartDownload(server_.Url("/file/" + std::to_string(1000 + 997 * i)));
    ASSERT_TRUE(recorder.WaitEnded(50));
    for (int i = 0; i < 50; ++i) {
        const auto r = recorder.Get(server_.Url("/file/" + std::to_string(1000 + 997 * i)));
        ASSERT_EQ(r.steps.back(), "complete") << i;
        EXPECT_EQ(r.body, Body(size_t(1000 + 997 * i)));
    }
}

// Counts the reports it gets into counters that outlive it.
class Counting : public CDownFileByHttpInterface {
public:
    Counting(std::atomic<int>& started, std::atomic<int>& ended) : started_(started), ended_(ended) {}
    ~Counting() override { StopAllDownloads(); }
    void OnDownloadStart(const std::string&) override { ++started_; }
    void OnDownloadComplete(const std::string&, std::unique_ptr<char[]>, size_t) override { ++ended_; }
    void OnDownloadFailed(const std::string&) override { ++ended_; }

private:
    std::atomic<int>& started_;
    std::atomic<int>& ended_;
};

TEST_F(DownloadTest, DestructionAbortsWhatDoesNotEnd)
{
    std::atomic<int> started{0}, ended{0};
    auto downloads = std::make_unique<Counting>(started, ended);
    downloads->SetStopWait(300ms);
    downloads->StartDownload(server_.Url("/silent"));  // never answers, and the stall time is 30 s
    downloads->StartDownload(server_.Url("/slow/5000"));
    QThread::msleep(100);
    EXPECT_TRUE(downloads->HasRunningDownloads());
    downloads.reset();  // waits, then aborts through curl's progress callback
    // Aborted downloads report nothing; nothing runs on afterwards.
    EXPECT_EQ(ended, 0);
    const int startedAtEnd = started;
    QThread::msleep(300);
    EXPECT_EQ(started, startedAtEnd);
    EXPECT_EQ(ended, 0);
}

// ---- the client ----

class Inbox : public QObject {
public:
    bool event(QEvent* e) override
    {
        auto* m = dynamic_cast<CWindowMessage*>(e);
        if (!m)
            return QObject::event(e);
        if (m->Message() == WM_DOWNLOAD_PROGRESS) {
            const auto& p = std::any_cast<const DownloadProgress&>(m->payload);
            progress.push_back(p);
        } else {
            messages.emplace_back(m->Message(), std::any_cast<const std::string&>(m->payload));
        }
        return true;
    }
    bool WaitFor(int message, size_t count = 1)
    {
        const auto end = std::chrono::steady_clock::now() + 40s;
        while (std::count_if(messages.begin(), messages.end(), [&](auto& m) { return m.first == message; })
               < std::ptrdiff_t(count)) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            QCoreApplication::processEvents();
            QThread::msleep(5);
        }
        return true;
    }
    std::vector<std::pair<int, std::string>> messages;
    std::vector<DownloadProgress> progress;
};

TEST_F(DownloadTest, ClientWritesTheFileAndPostsEachStep)
{
    QTemporaryDir folder;
    Inbox inbox;
    CDownFileClient client;
    client.SetNotifyWindow(&inbox);
    client.SetFolder(folder.path().toStdString());
    const std::string url = server_.Url("/file/30000");
    client.Download(url, "歌.mp3");
    ASSERT_TRUE(inbox.WaitFor(WM_DOWNLOAD_DONE));
    QCoreApplication::processEvents();
    EXPECT_EQ(inbox.messages.front(), std::make_pair(int(WM_DOWNLOAD_STARTED), url));
    ASSERT_FALSE(inbox.progress.empty());
    EXPECT_EQ(inbox.progress.back().url, url);
    EXPECT_EQ(inbox.progress.back().done, 30000);
    EXPECT_EQ(inbox.progress.back().total, 30000);
    EXPECT_EQ(ReadFileBytes(folder.path().toStdString() + "/歌.mp3"), Body(30000));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QString::fromUtf8("歌.mp3")});
}

TEST_F(DownloadTest, ClientNeverWritesOutsideItsFolderNorPartialFiles)
{
    QTemporaryDir root;
    const std::string folder = root.path().toStdString() + "/songs";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    Inbox inbox;
    CDownFileClient client;
    client.SetStallTimeout(2s);
    client.SetNotifyWindow(&inbox);
    client.SetFolder(folder);
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"/file/10", ""}, {"/file/11", "."}, {"/file/12", ".."}, {"/file/13", "../escape.mp3"},
        {"/file/14", "a\\..\\b.mp3"}, {"/404", "missing.mp3"}, {"/short/5000", "short.mp3"},
        {"/reset", "reset.mp3"},
    };
    for (const auto& c : cases)
        client.Download(server_.Url(c.path), c.name);
    ASSERT_TRUE(inbox.WaitFor(WM_DOWNLOAD_FAILED, std::size(cases)));
    EXPECT_EQ(std::count_if(inbox.messages.begin(), inbox.messages.end(),
                            [](auto& m) { return m.first == WM_DOWNLOAD_DONE; }), 0);
    EXPECT_TRUE(QDir(QString::fromStdString(folder)).isEmpty());
    EXPECT_EQ(QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"songs"});

    // A folder that cannot take the file: a failure, not a success.
    client.SetFolder(root.path().toStdString() + "/no/such/folder");
    client.Download(server_.Url("/file/20"), "x.mp3");
    ASSERT_TRUE(inbox.WaitFor(WM_DOWNLOAD_FAILED, std::size(cases) + 1));
}

TEST(FileNames, SafeNamesOnly)
{
    for (const std::string& name : {std::string("a.mp3"), std::string("歌 手.wma"), std::string("..a"),
                                    std::string("a.."), std::string("..."), std::string(255, 'x')})
        EXPECT_TRUE(IsSafeFileName(name)) << name;
    for (const std::string& name : {std::string(), std::string("."), std::string(".."), std::string("a/b"),
                                   std::string("/abs"), std::string("a\\b"), std::string("a\0b", 3), std::string(256, 'x')})
        EXPECT_FALSE(IsSafeFileName(name)) << name;
}

}  // namespace
