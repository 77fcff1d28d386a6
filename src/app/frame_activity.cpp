#include "app/frame_activity.h"

#include "app/manager.h"
#include "editor/editor.h"
#include "input/input.h"
#include "render/camera.h"

void CFrameActivity::Changed(DWORD now) {
    lastChange_ = now;
    framesSinceChange_ = 0;
}

void CFrameActivity::FrameDone(DWORD now, bool changing) {
    if (changing) {
        Changed(now);
        return;
    }
    if (framesSinceChange_ < kSettleFrames) ++framesSinceChange_;
    lastTick_ = now;  // frames run the timed work themselves
}

bool CFrameActivity::Resting(DWORD now) const {
    // Unsigned differences: the wrap of the millisecond counter is harmless.
    return framesSinceChange_ >= kSettleFrames && now - lastChange_ >= kSettleTime;
}

bool CFrameActivity::TickDue(DWORD now) {
    if (now - lastTick_ < kTimerPeriod) return false;
    lastTick_ = now;
    return true;
}

DWORD CFrameActivity::UntilTick(DWORD now) const {
    const DWORD since = now - lastTick_;
    return since >= kTimerPeriod ? 0 : kTimerPeriod - since;
}

bool FrameLeavesChange(const CManager& manager) {
    if (const CInputKeyboard* keyboard = manager.GetKeyboard(); keyboard && keyboard->AnyPress()) return true;
    if (const CInputMouse* mouse = manager.GetMouse(); mouse && mouse->IsActive()) return true;
    if (CCamera::IsSpinning()) return true;
    const CEditor* editor = manager.GetEditor();
    return editor && editor->IsWorking();
}
