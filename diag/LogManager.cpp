#include "diag/LogManager.h"

#include "fileio/ProgramFolder.h"

namespace {

CNameObject* CreateLogManager()
{
    return new CLogManager;
}

}  // namespace

const CClassRecord CLogManager::classRecord{"CLogManager", &CNameObject::classRecord, CreateLogManager};

CLogManager::CLogManager(const std::string& basePath)
    : printer_(std::make_unique<CFileLogPrinter>(basePath.empty() ? ProgramFile("ImportantError") : basePath,
                                                 LOG_APPEND | LOG_WRITE_THROUGH))
{
}

int CLogManager::PrintV(int category, int level, const char* format, va_list arguments)
{
    if (!printer_)
        return 0;
    printer_->Print(category, level, format, arguments);
    return 1;
}

int CLogManager::Print(int category, int level, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const int result = PrintV(category, level, format, arguments);
    va_end(arguments);
    return result;
}

CLogManager& TheLogManager()
{
    static CLogManager* const manager = new CLogManager;
    return *manager;
}
