#pragma once
// One line of text built and written with nothing but stores and write(), for code that runs in a
// signal handler while another part of the process may hold any lock (the allocator's, stdio's).
// Text beyond the buffer is cut.
#include <cstddef>
#include <cstdint>

class CSignalSafeLine {
public:
    static constexpr size_t kCapacity = 2048;

    CSignalSafeLine& Add(const char* text);
    CSignalSafeLine& Add(const char* text, size_t length);
    CSignalSafeLine& AddHex(uint64_t value, bool upperCase);
    CSignalSafeLine& AddDecimal(int64_t value);
    CSignalSafeLine& AddTwoDigits(int value);
    // The log's prefix "[MM-DD hh:mm:ss]:" for the wall clock now, shifted by `utcOffsetSeconds`.
    CSignalSafeLine& AddTimePrefix(long utcOffsetSeconds);

    // The line and CR LF to `fd`; false when not all of it got there.
    bool WriteTo(int fd);

    const char* Text() const { return text_; }
    size_t Length() const { return length_; }

private:
    char text_[kCapacity + 2];  // room for CR LF
    size_t length_ = 0;
};
