// Shared by the analysis tests: a temporary volume with the running application installed
// at /Applications/Vendrel.app (where the request files live) and the maker's server pointed
// at a port of 127.0.0.1 where nothing listens, so the removal database fetch fails at once
// unless a test starts a server of its own.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/env.h"
#include "tests/support/server.h"
#include "tests/support/volume.h"

namespace vendrel::test {

inline constexpr const char* kRunningBundle = "/Applications/Vendrel.app";
inline constexpr const char* kRequestFolder = "/Applications/Vendrel.app/Contents";

class AnalysisVolumeTest : public ::testing::Test {
  protected:
    void SetUp() override { vol.mkdir(kRequestFolder); }

    TempVolume vol;
    ScopedEnv bundle{"VENDREL_APP_BUNDLE", std::string(kRunningBundle)};
    ScopedEnv unreachable{"VENDREL_SERVER_URL", unreachableServerUrl()};
};

}  // namespace vendrel::test
