#pragma once
// Replaces the overlays' pauses with a record of them for the life of one test.
#include "effects/Pacing.h"

#include <vector>

class PacingRecorder {
public:
    PacingRecorder()
    {
        Pauses().clear();
        SetPaceFunction(&Record);
    }
    ~PacingRecorder() { SetPaceFunction(nullptr); }
    static std::vector<int>& Pauses()
    {
        static std::vector<int> pauses;
        return pauses;
    }

private:
    static void Record(int ms) { Pauses().push_back(ms); }
};
