#include "net/DownFileByHttpInterface.h"

#include "diag/ThreadSignalStack.h"
#include "fileio/TextEncoding.h"

#include <curl/curl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

struct CDownFileByHttpInterface::Task {
    CDownFileByHttpInterface* owner;
    std::string url;
    uint64_t handle;
    DownloadLimits limits;
    std::chrono::steady_clock::time_point started;
};

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kReceiveBuffer = 512 * 1024;
constexpr long kConnectTimeoutMs = 30000;
constexpr auto kConnectRetryWait = std::chrono::seconds(1);

std::once_flag curlInit;

// The announced length: -1 when absent or not a number, else the value (capped at `cap` + 1).
int64_t ParseLength(std::string_view text, int64_t cap)
{
    text = TrimSpace(text);
    if (text.empty())
        return -1;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = std::min<int64_t>(value * 10 + (c - '0'), cap + 1);
    }
    return value;
}

std::string SystemTemporaryFolder()
{
    std::error_code error;
    const auto folder = std::filesystem::temp_directory_path(error);
    return error ? std::string("/tmp") : folder.string();
}

}  // namespace

const char* RedirectProtocols(const std::string& url)
{
    std::string scheme = url.substr(0, url.find(':'));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return std::tolower(c); });
    return scheme == "https" ? "https" : "http,https";
}

// One attempt at a download on libcurl: the headers of the final response decide (status "200",
// Last-Modified, Content-Length), then the body goes into a temporary file. The body is held against
// its announced length here rather than by curl, so that a server sending more than it announced
// fails as surely as one sending less.
class CDownFileByHttpInterface::Transfer {
public:
    Transfer(CDownFileByHttpInterface& owner, const Task& task) : owner_(owner), task_(task) {}

    enum class Outcome { Complete, Failed, ConnectFailed };

    Outcome Run()
    {
        CURL* curl = curl_easy_init();
        if (!curl)
            return Outcome::Failed;
        curl_ = curl;
        curl_easy_setopt(curl, CURLOPT_URL, task_.url.c_str());
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, RedirectProtocols(task_.url));
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
        // Large receive buffers keep the system calls few; the body is still taken and reported in
        // blocks of at most kReadBlock bytes.
        curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, long(kReceiveBuffer));
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
        // Called at least once a second, data or not: the clock of every rule below.
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Transfer::OnTick);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
        curl_easy_setopt(curl, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
        curl_slist* headers = curl_slist_append(nullptr, "Connection: close");
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);

        windowStart_ = lastData_ = Clock::now();
        const CURLcode result = curl_easy_perform(curl);
        bool ok = (result == CURLE_OK || endedQuietly_) && !failed_;
        if (ok && !decided_)
            ok = Decide();  // a response without a body
        const bool connectFailed = result == CURLE_COULDNT_CONNECT ||
                                   (result == CURLE_OPERATION_TIMEDOUT && !decided_ && !Connected(curl));
        curl_easy_cleanup(curl);
        curl_slist_free_all(headers);
        if (!ok || owner_.aborting_)
            return connectFailed && !failed_ && !owner_.aborting_ ? Outcome::ConnectFailed : Outcome::Failed;
        return length_ < 0 || done_ == length_ ? Outcome::Complete : Outcome::Failed;
    }

    std::optional<CDownloadedBody>& Body() { return body_; }

