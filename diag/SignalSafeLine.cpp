#include "diag/SignalSafeLine.h"

#include <cerrno>
#include <ctime>
#include <unistd.h>

CSignalSafeLine& CSignalSafeLine::Add(const char* text, size_t length)
{
    for (size_t i = 0; i < length && length_ < kCapacity; ++i)
        text_[length_++] = text[i];
    return *this;
}

CSignalSafeLine& CSignalSafeLine::Add(const char* text)
{
    while (text && *text && length_ < kCapacity)
        text_[length_++] = *text++;
    return *this;
}

CSignalSafeLine& CSignalSafeLine::AddHex(uint64_t value, bool upperCase)
{
    const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    char reversed[16];
    int count = 0;
    do {
        reversed[count++] = digits[value & 0xF];
        value >>= 4;
    } while (value);
    while (count > 0)
        Add(&reversed[--count], 1);
    return *this;
}

CSignalSafeLine& CSignalSafeLine::AddDecimal(int64_t value)
{
    uint64_t magnitude = value < 0 ? 0 - uint64_t(value) : uint64_t(value);
    if (value < 0)
        Add("-", 1);
    char reversed[20];
    int count = 0;
    do {
        reversed[count++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    while (count > 0)
        Add(&reversed[--count], 1);
    return *this;
}

CSignalSafeLine& CSignalSafeLine::AddTwoDigits(int value)
{
    const char pair[2] = {char('0' + value / 10 % 10), char('0' + value % 10)};
    return Add(pair, 2);
}

CSignalSafeLine& CSignalSafeLine::AddTimePrefix(long utcOffsetSeconds)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const int64_t local = int64_t(now.tv_sec) + utcOffsetSeconds;
    int64_t days = local / 86400;
    int64_t second = local % 86400;
    if (second < 0) {
        second += 86400;
        --days;
    }
    // Month and day of the civil calendar from the days since 1970-01-01.
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = int(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = int(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);

    Add("[").AddTwoDigits(month).Add("-").AddTwoDigits(day).Add(" ");
    AddTwoDigits(int(second / 3600)).Add(":").AddTwoDigits(int(second / 60 % 60)).Add(":");
    return AddTwoDigits(int(second % 60)).Add("]:");
}

bool CSignalSafeLine::WriteTo(int fd)
{
    text_[length_] = '\r';
    text_[length_ + 1] = '\n';
    const size_t total = length_ + 2;
    size_t done = 0;
    while (fd >= 0 && done < total) {
        const ssize_t n = ::write(fd, text_ + done, total - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    return done == total;
}
