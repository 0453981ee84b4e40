#pragma once
// The program's diagnostic log, ImportantError.log in the program folder, appended to and written
// through.
#include "diag/FileLogPrinter.h"

#include <memory>

class CLogManager : public CNameObject {
public:
    static const CClassRecord classRecord;
    const CClassRecord* GetClassRecord() const override { return &classRecord; }

    // Logs to `basePath`.log; without a path, to ImportantError.log in the program folder.
    explicit CLogManager(const std::string& basePath = {});

    // Appends one line; 1 when a printer took it, else 0. Category and level do not filter.
    int Print(int category, int level, const char* format, ...) __attribute__((format(printf, 4, 5)));
    int PrintV(int category, int level, const char* format, va_list arguments)
        __attribute__((format(printf, 4, 0)));

    CFileLogPrinter* Printer() { return printer_.get(); }

private:
    std::unique_ptr<CFileLogPrinter> printer_;
};

// The process-wide log, made on first use and kept to the very end of the process (a crash report may
// be written during exit).
CLogManager& TheLogManager();
