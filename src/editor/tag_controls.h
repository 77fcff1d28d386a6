// The tag controls of the main window: add a tag, choose the selected tag, rename it, copy groups.
#pragma once

#include <string>

class CEditor;

class CTagControls {
public:
    explicit CTagControls(CEditor& editor) : editor_(editor) {}

    void Show();

    bool IsChangeMode() const { return changeMode_; }
    bool IsCopyMode() const { return copyMode_; }
    int CopyTargetIndex() const { return copyTargetIndex_; }
    // Why the last copy was refused ("" after one that worked).
    const std::string& Notice() const { return notice_; }

private:
    void ShowContextMenu();
    void ShowRenameField();
    void ShowCopyControls();

    CEditor& editor_;
    char stageLabelBuffer_[256] = {};  // "##StageLabel": the name "SetTag" adds
    char changeTagBuffer_[256] = {};   // "ChangeTag": the new name of the selected tag
    bool contextMenuArmed_ = false;    // the tag combo has seen a right-button press
    bool changeMode_ = false;
    bool copyMode_ = false;
    int copyTargetIndex_ = 0;
    std::string notice_;
};
