// The base of every object in the scene's update and draw passes. Objects link themselves into one of
// five priority lists when constructed; the passes update, draw and finally delete them.
#pragma once

#include "d3d/d3dx9.h"

class CObject {
public:
    static constexpr int NUM_PRIORITY = 5;

    explicit CObject(int priority);
    virtual ~CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

    virtual int Init() = 0;
    // Must mark the object dead and be safe to call twice.
    virtual void Uninit() = 0;
    virtual void Update() = 0;
    // Must not unlink or delete any object.
    virtual void Draw() = 0;
    virtual void SetDeath() { death_ = true; }
    virtual void Hide() { drawOff_ = true; }
    virtual void Show() { drawOff_ = false; }
    virtual void Pause() { updateOff_ = true; }
    virtual void Resume() { updateOff_ = false; }
    virtual void SetPos(D3DXVECTOR3 pos) = 0;
    virtual D3DXVECTOR3 GetPos() = 0;
    virtual bool IsDeath() = 0;
    virtual bool IsPaused() { return updateOff_; }
    virtual bool IsHidden() { return drawOff_; }

    // Every object's Update (unless paused), then the sweep of dead ones, one priority at a time.
    static void UpdateAll();
    // Every object's Draw unless hidden, priorities 0 to 4.
    static void DrawAll();
    // Uninit and delete every object; the lists are empty afterwards.
    static void ReleaseAll();

    // For inspection (tests, diagnostics).
    static CObject* GetHead(int priority) { return head_[priority]; }
    static CObject* GetTail(int priority) { return tail_[priority]; }
    CObject* GetNext() const { return next_; }
    CObject* GetPrev() const { return prev_; }
    int GetPriority() const { return priority_; }

protected:
    bool death_ = false;

private:
    // Unlinks, uninitialises and deletes the object when it is dead.
    void DeleteIfDead();

    static CObject* head_[NUM_PRIORITY];
    static CObject* tail_[NUM_PRIORITY];

    CObject* prev_ = nullptr;
    CObject* next_ = nullptr;
    int priority_;
    bool updateOff_ = false;
    bool drawOff_ = false;
};
