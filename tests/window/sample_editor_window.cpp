#include "sample_editor_window.h"

#include <filesystem>
#include <string>

#include "app/application.h"
#include "render/camera.h"

void SampleEditorWindow::SetUp() {
    std::filesystem::create_directory_symlink(SourceDir() / "Data", folder_.Path() / "Data");
    CCamera::ResetSpin();
    std::string error;
    ASSERT_TRUE(StartEditor(platform, error)) << error;
}
