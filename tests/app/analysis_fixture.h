// Shared by the analysis and rater tests: a temporary volume with the running application
// installed at /Applications/Vendrel.app (where the request files live) and the maker's
// server pointed at a closed port on 127.0.0.1, so the removal database fetch fails at once
// unless a test points it elsewhere.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

#include "tests/support/server.h"
#include "tests/support/volume.h"

namespace vendrel::test {

inline constexpr const char* kRunningBundle = "/Applications/Vendrel.app";
inline constexpr const char* kRequestFolder = "/Applications/Vendrel.app/Contents";

class AnalysisVolumeTest : public ::testing::Test {
  protected:
    void SetUp() override { vol.mkdir(kRequestFolder); }

    TempVolume vol;
    ScopedEnv bundle{"VENDREL_APP_BUNDLE", kRunningBundle};
    ScopedEnv server{"VENDREL_SERVER_URL", "http://127.0.0.1:1"};
};

}  // namespace vendrel::test
