#include "scene/object.h"

CObject* CObject::head_[NUM_PRIORITY] = {};
CObject* CObject::tail_[NUM_PRIORITY] = {};

CObject::CObject(int priority) : priority_(priority) {
    if (!head_[priority]) {
        head_[priority] = tail_[priority] = this;
        return;
    }
    prev_ = tail_[priority];
    tail_[priority]->next_ = this;
    tail_[priority] = this;
}

void CObject::UpdateAll() {
    for (int p = 0; p < NUM_PRIORITY; ++p) {
        for (CObject* o = head_[p]; o;) {
            CObject* next = o->next_;
            if (!o->IsPaused()) o->Update();
            o = next;
        }
        for (CObject* o = head_[p]; o;) {
            CObject* next = o->next_;
            o->DeleteIfDead();
            o = next;
        }
    }
}

void CObject::DrawAll() {
    for (int p = 0; p < NUM_PRIORITY; ++p)
        for (CObject* o = head_[p]; o; o = o->next_)
            if (!o->IsHidden()) o->Draw();
}

void CObject::ReleaseAll() {
    for (int p = 0; p < NUM_PRIORITY; ++p) {
        for (CObject* o = head_[p]; o;) {
            CObject* next = o->next_;
            o->Uninit();
            o = next;
        }
        for (CObject* o = head_[p]; o;) {
            CObject* next = o->next_;
            o->DeleteIfDead();
            o = next;
        }
    }
}

void CObject::DeleteIfDead() {
    if (!IsDeath()) return;
    if (prev_ && next_) {
        next_->prev_ = prev_;
        prev_->next_ = next_;
    } else if (next_) {
        next_->prev_ = nullptr;
        head_[priority_] = next_;
    } else if (prev_) {
        prev_->next_ = nullptr;
        tail_[priority_] = prev_;
    } else {
        head_[priority_] = tail_[priority_] = nullptr;
    }
    Uninit();
    delete this;
}
