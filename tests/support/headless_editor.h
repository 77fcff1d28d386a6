// The whole editor on the headless platform, for tests that run frames with scripted input.
#pragma once

#include <string>

#include "app/application.h"
#include "app/manager.h"
#include "platform/headless/headless_platform.h"

class HeadlessEditor {
public:
    // Starts the editor (manager, GUI) in the current working directory; fails the test if it cannot.
    HeadlessEditor();
    ~HeadlessEditor();
    HeadlessEditor(const HeadlessEditor&) = delete;
    HeadlessEditor& operator=(const HeadlessEditor&) = delete;

    CHeadlessPlatform& Platform() { return platform_; }
    CManager& Manager() { return *CManager::GetInstance(); }
    CRecordingDevice& Device() { return *platform_.Device(); }
    // Runs n frames back to back (the frame clock is not consulted).
    void Frames(int n = 1);
    bool Started() const { return started_; }

private:
    CHeadlessPlatform platform_;
    CFrameLoop* loop_ = nullptr;
    bool started_ = false;
};
