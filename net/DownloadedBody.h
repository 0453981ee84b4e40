#pragma once
// A download's body as it arrives: a temporary file named "tmpfile…" in a folder of the downloader's
// choice, deleted with this object unless it was moved to its final name.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class CDownloadedBody {
public:
    // A new empty temporary file in `folder`; nothing when it cannot be made.
    static std::optional<CDownloadedBody> Create(const std::string& folder);

    CDownloadedBody(CDownloadedBody&& other) noexcept;
    CDownloadedBody& operator=(CDownloadedBody&& other) noexcept;
    CDownloadedBody(const CDownloadedBody&) = delete;
    CDownloadedBody& operator=(const CDownloadedBody&) = delete;
    ~CDownloadedBody();

    bool Append(const char* data, size_t size);
    int64_t Size() const { return size_; }
    const std::string& Path() const { return path_; }

    // Gives the file `path` as its name, replacing a file there; across file systems it is copied
    // under a temporary name beside `path` first, so that `path` is never seen half written. False
    // when it cannot, and the body stays where it is.
    bool MoveTo(const std::string& path);

private:
    CDownloadedBody(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
    void Discard();

    std::string path_;
    int fd_ = -1;
    int64_t size_ = 0;
};
