// The program's start-up, frame loop and shut-down, on any platform.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/frame_activity.h"
#include "platform/platform.h"

// A picture of the 3D view instead of an editing session: the view without the GUI, without effects
// (every object on the fixed-function path), after `frames` frames from the camera's start.
struct PictureRequest {
    std::string path;    // the PNG to write; empty: no picture, the editor runs as usual
    int select = -1;     // the object of the selected tag's group to select (highlight), -1 for none
    unsigned frames = 5;  // the first frame draws before the camera has set its view
};

// Builds the manager and sets up the GUI (without effects when a picture is requested). On failure
// everything built is torn down again, `error` says what failed, and the result is false.
bool StartEditor(IPlatform& platform, std::string& error, const PictureRequest& picture = {});
// Tears down everything StartEditor built.
void StopEditor();

// Drains the window messages and runs a frame whenever none is waiting and 16 ms have passed since the
// last frame began. Between frames it waits for a message or for the next frame to be due. When nothing
// has changed for a while (see frame_activity.h) it rests: no frame, only the editor's timed work once a
// second, and it waits for the next message instead.
class CFrameLoop {
public:
    static constexpr DWORD kFrameInterval = 16;

    explicit CFrameLoop(IPlatform& platform);

    // Runs until the Quit message and returns its exit code. `afterFrame` (optional) runs after every frame.
    int Run(const std::function<void(std::uint64_t frame)>& afterFrame = {});
    // One frame: input, objects, editor, camera, fill-mode key, drawing, camera transforms.
    void RunFrame();
    std::uint64_t FrameCount() const { return frames_; }
    // False: a frame every 16 ms even when nothing changes (a picture is taken after a count of frames).
    void SetRestWhenIdle(bool rest) { restWhenIdle_ = rest; }

private:
    // What the window procedure does with a message.
    void Dispatch(const PlatformMessage& message);

    IPlatform& platform_;
    DWORD clock_;
    std::uint64_t frames_ = 0;
    CFrameActivity activity_;
    bool restWhenIdle_ = true;
};

// What the command line asks for: `vellumar [--headless [FRAMES]] [--picture OUT.png [--select INDEX]] [FILE]`.
struct EditorArguments {
    bool headless = false;
    unsigned headlessFrames = 180;
    std::string stageFile;
    PictureRequest picture;
};
extern const char* const kEditorUsage;
// False (and `arguments` partly filled) when the command line is not of that form.
bool ParseEditorArguments(int argc, const char* const* argv, EditorArguments& arguments);

// Start, loop, stop. Returns the program's exit code (1 when start-up failed). A `stageFile` is opened
// before the first frame; when it cannot be read the result is 2. Failures are handed to `report` as
// "Vellumar: REASON" (by default to stderr). With a picture requested the loop ends after its frames;
// the result is 0 once the file is written, else 1.
int RunEditor(IPlatform& platform, const std::string& stageFile = "",
              const std::function<void(const std::string& text)>& report = {}, const PictureRequest& picture = {});
