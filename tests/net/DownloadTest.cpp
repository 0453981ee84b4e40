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
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <thread>
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
        std::string bodyFolder;
        std::chrono::steady_clock::time_point ended;  // the last report
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
    void OnDownloadComplete(const std::string& url, CDownloadedBody body) override
    {
        Report& r = Add(url, "complete");
        r.body = ReadFileBytes(body.Path());
        r.bodyFolder = body.Path().substr(0, body.Path().rfind('/'));
        EXPECT_EQ(int64_t(r.body.size()), body.Size());
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
        r.ended = std::chrono::steady_clock::now();
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
        // Bodies arrive in temporary files; keep them where the test can see them.
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

TEST_F(DownloadTest, WithLengthStreamsInBlocksToATemporaryFile)
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
    EXPECT_EQ(r.bodyFolder, tmp_.path().toStdString());
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

// Rules short enough for a test: a second's window at 1000 bytes a second, half a second of quiet.
DownloadLimits QuickLimits()
{
    DownloadLimits limits;
    limits.deadline = 20s;
    limits.speedWindow = 1s;
    limits.minBytesPerSecond = 1000;
    limits.quietEnd = 500ms;
    return limits;
}

// Starts every URL on one downloader and waits until all have ended; returns how long that took.
std::chrono::steady_clock::duration RunAll(Recorder& recorder, const std::vector<std::string>& urls)
{
    const int before = recorder.EndedCount();
    const auto start = std::chrono::steady_clock::now();
    for (const auto& url : urls)
        recorder.StartDownload(url);
    EXPECT_TRUE(recorder.WaitEnded(before + int(urls.size())));
    return std::chrono::steady_clock::now() - start;
}

TEST_F(DownloadTest, MisbehavingServersFailQuicklyAndCleanly)
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
        {server_.Url("/long/1000"), true},  // more than it announced
        {server_.Url("/huge"), true},       // announces 3 GB
        {server_.Url("/announce/300000000"), true},
        {server_.Url("/trickle"), true},  // a byte now and then
        {server_.Url("/loop"), false},
        {server_.Url("/silent"), false},
        {server_.Url("/tofile"), false},  // redirects stay within HTTP
        {server_.Url("/toftp"), false},
        {"ftp://127.0.0.1/file", false},
        {"file:///etc/passwd", false},
        {"not a url", false},
    };
    Recorder recorder;
    recorder.SetLimits(QuickLimits());
    std::vector<std::string> urls;
    for (const auto& c : cases)
        urls.push_back(c.url);
    EXPECT_LT(RunAll(recorder, urls), 10s);
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
    // Announced lengths beyond the limit never got a file, nor any progress.
    EXPECT_TRUE(recorder.Get(server_.Url("/huge")).progress.empty());
    EXPECT_TRUE(recorder.Get(server_.Url("/announce/300000000")).progress.empty());
}

// A lyric client's limit, 1 MiB: announced or not, a byte more fails, and a flood stops there.
TEST_F(DownloadTest, SizeLimitHoldsWithAndWithoutALength)
{
    Recorder recorder;
    DownloadLimits limits = QuickLimits();
    limits.maxBytes = kMaxLyricBytes;
    recorder.SetLimits(limits);
    const std::string atLimit = server_.Url("/file/1048576");
    const std::string overLimit = server_.Url("/file/1048577");
    const std::string overWithoutLength = server_.Url("/nolen/1048577");
    const std::string flood = server_.Url("/flood/300000000");
    EXPECT_LT(RunAll(recorder, {atLimit, overLimit, overWithoutLength, flood}), 10s);

    EXPECT_EQ(recorder.Get(atLimit).steps.back(), "complete");
    EXPECT_EQ(recorder.Get(atLimit).body.size(), 1048576u);
    EXPECT_TRUE(recorder.Get(overLimit).progress.empty());
    for (const auto& url : {overLimit, overWithoutLength, flood}) {
        const auto r = recorder.Get(url);
        EXPECT_EQ(r.steps.back(), "failed") << url;
        int64_t received = 0;
        for (const auto& [n, total] : r.progress)
            received += n;
        EXPECT_LE(received, kMaxLyricBytes) << url;
    }
}

