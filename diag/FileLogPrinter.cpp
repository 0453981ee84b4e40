#include "diag/FileLogPrinter.h"

#include "fileio/TextEncoding.h"

#include <cstdio>

const CClassRecord CFileLogPrinter::classRecord{"CFileLogPrinter", &CNameObject::classRecord, nullptr};

std::tm LocalTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

CFileLogPrinter::CFileLogPrinter(std::string basePath, uint32_t options, LocalTimeClock clock)
    : options_(options), basePath_(std::move(basePath)), clock_(std::move(clock))
{
    // Without appending the file starts empty, created when missing.
    openMode_ = FILE_READ_WRITE | FILE_SHARE_READ | ((options_ & LOG_APPEND) ? FILE_OPEN_ALWAYS : FILE_CREATE_ALWAYS);
    if (options_ & LOG_WRITE_THROUGH)
        openMode_ |= FILE_WRITE_THROUGH;
    const std::tm now = clock_();
    year_ = now.tm_year + 1900;
    month_ = now.tm_mon + 1;
    day_ = now.tm_mday;
    OpenFile();
}

CFileLogPrinter::~CFileLogPrinter()
{
    file_.Close();
}

std::string CFileLogPrinter::FilePath() const
{
    if (!(options_ & LOG_DAILY))
        return basePath_ + ".log";
    char name[64];
    std::snprintf(name, sizeof name, ".%u-%02u-%02u.log", unsigned(year_), unsigned(month_), unsigned(day_));
    return basePath_ + name;
}

void CFileLogPrinter::OpenFile()
{
    if (file_.Open(FilePath().c_str(), openMode_) && (options_ & LOG_APPEND))
        file_.Seek(0, 0, FILE_FROM_END);
}

void CFileLogPrinter::WriteCut(const char* text, int length)
{
    if (length < 0)
        return;
    if (size_t(length) >= kLineBuffer) {
        // vsnprintf stopped at the buffer's end, perhaps inside a character: end before the character
        // that holds the last byte.
        const std::string cut = CutToUtf8Bytes(std::string_view(text, kLineBuffer - 1), kLineBuffer - 2);
        file_.Write(cut.data(), cut.size());
    } else {
        file_.Write(text, size_t(length));
    }
}

void CFileLogPrinter::Print(int, int, const char* format, va_list arguments)
{
    std::lock_guard<std::recursive_mutex> hold(lock_);
    const std::tm now = clock_();
    if (options_ & LOG_DAILY) {
        const int year = now.tm_year + 1900, month = now.tm_mon + 1, day = now.tm_mday;
        if (year != year_ || month != month_ || day != day_) {
            file_.Close();
            year_ = year;
            month_ = month;
            day_ = day;
            OpenFile();
        }
    }
    WriteCut(line_, std::snprintf(line_, kLineBuffer, "[%02d-%02d %02d:%02d:%02d]:", now.tm_mon + 1,
                                  now.tm_mday, now.tm_hour, now.tm_min, now.tm_sec));
    WriteCut(line_, std::vsnprintf(line_, kLineBuffer, format ? format : "", arguments));
    file_.Write("\r\n", 2);
}
