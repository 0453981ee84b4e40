#pragma once
// One log file: each Print appends "[MM-DD hh:mm:ss]:" + the message + CR LF under a lock, so lines of
// different threads never interleave. Messages longer than the line buffer are cut.
#include "diag/NameObject.h"
#include "diag/PosixFileAccessor.h"

#include <cstdarg>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>

enum LogPrinterOption : uint32_t {
    LOG_APPEND = 0x1,         // continue the file instead of truncating it
    LOG_WRITE_THROUGH = 0x2,  // every line reaches the disk before Print returns
    LOG_DAILY = 0x4,          // one file per day: base.YYYY-MM-DD.log
};

// The local time, replaceable in tests.
using LocalTimeClock = std::function<std::tm()>;
std::tm LocalTimeNow();

class CFileLogPrinter : public CNameObject {
public:
    static const CClassRecord classRecord;
    static constexpr size_t kLineBuffer = 40960;
    const CClassRecord* GetClassRecord() const override { return &classRecord; }

    // `basePath` is the file path without ".log".
    CFileLogPrinter(std::string basePath, uint32_t options, LocalTimeClock clock = LocalTimeNow);
    ~CFileLogPrinter() override;

    void Print(int category, int level, const char* format, va_list arguments)
        __attribute__((format(printf, 4, 0)));

    std::string FilePath() const;
    bool IsOpen() const { return file_.IsOpen(); }
    // The open file, for the crash report's lines; -1 when it could not be opened.
    int FileDescriptor() const { return file_.Descriptor(); }

private:
    void OpenFile();
    void WriteCut(const char* text, int length);

    char line_[kLineBuffer];
    const uint32_t options_;
    CPosixFileAccessor file_;
    int year_ = 0;
    int month_ = 0;
    int day_ = 0;
    uint32_t openMode_;
    const std::string basePath_;
    LocalTimeClock clock_;
    // Recursive, so that a crash report written while this thread held it still gets through.
    std::recursive_mutex lock_;
};
