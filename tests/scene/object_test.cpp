#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/object.h"

namespace {

std::vector<std::string> journal;

// A scene object that writes what happens to it into the journal.
class Probe : public CObject {
public:
    Probe(const std::string& name, int priority = 0, bool dieOnUpdate = false)
        : CObject(priority), name_(name), dieOnUpdate_(dieOnUpdate) {}
    ~Probe() override { journal.push_back("delete " + name_); }
    int Init() override { return 0; }
    void Uninit() override {
        journal.push_back("uninit " + name_);
        SetDeath();
    }
    void Update() override {
        journal.push_back("update " + name_);
        if (dieOnUpdate_) SetDeath();
    }
    void Draw() override { journal.push_back("draw " + name_); }
    void SetPos(D3DXVECTOR3) override {}
    D3DXVECTOR3 GetPos() override { return {}; }
    bool IsDeath() override { return death_; }

private:
    std::string name_;
    bool dieOnUpdate_;
};

// Forward and backward links agree and the ends are terminated.
void ExpectConsistent(int priority, const std::vector<CObject*>& expected) {
    std::vector<CObject*> forward;
    for (CObject* o = CObject::GetHead(priority); o; o = o->GetNext()) forward.push_back(o);
    EXPECT_EQ(forward, expected);
    std::vector<CObject*> backward;
    for (CObject* o = CObject::GetTail(priority); o; o = o->GetPrev()) backward.insert(backward.begin(), o);
    EXPECT_EQ(backward, expected);
}

class ObjectLists : public ::testing::Test {
protected:
    void SetUp() override { journal.clear(); }
    void TearDown() override {
        CObject::ReleaseAll();
        for (int p = 0; p < CObject::NUM_PRIORITY; ++p) {
            EXPECT_EQ(CObject::GetHead(p), nullptr);
            EXPECT_EQ(CObject::GetTail(p), nullptr);
        }
    }
};

}  // namespace

TEST_F(ObjectLists, RemovingHeadMiddleAndTailKeepsTheListConsistent) {
    auto* a = new Probe("a");
    auto* b = new Probe("b");
    auto* c = new Probe("c");
    auto* d = new Probe("d");
    auto* e = new Probe("e");
    ExpectConsistent(0, {a, b, c, d, e});

    c->SetDeath();  // middle
    CObject::UpdateAll();
    ExpectConsistent(0, {a, b, d, e});
    a->SetDeath();  // head
    CObject::UpdateAll();
    ExpectConsistent(0, {b, d, e});
    e->SetDeath();  // tail
    CObject::UpdateAll();
    ExpectConsistent(0, {b, d});
}

TEST_F(ObjectLists, RemovingTheOnlyObjectEmptiesTheListAndANewOneBecomesHeadAndTail) {
    auto* only = new Probe("only", 3);
    only->SetDeath();
    CObject::UpdateAll();
    EXPECT_EQ(CObject::GetHead(3), nullptr);
    EXPECT_EQ(CObject::GetTail(3), nullptr);
    auto* next = new Probe("next", 3);
    ExpectConsistent(3, {next});
}

TEST_F(ObjectLists, AnObjectDyingInItsUpdateIsDeletedInTheSameUpdateAllAndNotDrawn) {
    new Probe("dies", 1, true);
    new Probe("later", 2);
    CObject::UpdateAll();
    // Its list is swept before the next priority is updated.
    EXPECT_EQ(journal, (std::vector<std::string>{"update dies", "uninit dies", "delete dies", "update later"}));
    journal.clear();
    CObject::DrawAll();
    EXPECT_EQ(journal, (std::vector<std::string>{"draw later"}));
}

TEST_F(ObjectLists, PausedIsDrawnButNotUpdatedHiddenIsUpdatedButNotDrawn) {
    auto* paused = new Probe("paused");
    auto* hidden = new Probe("hidden");
    paused->Pause();
    hidden->Hide();
    CObject::UpdateAll();
    CObject::DrawAll();
    EXPECT_EQ(journal, (std::vector<std::string>{"update hidden", "draw paused"}));
    paused->Resume();
    hidden->Show();
    journal.clear();
    CObject::UpdateAll();
    CObject::DrawAll();
    EXPECT_EQ(journal,
              (std::vector<std::string>{"update paused", "update hidden", "draw paused", "draw hidden"}));
}

TEST_F(ObjectLists, PassesRunInPriorityOrderAndADeadObjectIsDrawnUntilSwept) {
    new Probe("p4", 4);
    auto* p0 = new Probe("p0", 0);
    new Probe("p2", 2);
    p0->SetDeath();
    CObject::DrawAll();
    EXPECT_EQ(journal, (std::vector<std::string>{"draw p0", "draw p2", "draw p4"}));
}

TEST_F(ObjectLists, ReleaseAllUninitsThenDeletesEveryObject) {
    new Probe("x", 0);
    new Probe("y", 4);
    CObject::ReleaseAll();
    EXPECT_EQ(journal, (std::vector<std::string>{"uninit x", "uninit x", "delete x", "uninit y", "uninit y",
                                                 "delete y"}));
}
