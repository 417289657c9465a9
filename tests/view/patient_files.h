// A folder of result files for the viewer's tests: three measurements of patient "P-7" on
// 2024/05/11 to 13, their left-right differences 2.9 %, 26.5 % and 19.0 %; one of patient
// "P-4"; and one file that ends early.
#pragma once

#include <string>
#include <vector>

#include "model/model.h"
#include "support/result_files.h"
#include "support/workdir.h"

namespace tallyx::testing {

inline void WritePatientFiles(const WorkDir& w, const std::string& folder) {
  w.MakeDir(folder);
  const char* rights[] = {"118.0", "90.0", "100.0"};  // left: 121.5, 122.5, 123.5
  for (int seed = 1; seed <= 3; ++seed) {
    std::vector<std::string> lines = ResultLines(
        {.mode = model::Mode::kMuscleStrength, .turns = 3, .waveform_lines = 720, .seed = seed});
    lines[7] = Sjis("P-7\t患者コード");
    lines[26] = Sjis(std::string(rights[seed - 1]) + ",4,50\t右");
    w.Write(folder + "/Brawn_00000" + std::to_string(seed) + ".txt", JoinLines(lines));
  }
  w.Write(folder + "/Brawn_000004.txt", ResultFile({.mode = model::Mode::kMuscleStrength, .seed = 4}));
  std::vector<std::string> broken = ResultLines({.mode = model::Mode::kMuscleStrength, .seed = 5});
  broken.resize(3);
  w.Write(folder + "/Brawn_000005.txt", JoinLines(broken));
}

}  // namespace tallyx::testing