private:
    static bool Connected(CURL* curl)
    {
        curl_off_t connectTime = 0;
        return curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connectTime) == CURLE_OK && connectTime > 0;
    }

    static size_t OnHeader(char* data, size_t size, size_t count, void* self)
    {
        auto& t = *static_cast<Transfer*>(self);
        const std::string_view line(data, size * count);
        if (line.substr(0, 5) == "HTTP/") {  // a new response (after a redirect): start over
            t.lastModified_.clear();
            t.contentLength_.clear();
        } else if (const size_t colon = line.find(':'); colon != std::string_view::npos) {
            std::string name(TrimSpace(line.substr(0, colon)));
            std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
            const std::string_view value = TrimSpace(line.substr(colon + 1));
            if (name == "last-modified")
                t.lastModified_.assign(value);
            else if (name == "content-length")
                t.contentLength_.assign(value.substr(0, 32));
        }
        return size * count;
    }

    // The headers of the final response are in: check the status and the length, and make the file.
    bool Decide()
    {
        decided_ = true;
        long status = 0;
        curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
        if (status != 200)
            return false;
        owner_.OnLastModified(task_.url, lastModified_);
        owner_.OnDownloadStart(task_.url);
        length_ = ParseLength(contentLength_, task_.limits.maxBytes);
        if (length_ > task_.limits.maxBytes)
            return false;
        body_ = CDownloadedBody::Create(owner_.BodyFolder(task_.url));
        return body_.has_value();
    }

    static size_t OnBody(char* data, size_t size, size_t count, void* self)
    {
        auto& t = *static_cast<Transfer*>(self);
        const size_t n = size * count;
        if (!t.decided_ && !t.Decide()) {
            t.failed_ = true;
            return 0;
        }
        for (size_t at = 0; at < n;) {
            const size_t block = std::min(n - at, kReadBlock);
            if (!t.Store(data + at, block)) {
                t.failed_ = true;
                return 0;
            }
            at += block;
        }
        t.lastData_ = Clock::now();
        return n;
    }

    bool Store(const char* data, size_t n)
    {
        const int64_t limit = length_ >= 0 ? length_ : task_.limits.maxBytes;
        if (int64_t(n) > limit - done_ || !body_->Append(data, n))
            return false;
        done_ += int64_t(n);
        if (length_ > 0)
            owner_.OnDownloadProgress(task_.url, int(done_), int(length_));
        else
            owner_.OnDownloadProgress(task_.url, int(n), 0);
        return true;
    }

    // The deadline, the speed rule and the quiet end; a non-zero result ends the transfer.
    static int OnTick(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        auto& t = *static_cast<Transfer*>(self);
        if (t.owner_.aborting_)
            return 1;
        const auto now = Clock::now();
        const DownloadLimits& limits = t.task_.limits;
        if (now - t.task_.started > limits.deadline) {
            t.failed_ = true;
            return 1;
        }
        // Only the server's closing would tell where a body without a length ends; one that holds the
        // connection open is taken at its word once it has gone quiet.
        const bool announcedIn = t.decided_ && t.length_ >= 0 && t.done_ == t.length_;
        if ((announcedIn || (t.decided_ && t.length_ < 0)) && now - t.lastData_ >= limits.quietEnd) {
            t.endedQuietly_ = true;
            return 1;
        }
        if (!announcedIn && now - t.windowStart_ >= limits.speedWindow) {
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now - t.windowStart_).count();
            if (t.done_ - t.windowBytes_ < limits.minBytesPerSecond * seconds) {
                t.failed_ = true;
                return 1;
            }
            t.windowStart_ = now;
            t.windowBytes_ = t.done_;
        }
        return 0;
    }

    CDownFileByHttpInterface& owner_;
    const Task& task_;
    CURL* curl_ = nullptr;
    std::string lastModified_, contentLength_;
    bool decided_ = false, failed_ = false, endedQuietly_ = false;
    int64_t length_ = -1;
    int64_t done_ = 0;
    Clock::time_point windowStart_, lastData_;
    int64_t windowBytes_ = 0;
    std::optional<CDownloadedBody> body_;
};

CDownFileByHttpInterface::~CDownFileByHttpInterface()
{
    StopAllDownloads();
}

bool CDownFileByHttpInterface::OnLastModified(const std::string&, const std::string&)
{
    return true;
}

void CDownFileByHttpInterface::OnDownloadStart(const std::string&) {}

void CDownFileByHttpInterface::OnDownloadProgress(const std::string&, int, int) {}

void CDownFileByHttpInterface::OnDownloadComplete(const std::string&, CDownloadedBody) {}

void CDownFileByHttpInterface::OnDownloadFailed(const std::string&) {}

