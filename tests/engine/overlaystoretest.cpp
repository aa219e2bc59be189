// The overlay store's bookkeeping and the renderer's overlay arguments.

#include "enginetestsupport.h"

#include "platform/video/videotesthooks.h"
#include "viewer/engine/d3d9renderimpl.h"
#include "viewer/engine/overlaystore.h"

#include <vector>

namespace {

// Records its drawing and its end in shared logs.
class CountingOverlay : public Overlay {
  public:
    CountingOverlay(int name, std::vector<int>* drawn, std::vector<int>* destroyed)
        : Overlay(0, 255), m_name(name), m_drawn(drawn), m_destroyed(destroyed) {}
    ~CountingOverlay() override { m_destroyed->push_back(m_name); }
    HRESULT Draw(VideoScene&) override {
        m_drawn->push_back(m_name);
        return S_OK;
    }

  private:
    int m_name;
    std::vector<int>* m_drawn;
    std::vector<int>* m_destroyed;
};

class OverlayStoreTest : public ::testing::Test {
  protected:
    std::unique_ptr<Overlay> Make(int name) {
        return std::make_unique<CountingOverlay>(name, &m_drawn, &m_destroyed);
    }

    std::vector<int> m_drawn;
    std::vector<int> m_destroyed;
};

TEST_F(OverlayStoreTest, AddingAnIdAgainReplacesAndDestroysTheFirst) {
    OverlayStore store;
    store.Add(Make(1), 3);
    store.Add(Make(2), 3);
    EXPECT_EQ(m_destroyed, std::vector<int>({1}));
    EXPECT_EQ(store.Ids(), std::vector<short>({3}));
    store.Clear();
    EXPECT_EQ(m_destroyed, std::vector<int>({1, 2}));
    EXPECT_TRUE(store.IsEmpty());
}

TEST_F(OverlayStoreTest, RemovingAnUnknownIdChangesNothing) {
    OverlayStore store;
    store.Add(Make(1), 5);
    store.Remove(4);
    EXPECT_EQ(store.Ids(), std::vector<short>({5}));
    EXPECT_TRUE(m_destroyed.empty());
    store.Remove(5);
    EXPECT_TRUE(store.IsEmpty());
    EXPECT_EQ(m_destroyed, std::vector<int>({1}));
}

TEST_F(OverlayStoreTest, DrawsInAscendingIdOrderNegativesFirst) {
    OverlayStore store;
    store.Add(Make(5), 5);
    store.Add(Make(1), 1);
    store.Add(Make(3), 3);
    store.Add(Make(-2), -2);
    // The store never looks into the scene itself, so any scene will do.
    auto window = std::make_shared<TestWindow>(8, 8);
    const HWND handle = reinterpret_cast<HWND>(0x7300);
    RegisterPresentationTarget(handle, window);
    std::unique_ptr<VideoDevice> device;
    ASSERT_EQ(VideoDevice::Create(handle, 8, 8, &device), S_OK);
    std::unique_ptr<VideoScene> scene;
    ASSERT_EQ(device->BeginScene(0xFF000000u, &scene), S_OK);
    store.DrawAll(*scene);
    UnregisterPresentationTarget(handle);
    EXPECT_EQ(m_drawn, std::vector<int>({-2, 1, 3, 5}));
}

TEST_F(OverlayStoreTest, TheDestructorDestroysEverything) {
    {
        OverlayStore store;
        store.Add(Make(1), 1);
        store.Add(Make(2), 2);
    }
    EXPECT_EQ(m_destroyed.size(), 2u);
}

TEST(OverlayColourTest, AlphaReplacesTheTopByte) {
    struct Case {
        D3DCOLOR colour;
        BYTE alpha;
        D3DCOLOR stored;
    };
    const Case cases[] = {
        {0x12345678u, 0x80, 0x80345678u},
        {0xFFFFFFFFu, 0x00, 0x00FFFFFFu},
        {0x00000000u, 0xFF, 0xFF000000u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OverlayColour(c.colour, c.alpha), c.stored) << std::hex << c.colour;
        EXPECT_EQ(LineOverlay(0, 0, 1, 1, 1.0f, c.colour, c.alpha).Colour(), c.stored);
    }
}

class OverlayArgumentsTest : public ::testing::Test {
  protected:
    void SetUp() override { EnsureTextRendering(); }
};

TEST_F(OverlayArgumentsTest, BadArgumentsStoreNothing) {
    D3D9RenderImpl renderer;
    const POINT points[3] = {{0, 0}, {10, 0}, {0, 10}};
    const BYTE pixels[16] = {};
    struct Case {
        const char* name;
        std::function<HRESULT()> add;
        HRESULT expected;
    };
    const Case cases[] = {
        {"polygon without points", [&] { return renderer.AddPolygon(7, nullptr, 3, 1.0f, 0xFFFFFFFFu, 255); },
         E_POINTER},
        {"polygon of no points", [&] { return renderer.AddPolygon(7, points, 0, 1.0f, 0xFFFFFFFFu, 255); },
         E_INVALIDARG},
        {"polygon of a negative count",
         [&] { return renderer.AddPolygon(7, points, -1, 1.0f, 0xFFFFFFFFu, 255); }, E_INVALIDARG},
        {"text without text",
         [&] {
             return renderer.AddText(7, nullptr, RECT{0, 0, 10, 10}, 20, 0xFFFFFFFFu, L"Ariel", 255);
         },
         E_POINTER},
        {"bitmap without pixels", [&] { return renderer.AddBitmap(7, 0, 0, 2, 2, nullptr, 255); }, E_POINTER},
        {"bitmap of no width", [&] { return renderer.AddBitmap(7, 0, 0, 0, 2, pixels, 255); }, E_INVALIDARG},
        {"bitmap of a negative height", [&] { return renderer.AddBitmap(7, 0, 0, 2, -2, pixels, 255); },
         E_INVALIDARG},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.add(), c.expected) << c.name;
        EXPECT_TRUE(renderer.Overlays().IsEmpty()) << c.name;
    }
    EXPECT_EQ(renderer.AddPolygon(7, points, 3, 1.0f, 0xFFFFFFFFu, 255), S_OK);
    EXPECT_EQ(renderer.AddBitmap(8, 0, 0, 2, 2, pixels, 255), S_OK);
    EXPECT_EQ(renderer.AddText(9, L"x", RECT{0, 0, 10, 10}, 20, 0xFFFFFFFFu, L"Ariel", 255), S_OK);
    EXPECT_EQ(renderer.Overlays().Ids(), std::vector<short>({7, 8, 9}));
}

TEST_F(OverlayArgumentsTest, IdsAreTheirLowSixteenBits) {
    D3D9RenderImpl renderer;
    renderer.AddLine(0x10003, 0, 0, 1, 1, 1.0f, 0xFFFFFFFFu, 255);
    renderer.AddLine(0xFFFF, 0, 0, 1, 1, 1.0f, 0xFFFFFFFFu, 255);
    EXPECT_EQ(renderer.Overlays().Ids(), std::vector<short>({-1, 3}));
    renderer.RemoveOverlay(3);
    EXPECT_EQ(renderer.Overlays().Ids(), std::vector<short>({-1}));
}

} // namespace
