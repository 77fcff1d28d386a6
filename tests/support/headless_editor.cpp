#include "support/headless_editor.h"

#include <gtest/gtest.h>

#include "render/view_aids.h"

HeadlessEditor::HeadlessEditor() {
    std::string error;
    started_ = StartEditor(platform_, error);
    EXPECT_TRUE(started_) << error;
    if (started_) loop_ = new CFrameLoop(platform_);
    // The scene's own draws, without the grid, outline and axis indicator drawn over it (their own test
    // turns them on).
    if (CViewAids* aids = started_ ? Manager().GetViewAids() : nullptr) aids->SetShown(false);
}

HeadlessEditor::~HeadlessEditor() {
    delete loop_;
    if (started_) StopEditor();
}

void HeadlessEditor::Frames(int n) {
    for (int i = 0; i < n && loop_; ++i) {
        platform_.Advance(CFrameLoop::kFrameInterval);
        loop_->RunFrame();
    }
}
