#pragma once
// What the lyric thread reads from the song's player; tests put a clock of their own here.
class IMediaClock {
public:
    virtual ~IMediaClock() = default;
    virtual double Position() = 0;  // seconds
    virtual bool IsEnded() const = 0;
};
