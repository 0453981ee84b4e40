// HTTP responses as a download receives them: the fuzz input is the whole response, sent by a server
// on the loopback interface. The process runs in a network namespace of its own with nothing but the
// loopback interface, so a redirect in a response leads nowhere else.
//
// Each download ends once, complete or failed; progress counts up to the length; a complete body is
// the file in the folder, with its 8 zero bytes behind it in the buffer; nothing else is left in the
// folder or the temporary folder.
#include "FuzzSupport.h"

#include "net/DownFileClient.h"
#include "fileio/ProgramFolder.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

namespace {

void WriteProcFile(const char* path, const std::string& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd >= 0) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        (void)written;
        ::close(fd);
    }
}

// From here on the process sees only its own loopback interface.
void IsolateNetwork()
{
    if (::unshare(CLONE_NEWNET) != 0) {
        // Without the right to do that, a user namespace of our own gives it.
        const uid_t uid = ::getuid();
        const gid_t gid = ::getgid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
            std::perror("http_response: no network namespace of its own");
            std::exit(2);
        }
        WriteProcFile("/proc/self/setgroups", "deny");
        WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
        WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    }
    const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request {};
    std::strcpy(request.ifr_name, "lo");
    const bool up = s >= 0 && ::ioctl(s, SIOCGIFFLAGS, &request) == 0
        && (request.ifr_flags |= IFF_UP, ::ioctl(s, SIOCSIFFLAGS, &request) == 0);
    if (s >= 0)
        ::close(s);
    if (!up) {
        std::perror("http_response: cannot bring the loopback interface up");
        std::exit(2);
    }
}

// Answers every connection with the same bytes, after reading the request, and closes it.
class CannedServer {
public:
    CannedServer()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || ::listen(listener_, 16) != 0
            || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            std::perror("http_response: cannot listen");
            std::exit(2);
        }
        port_ = ntohs(address.sin_port);
        std::thread(&CannedServer::Serve, this).detach();
    }

    uint16_t Port() const { return port_; }

    void SetResponse(std::string_view bytes)
    {
        std::lock_guard lock(mutex_);
        response_.assign(bytes);
    }

private:
    void Serve()
    {
        for (;;) {
            const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0)
                continue;
            ReadRequest(connection);
            std::string response;
            {
                std::lock_guard lock(mutex_);
                response = response_;
            }
            for (size_t at = 0; at < response.size();) {
                const ssize_t n = ::send(connection, response.data() + at, response.size() - at, MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                at += size_t(n);
            }
            ::shutdown(connection, SHUT_WR);
            ::close(connection);
        }
    }

    // Up to the blank line: closing with the request unread would reset the connection.
    static void ReadRequest(int connection)
    {
        timeval wait {2, 0};
        ::setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
            const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
            if (n <= 0)
                return;
            request.append(buffer, size_t(n));
        }
    }

    int listener_ = -1;
    uint16_t port_ = 0;
    std::mutex mutex_;
    std::string response_;
};

// What the client was told about one download.
struct Report {
    int starts = 0;
    std::vector<std::pair<int, int>> progress;  // done, total
    int completes = 0;
    int fails = 0;
    std::string body;
    bool sizeMatches = false;
};

class RecordingClient : public CDownFileClient {
public:
    ~RecordingClient() override { StopAllDownloads(); }

    void OnDownloadStart(const std::string& url) override
    {
        Update([](Report& r) { ++r.starts; });
        CDownFileClient::OnDownloadStart(url);
    }
    void OnDownloadProgress(const std::string& url, int done, int total) override
    {
        Update([&](Report& r) { r.progress.emplace_back(done, total); });
        CDownFileClient::OnDownloadProgress(url, done, total);
    }
    void OnDownloadComplete(const std::string& url, CDownloadedBody body) override
    {
        Update([&](Report& r) {
            ++r.completes;
            r.body = ReadFuzzFile(body.Path());
            r.sizeMatches = int64_t(r.body.size()) == body.Size();
        });
        CDownFileClient::OnDownloadComplete(url, std::move(body));
        Ended();
    }
    void OnDownloadFailed(const std::string& url) override
    {
        Update([](Report& r) { ++r.fails; });
        CDownFileClient::OnDownloadFailed(url);
        Ended();
    }

