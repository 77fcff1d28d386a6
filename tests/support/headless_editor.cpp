#include "support/headless_editor.h"

#include <gtest/gtest.h>

HeadlessEditor::HeadlessEditor() {
    std::string error;
    started_ = StartEditor(platform_, error);
    EXPECT_TRUE(started_) << error;
    if (started_) loop_ = new CFrameLoop(platform_);
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
