#include "FuzzSupport.h"

#include "fileio/AtomicFile.h"
#include "fileio/FdIo.h"

#include <QtGlobal>

#include <fcntl.h>
#include <sanitizer/common_interface_defs.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

std::string home;

void RemoveHome()
{
    std::error_code error;
    std::filesystem::remove_all(home, error);
}

void DropQtMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

// Memory-backed when the machine has it: every input goes through a file, and many run a second.
std::filesystem::path ScratchParent()
{
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error))
        return "/dev/shm";
    return std::filesystem::temp_directory_path(error);
}

}  // namespace

void PrepareFuzzHome()
{
    std::string pattern = (ScratchParent() / "korvel-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("korvel fuzz: cannot make the program folder");
        std::exit(2);
    }
    home = pattern;
    ::setenv("KORVEL_HOME", home.c_str(), 1);
    // Gone after a normal end, a sanitizer's report or a broken check.
    std::atexit(RemoveHome);
    __sanitizer_set_death_callback(RemoveHome);
    qInstallMessageHandler(DropQtMessage);
}

void WriteFuzzFile(const std::string& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool written = fd >= 0 && WriteFully(fd, bytes.data(), bytes.size()) == bytes.size();
    if (fd >= 0)
        ::close(fd);
    if (!written)
        FuzzFailure(("cannot write " + path).c_str(), __FILE__, __LINE__);
}

std::string ReadFuzzFile(const std::string& path)
{
    return ReadWholeFile(path).value_or(std::string());
}

void FuzzFailure(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "\n==korvel fuzz== %s:%d: %s\n", file, line, what);
    RemoveHome();
    std::abort();
}
