#include "net/DownFileByHttpInterface.h"

#include "fileio/TextEncoding.h"

#include <curl/curl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string_view>
#include <vector>

struct CDownFileByHttpInterface::Task {
    CDownFileByHttpInterface* owner;
    std::string url;
    uint64_t handle;
};

namespace {

constexpr size_t kReceiveBuffer = 512 * 1024;

std::once_flag curlInit;

// The announced length: -1 when absent or not a number, else the value (capped just past the limit).
int64_t ParseLength(std::string_view text)
{
    text = TrimSpace(text);
    if (text.empty())
        return -1;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = std::min<int64_t>(value * 10 + (c - '0'), CDownFileByHttpInterface::kMaxBodyBytes + 1);
    }
    return value;
}

// Room for a body of `size` bytes and 8 zero bytes after it. The body's own bytes are all written
// before anyone sees the buffer, so only the tail is cleared.
std::unique_ptr<char[]> BodyBuffer(int64_t size)
{
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[size_t(size) + 8]);
    if (buffer)
        std::memset(buffer.get() + size, 0, 8);
    return buffer;
}

// A temporary file for a body of unknown length, deleted when done.
class TempBody {
public:
    bool Open()
    {
        std::error_code error;
        std::string pattern = (std::filesystem::temp_directory_path(error) / "tmpfileXXXXXX").string();
        if (error)
            pattern = "/tmp/tmpfileXXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        const int fd = ::mkstemp(name.data());
        if (fd < 0)
            return false;
        path_.assign(name.data());
        file_ = ::fdopen(fd, "w+b");
        if (!file_)
            ::close(fd);
        return file_ != nullptr;
    }
    ~TempBody()
    {
        if (file_)
            std::fclose(file_);
        if (!path_.empty())
            std::remove(path_.c_str());
    }
    bool Append(const char* data, size_t n) { return std::fwrite(data, 1, n, file_) == n; }
    // The whole body read back, with 8 zero bytes after it.
    std::unique_ptr<char[]> ReadAll(int64_t size)
    {
        if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0)
            return nullptr;
        auto buffer = BodyBuffer(size);
        if (!buffer || std::fread(buffer.get(), 1, size_t(size), file_) != size_t(size))
            return nullptr;
        return buffer;
    }

private:
    std::string path_;
    std::FILE* file_ = nullptr;
};

}  // namespace

// One download on libcurl: the headers of the final response decide (status "200", Last-Modified,
// Content-Length), then the body goes into one buffer sized from the length, or through a temporary
// file when there is none.
class CDownFileByHttpInterface::Transfer {
public:
    Transfer(CDownFileByHttpInterface& owner, const std::string& url) : owner_(owner), url_(url) {}

    // The body and its size, or null.
    std::unique_ptr<char[]> Run(size_t& size)
    {
        CURL* curl = curl_easy_init();
        if (!curl)
            return nullptr;
        curl_ = curl;
        curl_easy_setopt(curl, CURLOPT_URL, url_.c_str());
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, 30000L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(owner_.stallTimeout_.count()));
        // Large receive buffers keep the system calls few; the body is still taken and reported in
        // blocks of at most kReadBlock bytes.
        curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, long(kReceiveBuffer));
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Transfer::OnTick);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
        // The body runs to the end of the connection and is held against the announced length
        // here, so a server that sends more than it announced fails as surely as one that sends less.
        curl_easy_setopt(curl, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
        curl_slist* headers = curl_slist_append(nullptr, "Connection: close");
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);

        const CURLcode result = curl_easy_perform(curl);
        // A server that keeps the connection open after the whole announced body still delivered it.
        const bool heldOpen = result == CURLE_OPERATION_TIMEDOUT && length_ > 0 && done_ == length_;
        bool ok = (result == CURLE_OK || heldOpen) && !failed_;
        if (ok && !decided_)
            ok = Decide(curl);  // a response without a body
        curl_easy_cleanup(curl);
        curl_slist_free_all(headers);
        if (!ok || owner_.aborting_)
            return nullptr;

        if (length_ > 0) {
            if (done_ != length_)
                return nullptr;
            size = size_t(length_);
            return std::move(buffer_);
        }
        auto body = temp_.ReadAll(done_);
        size = body ? size_t(done_) : 0;
        return body;
    }

private:
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

    // The headers of the final response are in: check the status and prepare for the body.
    bool Decide(CURL* curl)
    {
        decided_ = true;
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        if (status != 200)
            return false;
        owner_.OnLastModified(url_, lastModified_);
        owner_.OnDownloadStart(url_);
        length_ = ParseLength(contentLength_);
        if (length_ > kMaxBodyBytes)
            return false;
        if (length_ > 0) {
            buffer_ = BodyBuffer(length_);
            return buffer_ != nullptr;
        }
        return temp_.Open();
    }

    static size_t OnBody(char* data, size_t size, size_t count, void* self)
    {
        auto& t = *static_cast<Transfer*>(self);
        const size_t n = size * count;
        if (!t.decided_ && !t.Decide(t.curl_)) {
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
        return n;
    }

    bool Store(const char* data, size_t n)
    {
        if (length_ > 0) {
            if (int64_t(n) > length_ - done_)
                return false;
            std::memcpy(buffer_.get() + done_, data, n);
            done_ += int64_t(n);
            owner_.OnDownloadProgress(url_, int(done_), int(length_));
            return true;
        }
        if (done_ + int64_t(n) > kMaxBodyBytes || !temp_.Append(data, n))
            return false;
        done_ += int64_t(n);
        owner_.OnDownloadProgress(url_, int(n), 0);
        return true;
    }

    static int OnTick(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        return static_cast<Transfer*>(self)->owner_.aborting_ ? 1 : 0;
    }

    CDownFileByHttpInterface& owner_;
    const std::string url_;
    CURL* curl_ = nullptr;
    std::string lastModified_, contentLength_;
    bool decided_ = false, failed_ = false;
    int64_t length_ = -1;
    int64_t done_ = 0;
    std::unique_ptr<char[]> buffer_;
    TempBody temp_;
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

void CDownFileByHttpInterface::OnDownloadComplete(const std::string&, std::unique_ptr<char[]>, size_t) {}

void CDownFileByHttpInterface::OnDownloadFailed(const std::string&) {}

void CDownFileByHttpInterface::StartDownload(const std::string& url)
{
    if (url.empty())
        return;
    std::call_once(curlInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
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
    running_[handle] = url;
    auto task = std::make_unique<Task>(Task{this, url, handle});
    threads_[handle] = std::thread([this, t = std::move(task)]() mutable { Worker(std::move(t)); });
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

void CDownFileByHttpInterface::Worker(std::unique_ptr<Task> task)
{
    // Downloads give way to everything else the program does.
    ::setpriority(PRIO_PROCESS, ::gettid(), 19);
    size_t size = 0;
    auto body = Transfer(*this, task->url).Run(size);
    if (!aborting_) {
        if (body)
            OnDownloadComplete(task->url, std::move(body), size);
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
        finishedSignal_.wait(lock, allFinished);
    }
    for (auto& [handle, thread] : threads_)
        thread.join();
    threads_.clear();
    finished_.clear();
    running_.clear();
    aborting_ = false;
}
