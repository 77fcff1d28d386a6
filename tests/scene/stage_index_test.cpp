// The stage's spatial index against brute force: picking, frustum and rectangle queries and dropping give
// the answers of a pass over every object, on random stages and after every kind of edit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <utility>

#include "document/edit_history.h"
#include "render/camera.h"
#include "scene/object_world.h"
#include "scene/picking.h"
#include "scene/stage.h"
#include "scene/surface_drop.h"
#include "support/temp_dir.h"

namespace {

const char* const kModels[] = {"crate", "slab", "post"};

struct Catalog {
    CModelManager models;
    Catalog() {
        models.AddModelData(kModels[0], ModelData{nullptr, 0, nullptr, {1, 1, 1}, {-1, -1, -1}});
        models.AddModelData(kModels[1], ModelData{nullptr, 0, nullptr, {5, 0.5f, 5}, {-5, 0, -5}});
        models.AddModelData(kModels[2], ModelData{nullptr, 0, nullptr, {0.2f, 6, 0.2f}, {-0.2f, 0, -0.2f}});
    }
};

struct Random {
    std::mt19937 engine{26};
    float In(float low, float high) { return std::uniform_real_distribution<float>(low, high)(engine); }
    D3DXVECTOR3 Vector(float low, float high) { return {In(low, high), In(low, high), In(low, high)}; }
    ObjectPart Part(bool unsaveable = true) {
        ObjectPart part{};
        part.Pos = Vector(-60, 60);
        part.Rot = Vector(-3, 3);
        part.Scale = Vector(0.3f, 3);
        if (In(0, 1) < 0.1f) part.Scale.y = -part.Scale.y;  // mirrored
        if (unsaveable && In(0, 1) < 0.02f) part.Pos.x = NAN;  // never picked, always a candidate
        part.ModelLabel = kModels[engine() % 3];
        return part;
    }
    // A camera somewhere round the stage and a rectangle of its 1280 x 720 view.
    CViewFrustum RectFrustum() {
        const D3DXVECTOR3 eye = Vector(-150, 150), at = Vector(-30, 30), up(0, 1, 0);
        D3DXMATRIX view, projection;
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection, In(0.3f, 1.4f), 16.0f / 9.0f, In(0.5f, 5), In(100, 400));
        CViewFrustum frustum;
        frustum.SetRect(view, projection, D3DVIEWPORT9{0, 0, 1280, 720, 0, 1}, In(0, 1280), In(0, 720), In(0, 1280),
                        In(0, 720));
        return frustum;
    }
};

// Every answer of the index equals the brute force's, for each group of the stage.
void ExpectAgrees(CStage& stage, const CModelManager& models, Random& random) {
    const CStageIndex& index = stage.Index();
    const StageGroups& groups = std::as_const(stage.Document()).Groups();
    for (const auto& [tag, group] : groups) {
        SCOPED_TRACE(tag);
        const CGroupIndex* spatial = index.Group(tag);
        if (group.empty()) continue;
        ASSERT_NE(spatial, nullptr);
        ASSERT_EQ(spatial->Size(), group.size());
        // Lines straight down through each object, and others from a random eye, hit what brute force hits.
        const std::size_t step = std::max<std::size_t>(1, group.size() / 100);
        for (std::size_t i = 0; i < group.size(); i += step) {
            PickRay ray;
            ray.origin = group[i].part.Pos + D3DXVECTOR3(random.In(-1, 1), 500, random.In(-1, 1));
            ray.dir = i % 2 ? D3DXVECTOR3(0, -1, 0) : random.Vector(-1, 1) - D3DXVECTOR3(0, 2, 0);
            ray.tEye = random.In(-1, 0);
            ASSERT_EQ(PickNearestObject(ray, group, models, *spatial), PickNearestObject(ray, group, models)) << i;
            if (i % (10 * step) != 0) continue;
            ASSERT_EQ(DropDistance(groups, tag, static_cast<int>(i), models, nullptr, index),
                      DropDistance(groups, tag, static_cast<int>(i), models, nullptr))
                << i;
        }
        for (int f = 0; f < 8; ++f) {
            const CViewFrustum frustum = random.RectFrustum();
            ASSERT_EQ(ObjectsMeetingFrustum(frustum, group, models, spatial), ObjectsMeetingFrustum(frustum, group, models));
            // The frustum's candidates hold every object whose box is not outside a plane.
            const std::vector<int> candidates = spatial->InFrustum(frustum);
            for (std::size_t i = 0; i < group.size(); ++i) {
                BoundsBox box;
                const bool kept = !IndexedBox(group[i], &models, &box) || frustum.Classify(box) != BoxSide::kOutside;
                ASSERT_EQ(std::binary_search(candidates.begin(), candidates.end(), static_cast<int>(i)), kept) << i;
            }
        }
    }
}