// However steady, a download ends at its deadline.
TEST_F(DownloadTest, DeadlineEndsADownloadThatNeverFinishes)
{
    Recorder recorder;
    DownloadLimits limits = QuickLimits();
    limits.deadline = 2s;
    recorder.SetLimits(limits);
    const std::string url = server_.Url("/steady");
    const auto took = RunAll(recorder, {url});
    const auto r = recorder.Get(url);
    EXPECT_EQ(r.steps.back(), "failed");
    EXPECT_GT(r.progress.size(), 5u);  // it was getting somewhere
    EXPECT_GE(took, 2s);
    EXPECT_LT(took, 5s);
}

// A redirect within HTTP is followed; a server that keeps the connection open after the body, with
// or without a length, does not hold the download until it lets go.
TEST_F(DownloadTest, RedirectsAndConnectionsHeldOpenStillCompleteQuickly)
{
    const struct {
        std::string path;
        int size;
    } cases[] = {{"/hold/5000", 5000}, {"/holdnolen/5000", 5000}, {"/redirect/3000", 3000}};
    Recorder recorder;
    recorder.SetLimits(QuickLimits());
    std::vector<std::string> urls;
    for (const auto& c : cases)
        urls.push_back(server_.Url(c.path));
    EXPECT_LT(RunAll(recorder, urls), 5s);  // the server holds on for 15
    for (const auto& c : cases) {
        const auto r = recorder.Get(server_.Url(c.path));
        EXPECT_EQ(r.steps.back(), "complete") << c.path;
        EXPECT_EQ(r.body, Body(size_t(c.size))) << c.path;
    }
}

TEST(RedirectProtocols, NeverFromHttpsToHttp)
{
    EXPECT_STREQ(RedirectProtocols("https://example.com/a.mp3"), "https");
    EXPECT_STREQ(RedirectProtocols("HTTPS://example.com/a.mp3"), "https");
    EXPECT_STREQ(RedirectProtocols("http://example.com/a.mp3"), "http,https");
    EXPECT_STREQ(RedirectProtocols("example.com/a.mp3"), "http,https");
}

// One more connection attempt a second after the first: a server that comes up in between is
// reached; a port that stays closed fails after both attempts.
TEST_F(DownloadTest, ConnectIsRetriedOnceAfterASecond)
{
    const int port = ClosedPort();
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/late";
    std::thread late([port] {
        std::this_thread::sleep_for(400ms);
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        const int yes = 1;
        ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(uint16_t(port));
        if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 1) != 0) {
            ::close(listener);
            return;
        }
        const int client = ::accept(listener, nullptr, nullptr);
        char request[4096];
        (void)::recv(client, request, sizeof request, 0);
        const char response[] = "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello";
        (void)::send(client, response, sizeof response - 1, 0);
        ::close(client);
        ::close(listener);
    });
    Recorder recorder;
    recorder.SetLimits(QuickLimits());
    const auto took = RunAll(recorder, {url});
    late.join();
    EXPECT_EQ(recorder.Get(url).steps.back(), "complete");
    EXPECT_EQ(recorder.Get(url).body, "hello");
    EXPECT_GE(took, 1s);

    const std::string closed = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/x";
    const auto failedAfter = RunAll(recorder, {closed});
    EXPECT_EQ(recorder.Get(closed).steps, std::vector<std::string>{"failed"});
    EXPECT_GE(failedAfter, 1s);
    EXPECT_LT(failedAfter, 3s);
}

// Without room for another thread's stack, StartDownload reports the failure itself and leaves
// nothing running for that URL. The child keeps starting downloads that never end until the stacks
// glibc kept from earlier threads are used up and the address-space limit stops the next one.
TEST_F(DownloadTest, DownloadWhoseThreadCannotStartFails)
{
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        Recorder recorder;
        std::ifstream statm("/proc/self/statm");
        size_t pages = 0;
        statm >> pages;
        const rlimit room{pages * size_t(::sysconf(_SC_PAGESIZE)) + (24u << 20), RLIM_INFINITY};
        ::setrlimit(RLIMIT_AS, &room);
        for (int i = 0; i < 64; ++i) {
            const std::string url = server_.Url("/silent/" + std::to_string(i));
            recorder.StartDownload(url);
            if (recorder.EndedCount() == 0)
                continue;
            const bool reported = recorder.EndedCount() == 1 && recorder.Get(url).steps == std::vector<std::string>{"failed"};
            recorder.StartDownload(url);  // not running: tried again, and refused again
            ::_exit(reported && recorder.EndedCount() == 2 ? 0 : 1);
        }
        ::_exit(2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
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
    void OnDownloadComplete(const std::string&, CDownloadedBody) override { ++ended_; }
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
    client.SetLimits(QuickLimits());
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