    // Starts the download and waits until its thread is done with it.
    Report Fetch(const std::string& url, const std::string& fileName)
    {
        {
            std::lock_guard lock(mutex_);
            report_ = {};
            ended_ = false;
        }
        Download(url, fileName);
        std::unique_lock lock(mutex_);
        FUZZ_CHECK(endedSignal_.wait_for(lock, std::chrono::seconds(60), [this] { return ended_; }),
                   "a download never ended");
        lock.unlock();
        while (HasRunningDownloads())
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        lock.lock();
        return report_;
    }

private:
    template <typename Change>
    void Update(Change change)
    {
        std::lock_guard lock(mutex_);
        change(report_);
    }
    void Ended()
    {
        std::lock_guard lock(mutex_);
        ended_ = true;
        endedSignal_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable endedSignal_;
    Report report_;
    bool ended_ = false;
};

CannedServer* server;
RecordingClient* client;
std::string folder, tempFolder, url;
constexpr const char* kFileName = "song.wma";

std::vector<std::string> FolderEntries(const std::string& path)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path))
        names.push_back(entry.path().filename().string());
    return names;
}

void CheckProgress(const Report& r)
{
    if (r.progress.empty())
        return;
    FUZZ_CHECK(r.starts == 1, "progress without one start");
    const int total = r.progress.front().second;
    int last = 0;
    int64_t sum = 0;
    for (const auto& [done, reportedTotal] : r.progress) {
        FUZZ_CHECK(reportedTotal == total, "the total changed during a download");
        if (total > 0) {
            FUZZ_CHECK(done > last && done <= total, "progress does not count up to the length");
            last = done;
        } else {
            FUZZ_CHECK(done > 0 && size_t(done) <= CDownFileByHttpInterface::kReadBlock,
                       "a block without length is not 1 to 8192 bytes");
            sum += done;
        }
    }
    if (r.completes == 1 && r.fails == 0) {
        const int64_t received = total > 0 ? last : sum;
        FUZZ_CHECK(received == int64_t(r.body.size()), "the body is not what progress counted");
        FUZZ_CHECK(total == 0 || last == total, "a body shorter than its length completed");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    IsolateNetwork();
    PrepareFuzzHome();
    folder = ProgramFile("DownLoad");
    tempFolder = ProgramFile("tmp");
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(tempFolder);
    ::setenv("TMPDIR", tempFolder.c_str(), 1);
    server = new CannedServer;
    client = new RecordingClient;
    client->SetFolder(folder);
    // Canned responses end at once or never: the deadlines only need to end the second kind quickly.
    DownloadLimits limits;
    limits.deadline = std::chrono::seconds(10);
    limits.speedWindow = std::chrono::seconds(5);
    limits.quietEnd = std::chrono::milliseconds(200);
    client->SetLimits(limits);
    url = "http://127.0.0.1:" + std::to_string(server->Port()) + "/" + kFileName;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    server->SetResponse(std::string_view(reinterpret_cast<const char*>(data), size));
    const Report r = client->Fetch(url, kFileName);

    FUZZ_CHECK(r.completes + r.fails == 1, "a download did not end exactly once");
    FUZZ_CHECK(r.starts <= 1, "a download started twice");
    CheckProgress(r);
    const std::string path = folder + "/" + kFileName;
    if (r.fails == 0) {
        FUZZ_CHECK(r.sizeMatches, "the body's file is not as long as the body said");
        FUZZ_CHECK(ReadFuzzFile(path) == r.body, "the file is not the body");
    }
    std::filesystem::remove(path);
    FUZZ_CHECK(FolderEntries(folder).empty(), "a download left a file behind in its folder");
    FUZZ_CHECK(FolderEntries(tempFolder).empty(), "a download left a temporary file behind");
    return 0;
}