class StageIndexTest : public ::testing::Test {
protected:
    StageIndexTest() { stage.Connect(nullptr, &catalog.models, {}, nullptr); }
    CStageDocument& Document() { return stage.Document(); }

    Catalog catalog;
    CStage stage;
    Random random;
};

}  // namespace

TEST_F(StageIndexTest, AnswersAsBruteForceOnRandomStages) {
    for (int size : {1, 7, 300, 2000}) {
        SCOPED_TRACE(size);
        for (int i = 0; i < size; ++i) stage.CreateObject(random.Part(), i % 5 ? "A" : "B", kModels[i % 3]);
        ExpectAgrees(stage, catalog.models, random);
        stage.Groups().clear();
    }
}

TEST_F(StageIndexTest, StaysRightThroughEditsUndoRedoAndLoads) {
    TempDir dir;
    const std::string file = (dir.Path() / "stage.txt").string();
    CStageDocument& d = Document();
    for (int i = 0; i < 400; ++i) d.CreateObjectAt(i % 3 ? "A" : "B", random.Part(false));
    d.AddTag("A");
    d.TagIndex() = 1;  // the frame mirrors "A"
    d.History().End();
    ExpectAgrees(stage, catalog.models, random);
    const FileResult saved = stage.SaveTextFile(file);
    ASSERT_TRUE(saved.ok) << saved.Describe();

    const std::vector<std::pair<const char*, std::function<void()>>> edits = {
        {"move one", [&] {
             d.BeginObjectEdit("Move", "A", 17);
             d.SetPlacement("A", 17, {90, 3, -90}, {0, 1, 0}, {2, 2, 2});
             d.EndObjectEdit();
         }},
        {"move many in one frame", [&] {
             for (int i = 0; i < 200; i += 3) d.WorkingGroups()["A"][static_cast<std::size_t>(i)].part.Pos.y += 40;
             d.MirrorSelectedGroup();
         }},
        {"delete", [&] {
             d.Select(5);
             d.DeleteSelected("A");
         }},
        {"duplicate", [&] {
             d.Select(0);
             d.DuplicateSelected("B");
         }},
        {"group scale", [&] { d.AddGroupScale("B", 0.5f, 0, 0.5f); }},
        {"rename", [&] { d.RenameSelectedTag("C"); }},
        {"copy group", [&] { d.CopyTagGroup(1, 0); }},
        {"load", [&] { d.LoadText(file); }},
        {"open", [&] { d.OpenText(file, "Open"); }},
        {"changed in place by hand", [&] { d.Groups()["A"][3].part.Pos.z = -70; }},
    };
    for (const auto& [name, edit] : edits) {
        SCOPED_TRACE(name);
        edit();
        d.History().End();
        ExpectAgrees(stage, catalog.models, random);
        if (!d.History().CanUndo()) continue;
        d.History().Undo();
        ExpectAgrees(stage, catalog.models, random);
        d.History().Redo();
        ExpectAgrees(stage, catalog.models, random);
    }
}

