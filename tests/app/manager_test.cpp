#include <gtest/gtest.h>

#include <imgui.h>

#include <algorithm>

#include "app/application.h"
#include "app/manager.h"
#include "editor/editor.h"
#include "input/input.h"
#include "render/renderer.h"
#include "scene/object.h"
#include "scene/pointer.h"
#include "support/headless_editor.h"
#include "support/temp_dir.h"

namespace {

class InEmptyFolder : public ::testing::Test {
protected:
    TempDir dir;
    ScopedWorkingDir cwd{dir.Path()};
};

}  // namespace

TEST(Manager, GetInstanceIsASingletonAndUninitStartsAfresh) {
    CManager* first = CManager::GetInstance();
    EXPECT_EQ(CManager::GetInstance(), first);
    first->wireframe = true;
    first->Uninit();
    CManager* fresh = CManager::GetInstance();
    EXPECT_FALSE(fresh->wireframe);
    EXPECT_EQ(fresh->GetRenderer(), nullptr);
    EXPECT_EQ(fresh->GetKeyboard(), nullptr);
    EXPECT_EQ(fresh->GetStage(), nullptr);
    EXPECT_EQ(fresh->GetEditor(), nullptr);
    EXPECT_EQ(fresh->GetPointer(), nullptr);
    EXPECT_EQ(fresh->GetWindow(), nullptr);
    fresh->Uninit();
}

TEST_F(InEmptyFolder, InitStoppingAfterTheRendererBuildsNothingElseAndUninitReleasesIt) {
    CHeadlessPlatform platform;
    platform.failDirectInput = true;
    CManager* manager = CManager::GetInstance();
    EXPECT_EQ(manager->Init(platform.GetWindow(), &platform), -1);
    EXPECT_NE(manager->GetRenderer(), nullptr);
    EXPECT_EQ(manager->GetMouse(), nullptr);
    EXPECT_EQ(manager->GetStage(), nullptr);
    EXPECT_EQ(manager->GetModelManager(), nullptr);
    EXPECT_EQ(manager->GetCamera(), nullptr);
    EXPECT_EQ(manager->GetPointer(), nullptr);
    EXPECT_EQ(manager->GetEditor(), nullptr);
    EXPECT_NE(manager->GetInitError().find("keyboard"), std::string::npos);
    for (int p = 0; p < CObject::NUM_PRIORITY; ++p) EXPECT_EQ(CObject::GetHead(p), nullptr);
    manager->Uninit();  // the sanitizer build catches a leak or a double release here
    EXPECT_EQ(CManager::GetInstance()->GetRenderer(), nullptr);
    CManager::GetInstance()->Uninit();
}

TEST_F(InEmptyFolder, AFailedStartEndsBeforeTheGuiWithAMessageAndExitCodeOne) {
    struct Case {
        const char* what;
        void (*breakIt)(CHeadlessPlatform&);
    } cases[] = {
        {"window", [](CHeadlessPlatform& p) { p.failWindow = true; }},
        {"graphics device", [](CHeadlessPlatform& p) { p.failDirect3D = true; }},
        {"graphics device (E_FAIL, 0x80004005)", [](CHeadlessPlatform& p) {
             p.refusedDevices = {{D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
                                 {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
                                 {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING}};
         }},
        {"mouse", [](CHeadlessPlatform& p) { p.failInputDevices.insert(InputDeviceKind::Mouse); }},
    };
    for (const Case& c : cases) {
        CHeadlessPlatform platform;
        c.breakIt(platform);
        testing::internal::CaptureStderr();
        EXPECT_EQ(RunEditor(platform), 1) << c.what;
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(c.what), std::string::npos) << err;
        EXPECT_FALSE(platform.guiInitialised);
        EXPECT_EQ(ImGui::GetCurrentContext(), nullptr);
        EXPECT_FALSE(platform.windowShown);
        EXPECT_EQ(CManager::GetInstance()->GetRenderer(), nullptr);  // torn down again
        CManager::GetInstance()->Uninit();
    }
}

TEST_F(InEmptyFolder, StartUpCreatesTheShaderCatalogBeforeTheLightsAndTheLightsBeforeTheGui) {
    HeadlessEditor editor;
    const auto& log = editor.Device().Log();
    auto declaration = std::find(log.begin(), log.end(), "CreateVertexDeclaration");
    auto light = std::find(log.begin(), log.end(), "SetLight(0)");
    ASSERT_NE(declaration, log.end());
    ASSERT_NE(light, log.end());
    EXPECT_LT(declaration, light);
    EXPECT_EQ(std::find(log.begin(), light, "RenderGui"), light);
}

TEST_F(InEmptyFolder, StartUpBuildsEverySubsystemAndOnePointerInListTwo) {
    HeadlessEditor editor;
    CManager& m = editor.Manager();
    EXPECT_NE(m.GetLight(), nullptr);
    EXPECT_NE(m.GetCamera(), nullptr);
    EXPECT_NE(m.GetKeyboard(), nullptr);
    EXPECT_NE(m.GetMouse(), nullptr);
    EXPECT_NE(m.GetTextureManager(), nullptr);
    EXPECT_NE(m.GetModelManager(), nullptr);
    EXPECT_NE(m.GetShaderManager(), nullptr);
    EXPECT_NE(m.GetStage(), nullptr);
    ASSERT_NE(m.GetEditor(), nullptr);
    EXPECT_EQ(m.GetEditor()->tags, std::vector<std::string>{"TEST"});
    EXPECT_EQ(m.GetWindow(), editor.Platform().GetWindow());
    EXPECT_TRUE(editor.Platform().cursorShown);
    EXPECT_TRUE(editor.Platform().windowShown);
    EXPECT_TRUE(editor.Platform().guiInitialised);

    ASSERT_NE(m.GetPointer(), nullptr);
    EXPECT_EQ(CObject::GetHead(2), m.GetPointer());
    EXPECT_EQ(CObject::GetTail(2), m.GetPointer());
    EXPECT_EQ(m.GetPointer()->GetPos(), D3DXVECTOR3(0, 10, 0));
    for (int p : {0, 1, 3, 4}) EXPECT_EQ(CObject::GetHead(p), nullptr);
}

TEST_F(InEmptyFolder, ShutDownReleasesTheGuiBeforeTheDeviceAndEmptiesTheLists) {
    CHeadlessPlatform platform;
    std::string error;
    ASSERT_TRUE(StartEditor(platform, error)) << error;
    auto deviceAlive = platform.Device()->AliveFlag();
    StopEditor();
    EXPECT_FALSE(platform.guiInitialised);
    EXPECT_TRUE(platform.deviceAliveAtGuiShutdown);
    EXPECT_FALSE(*deviceAlive);  // and the device is gone afterwards
    EXPECT_EQ(ImGui::GetCurrentContext(), nullptr);
    for (int p = 0; p < CObject::NUM_PRIORITY; ++p) EXPECT_EQ(CObject::GetHead(p), nullptr);
    EXPECT_EQ(CManager::GetInstance()->GetRenderer(), nullptr);
    CManager::GetInstance()->Uninit();
}
