// A fixture for the tests that drive the editor in a real window of their own process.
#pragma once

#include <gtest/gtest.h>

#include "platform/sdl/sdl_platform.h"
#include "support/temp_dir.h"

// The editor in a real window of this process, started with an empty stage in a scratch folder whose Data/
// is the sample data (so the window layout it saves stays there).
class SampleEditorWindow : public ::testing::Test {
protected:
    void SetUp() override;

    TempDir folder_;
    ScopedWorkingDir inFolder_{folder_.Path()};
    CSdlPlatform platform;
};
