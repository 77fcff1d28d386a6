// A headless editor started in a scratch copy of the sample Data/ folder (so file commands never touch
// the repository's files), with a widget driver and short-cuts to the editor, stage and pointer.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "editor/creation_panel.h"
#include "editor/editor.h"
#include "editor/file_menu.h"
#include "editor/object_list.h"
#include "editor/tag_controls.h"
#include "gui_driver.h"
#include "scene/pointer.h"
#include "scene/stage.h"
#include "support/temp_dir.h"

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        fs::copy(SourceDir() / "Data", dir_.Path() / "Data", fs::copy_options::recursive);
        fs::remove(dir_.Path() / "Data/FILE/stage.txt");
        fs::remove(dir_.Path() / "Data/FILE/stage.json");
        // The recent files go to a settings folder of the test's own, never the user's.
        setenv("XDG_CONFIG_HOME", (dir_.Path() / "config").c_str(), 1);
        PrepareData();
        cwd_ = std::make_unique<ScopedWorkingDir>(dir_.Path());
        app_ = std::make_unique<HeadlessEditor>();
        ASSERT_TRUE(app_->Started());
        gui_ = std::make_unique<GuiDriver>(*app_);
        // As the command line's file: opened before the first frame.
        if (!StartFile().empty()) {
            ASSERT_TRUE(Editor().GetFileMenu()->OpenFile(StartFile()).ok);
        }
        gui_->Idle(2);
    }
    void TearDown() override {
        gui_.reset();
        app_.reset();
        cwd_.reset();
    }

    // Changes the scratch Data/ folder before the editor starts.
    virtual void PrepareData() {}
    // The stage file the editor starts on ("" for none).
    virtual std::string StartFile() const { return {}; }

    CEditor& Editor() { return *app_->Manager().GetEditor(); }
    CStage& Stage() { return *app_->Manager().GetStage(); }
    CPointer& Pointer() { return *app_->Manager().GetPointer(); }
    CHeadlessPlatform& Platform() { return app_->Platform(); }
    GuiDriver& Gui() { return *gui_; }
    std::vector<StageObject>& StageGroup(const std::string& tag) { return Stage().Groups()[tag]; }
    std::vector<StageObject>& EditorGroup(const std::string& tag) { return Editor().groups[tag]; }
    std::filesystem::path FilePath(const std::string& name) const { return dir_.Path() / "Data/FILE" / name; }
    void WriteFile(const std::string& name, const std::string& text) { dir_.Write("Data/FILE/" + name, text); }

    // Places the pointer and presses Enter; the new object lands in the selected tag's group.
    void CreateAt(float x, float y, float z) {
        Pointer().SetPos(D3DXVECTOR3(x, y, z));
        Gui().Key(DIK_RETURN);
    }

    TempDir dir_;
    std::unique_ptr<ScopedWorkingDir> cwd_;
    std::unique_ptr<HeadlessEditor> app_;
    std::unique_ptr<GuiDriver> gui_;
};
