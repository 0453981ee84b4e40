#include "codeclister/DirectXFiles.h"

namespace {
// One step of the ladder: when `file` is at least `least` (for files of the 4.x line) or at least
// `leastV5` (for the 5.x line, when given), DirectX is at least `result`. Steps run in order and a later
// match raises the version.
struct Step {
  const char* file;
  uint64_t least;
  uint64_t leastV5;  // 0: the step has no 5.x rule and compares any version against `least`
  DirectXVersion result;
};

constexpr Step kSteps[] = {
    {"ddraw.dll", MakeFileVersion(4, 2, 0, 95), 0, {1, 0, ' '}},
    {"ddraw.dll", MakeFileVersion(4, 3, 0, 1096), 0, {2, 0, ' '}},
    {"ddraw.dll", MakeFileVersion(4, 4, 0, 68), 0, {3, 0, ' '}},
    {"d3drg8x.dll", MakeFileVersion(4, 4, 0, 70), 0, {3, 0, 'a'}},
    {"ddraw.dll", MakeFileVersion(4, 5, 0, 155), 0, {5, 0, ' '}},
    {"ddraw.dll", MakeFileVersion(4, 6, 0, 318), 0, {6, 0, ' '}},
    {"ddraw.dll", MakeFileVersion(4, 6, 0, 436), 0, {6, 1, ' '}},
    {"dplayx.dll", MakeFileVersion(4, 6, 3, 518), 0, {6, 1, 'a'}},
    {"ddraw.dll", MakeFileVersion(4, 7, 0, 700), 0, {7, 0, ' '}},
    {"dinput.dll", MakeFileVersion(4, 7, 0, 716), 0, {7, 0, 'a'}},
    {"ddraw.dll", MakeFileVersion(4, 8, 0, 400), MakeFileVersion(5, 1, 2258, 400), {8, 0, ' '}},
    {"d3d8.dll", MakeFileVersion(4, 8, 1, 881), MakeFileVersion(5, 1, 2600, 881), {8, 1, ' '}},
    {"d3d8.dll", MakeFileVersion(4, 8, 1, 901), MakeFileVersion(5, 1, 2600, 901), {8, 1, 'a'}},
    {"mpg2splt.ax", MakeFileVersion(6, 3, 1, 885), 0, {8, 1, 'b'}},
    {"dpnet.dll", MakeFileVersion(4, 9, 0, 134), MakeFileVersion(5, 2, 3677, 134), {8, 2, ' '}},
    {"d3d9.dll", 0, 0, {9, 0, ' '}},  // any d3d9.dll at all
};

bool Reaches(const Step& step, uint64_t version) {
  if (step.leastV5 == 0) return version >= step.least;
  const uint64_t line = version >> 48;
  if (line == 4) return version >= step.least;
  if (line == 5) return version >= step.leastV5;
  return false;
}
}  // namespace

std::optional<DirectXVersion> DirectXVersionFromFiles(const FileVersionLookup& fileVersion) {
  std::optional<DirectXVersion> found;
  for (const Step& step : kSteps) {
    const std::optional<uint64_t> version = fileVersion(step.file);
    if (version && Reaches(step, *version)) found = step.result;
  }
  return found;
}