std::string CDownFileByHttpInterface::BodyFolder(const std::string&)
{
    return SystemTemporaryFolder();
}

void CDownFileByHttpInterface::SetLimits(const DownloadLimits& limits)
{
    std::lock_guard lock(lock_);
    limits_ = limits;
}

DownloadLimits CDownFileByHttpInterface::Limits() const
{
    std::lock_guard lock(lock_);
    return limits_;
}

void CDownFileByHttpInterface::StartDownload(const std::string& url)
{
    if (url.empty())
        return;
    std::call_once(curlInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    {
        std::lock_guard lock(lock_);
        for (auto it = running_.begin(); it != running_.end(); ++it) {
            if (it->second != url)
                continue;
            if (!finished_.count(it->first))
                return;  // still running
            running_.erase(it);
            break;
        }
        ReapFinished();
        const uint64_t handle = ++nextHandle_;
        auto task = std::make_unique<Task>(Task{this, url, handle, limits_, Clock::now()});
        try {
            threads_[handle] = std::thread([this, t = std::move(task)]() mutable { Worker(std::move(t)); });
            running_[handle] = url;
            return;
        } catch (const std::system_error&) {
            threads_.erase(handle);
        }
    }
    OnDownloadFailed(url);
}

void CDownFileByHttpInterface::ReapFinished()
{
    for (auto it = threads_.begin(); it != threads_.end();) {
        if (finished_.count(it->first) && !running_.count(it->first)) {
            it->second.join();
            finished_.erase(it->first);
            it = threads_.erase(it);
        } else {
            ++it;
        }
    }
}

bool CDownFileByHttpInterface::HasRunningDownloads() const
{
    std::lock_guard lock(lock_);
    return std::any_of(running_.begin(), running_.end(), [&](const auto& entry) { return !finished_.count(entry.first); });
}

void CDownFileByHttpInterface::ForgetDownload(const std::string& url)
{
    std::lock_guard lock(lock_);
    for (auto it = running_.begin(); it != running_.end(); ++it) {
        if (it->second == url) {
            running_.erase(it);
            return;
        }
    }
}

std::optional<CDownloadedBody> CDownFileByHttpInterface::Fetch(const Task& task)
{
    for (int attempt = 0;; ++attempt) {
        Transfer transfer(*this, task);
        const Transfer::Outcome outcome = transfer.Run();
        if (outcome == Transfer::Outcome::Complete)
            return std::move(transfer.Body());
        if (outcome == Transfer::Outcome::Failed || attempt == 1)
            return std::nullopt;
        // The one connect retry, after a second in which destruction may still abort the download.
        std::unique_lock lock(lock_);
        if (finishedSignal_.wait_for(lock, kConnectRetryWait, [this] { return aborting_.load(); }))
            return std::nullopt;
    }
}

void CDownFileByHttpInterface::Worker(std::unique_ptr<Task> task)
{
    UseOwnSignalStack();
    // Downloads give way to everything else the program does.
    ::setpriority(PRIO_PROCESS, ::gettid(), 19);
    auto body = Fetch(*task);
    if (!aborting_) {
        if (body)
            OnDownloadComplete(task->url, std::move(*body));
        else
            OnDownloadFailed(task->url);
    }
    const uint64_t handle = task->handle;
    task.reset();
    std::lock_guard lock(lock_);
    finished_.insert(handle);
    finishedSignal_.notify_all();
}

void CDownFileByHttpInterface::StopAllDownloads()
{
    std::unique_lock lock(lock_);
    auto allFinished = [this] { return finished_.size() == threads_.size(); };
    if (!finishedSignal_.wait_for(lock, stopWait_, allFinished)) {
        aborting_ = true;  // curl's progress callback ends each transfer within a second
        finishedSignal_.notify_all();
        finishedSignal_.wait(lock, allFinished);
    }
    for (auto& [handle, thread] : threads_)
        thread.join();
    threads_.clear();
    finished_.clear();
    running_.clear();
    aborting_ = false;
}