TEST(RectQuery, TakesWhatShowsInTheRectangleAndNothingWhollyBesideIt) {
    Catalog catalog;
    Random random;
    const D3DVIEWPORT9 viewport{0, 0, 1280, 720, 0, 1};
    const D3DXVECTOR3 eye(0, 80, -200), at(0, 0, 0), up(0, 1, 0);
    D3DXMATRIX view, projection, both;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 0.8f, 16.0f / 9.0f, 1, 1000);
    D3DXMatrixMultiply(&both, &view, &projection);
    std::vector<StageObject> group(500);
    for (StageObject& object : group) {
        object.part = random.Part(false);
        object.model = catalog.models.Find(object.part.ModelLabel);
    }
    // A world point on the screen: pixel x, y and depth 0..1.
    auto screen = [&both](const D3DXVECTOR3& p) {
        float c[4];
        for (int k = 0; k < 4; ++k) c[k] = p.x * both.m[0][k] + p.y * both.m[1][k] + p.z * both.m[2][k] + both.m[3][k];
        return D3DXVECTOR3((c[0] / c[3] + 1) * 640, (1 - c[1] / c[3]) * 360, c[3] > 0 ? c[2] / c[3] : -1);
    };
    const float rects[][4] = {{100, 100, 600, 400}, {900, 700, 640, 360}, {0, 0, 1280, 720}, {10, 600, 300, 710}};
    for (const auto& r : rects) {
        CViewFrustum frustum;
        ASSERT_TRUE(frustum.SetRect(view, projection, viewport, r[0], r[1], r[2], r[3]));
        const std::vector<int> found = ObjectsMeetingFrustum(frustum, group, catalog.models);
        const float x0 = std::min(r[0], r[2]), x1 = std::max(r[0], r[2]), y0 = std::min(r[1], r[3]), y1 = std::max(r[1], r[3]);
        for (std::size_t i = 0; i < group.size(); ++i) {
            const ModelData& model = *catalog.models.Get(group[i].model);
            D3DXVECTOR3 lo, hi;
            WorldBox(ObjectWorld(group[i].part), model.min, model.max, &lo, &hi);
            bool front = true, left = true, right = true, above = true, below = true;
            for (int c = 0; c < 8; ++c) {
                const D3DXVECTOR3 s = screen({c & 1 ? hi.x : lo.x, c & 2 ? hi.y : lo.y, c & 4 ? hi.z : lo.z});
                front = front && s.z >= 0 && s.z <= 1;
                left = left && s.x < x0, right = right && s.x > x1, above = above && s.y < y0, below = below && s.y > y1;
            }
            const D3DXVECTOR3 centre = screen((lo + hi) * 0.5f);
            const bool taken = std::binary_search(found.begin(), found.end(), static_cast<int>(i));
            if (!front) continue;
            const bool shows = centre.x > x0 && centre.x < x1 && centre.y > y0 && centre.y < y1;
            const bool beside = left || right || above || below;
            EXPECT_TRUE(!shows || taken) << i;
            EXPECT_TRUE(!beside || !taken) << i;
        }
    }
}

TEST(BoundsTree, CopiesStackedInOnePlaceKeepTheTreeShallowAndAllFound) {
    CBoundsTree tree;
    const BoundsBox box{{-1, -1, -1}, {1, 1, 1}};
    std::vector<int> leaves;
    for (int i = 0; i < 4096; ++i) leaves.push_back(tree.Insert(i, box));
    for (int i = 0; i < 4096; i += 3) leaves[static_cast<std::size_t>(i)] = tree.Move(leaves[static_cast<std::size_t>(i)], box);
    EXPECT_LE(tree.At(tree.Root()).height, 2 * 12);
    int found = 0;
    tree.Query([](const BoundsBox&) { return BoxSide::kPartly; }, [&found](int) { ++found; });
    EXPECT_EQ(found, 4096);
}
