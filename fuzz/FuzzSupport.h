#pragma once
// What every fuzz target shares: a program folder of its own in memory-backed storage, quiet Qt
// messages, the input written to a file as the program would find it, and checks that stop the run.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Makes the program folder (KORVEL_HOME, so ProgramFile() names files in it) for this process, removed
// again at its end, and silences Qt's warnings about bad files, which are expected here. Call from
// LLVMFuzzerInitialize.
void PrepareFuzzHome();

// Replaces the file with these bytes; a failure to write stops the run.
void WriteFuzzFile(const std::string& path, std::string_view bytes);
inline void WriteFuzzFile(const std::string& path, const uint8_t* data, size_t size)
{
    WriteFuzzFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
}

// The file's bytes; empty when it is missing.
std::string ReadFuzzFile(const std::string& path);

// A broken property is a finding like a crash: libFuzzer keeps the input that showed it.
[[noreturn]] void FuzzFailure(const char* what, const char* file, int line);
#define FUZZ_CHECK(condition, what) \
    do { \
        if (!(condition)) \
            FuzzFailure(what, __FILE__, __LINE__); \
    } while (0)
