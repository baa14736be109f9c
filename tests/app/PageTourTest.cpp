#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "app/MainUI.h"
#include "app/WidgetInstrumentGrid.h"
#include "app/WidgetMainMenu.h"
#include "app/WidgetStatusBar.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "render/DrawList.h"
#include "render/Renderer.h"
#include "support/ControlOverlaps.h"
#include "support/LegibilityProbe.h"
#include "support/OffscreenGL.h"
#include "ui/InputManager.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
constexpr double kReadableContrast = 4.5;
constexpr float kSmallestText = 9.0f;

struct cScreenSize
{
    int width, height;
};

// The real program walked page by page as a new user would, at the desktop
// sizes: each page saved as a picture, its texts read against their ground
// and its controls checked for overlaps. It runs inside one frame of the
// application and drives the frames it needs itself.
class cPageTour
{
public:
    explicit cPageTour(cScriptedApplication& application) : mApp(application) {}

    std::string faults;

    void Run()
    {
        for (const cScreenSize size : {cScreenSize{1024, 768}, cScreenSize{800, 600}})
        {
            mSize = size;
            int32_t width = size.width, height = size.height;
            mApp.HandleResize(false, width, height);
            WalkPages();
        }
    }

private:
    void WalkPages()
    {
        cMainUI& ui = *cMainUI::GetInstance();
        cWidgetMainMenu& menu = *ui.GetMainMenu();
        menu.SelectPage(cWidgetMainMenu::kPageInstrument, 1);
        Look("pads-home");
        for (const char* tab : {"EDIT", "OUTPUTS"})
        {
            TapNamed(tab);
            Look((std::string("pads-") + tab).c_str());
        }
        TapNamed("HOME");
        TapButton(*ui.GetStatusBar(), cWidgetStatusBar::kMenu);
        Look("menu-open", &menu);
        // Every instrument's cell shows its package's icon, the synthesizer's too.
        for (int32_t slot = 0; slot < cWidgetMainMenu::kSlotCount; ++slot)
        {
            const cWidgetInstrumentGrid::cCell& cell = menu.GetGrid()->GetCell(slot);
            if (!cell.name.IsEmpty() && !cell.icon)
                faults += "menu-open: the cell of \"" + std::string(cell.name.CStr()) + "\" has no icon\n";
        }
        TapButton(*ui.GetStatusBar(), cWidgetStatusBar::kMenu);
        menu.SelectPage(cWidgetMainMenu::kPageInstrument, 2);
        auto* synth = FindShown<cAnalogueSynthUI>(Root());
        ASSERT_NE(synth, nullptr);
        synth->JumpPage(1);
        for (int page = 1; page <= 4; ++page)
        {
            Look(("synth-page-" + std::to_string(page)).c_str());
            synth->StepPage(0);
        }
        menu.SelectPage(cWidgetMainMenu::kPageInstrument, 0);
        Look("mixer");
        menu.SelectPage(cWidgetMainMenu::kPageSong, 0);
        Look("song");
        menu.SelectPage(cWidgetMainMenu::kPageManage, 0);
        for (const char* tab : {"Project", "Settings", "Help", "MIDI"})
        {
            TapNamed(tab);
            Look((std::string("manage-") + tab).c_str());
        }
        TapNamed("Project");
        // The file browser a new user meets first, over the project page.
        TapNamed("Load");
        Look("file-browser");
        TapButton(*ui.GetStatusBar(), cWidgetStatusBar::kBack);
        Settle();
    }

    void TapAt(const cRect& rect)
    {
        const float x = 0.5f * (rect.xMin + rect.xMax), y = 0.5f * (rect.yMin + rect.yMax);
        gInputManager->TouchBegan(1, x, y);
        Settle(2);
        gInputManager->TouchEnded(1, x, y);
        Settle(2);
    }
    void TapNamed(const char* name)
    {
        Settle();
        cWidget* widget = FindNamed(Root(), name);
        ASSERT_NE(widget, nullptr) << name;
        TapAt(widget->GetRect());
    }
    void TapButton(cWidgetStatusBar& bar, int32_t tag) { TapAt(bar.GetButton(tag)->GetRect()); }

    static cWidget* FindNamed(cWidget* widget, const char* name)
    {
        if (!widget->IsVisible())
            return nullptr;
        if (std::strcmp(widget->GetName(), name) == 0 && !(widget->GetFlags() & kWidgetNotYetDrawn))
            return widget;
        for (cWidget* child = widget->GetFirstChild(); child; child = child->GetNext())
            if (cWidget* found = FindNamed(child, name))
                return found;
        return nullptr;
    }

    cWidget* Root() const { return cWidgetManager::GetInstance()->GetRoot(); }

    template <class T>
    static T* FindShown(cWidget* widget)
    {
        if (!widget->IsVisible())
            return nullptr;
        if (auto* found = dynamic_cast<T*>(widget))
            return found;
        for (cWidget* child = widget->GetFirstChild(); child; child = child->GetNext())
            if (T* found = FindShown<T>(child))
                return found;
        return nullptr;
    }

    // Frames as the loop runs them, so that slides and fades finish.
    void Settle(int frames = 30)
    {
        for (int i = 0; i < frames; ++i)
        {
            mApp.Update();
            Render();
        }
    }

    // The page as it stands. With a panel on top, only that panel is read:
    // it is drawn alone, since the page under its veil is dimmed on purpose.
    void Look(const char* page, cWidget* onTop = nullptr)
    {
        Settle();
        // Read frames are drawn here, whole, whatever the loop does with a
        // frame like the last.
        cWidget& shown = onTop ? *onTop : *Root();
        MarkControlsUndrawn(Root());
        DrawAlone(*Root());
        const std::string overlaps = FindOverlappingControls(Root());
        const std::vector<cRect> disabled = FindDisabledControls(Root());
        const std::string name = std::string("tour-") + page + "-" + std::to_string(mSize.width);
        std::printf("%s\n", SaveFramePixels(name, mSize.width, mSize.height, ReadFramePixels(mSize.width, mSize.height)).c_str());
        cLegibilityProbe probe;
        probe.Capture(
            mSize.width, mSize.height, [&shown] { DrawAlone(shown); },
            [this] { return ReadFramePixels(mSize.width, mSize.height); });
        const std::string texts = probe.Faults(kReadableContrast, kSmallestText, disabled);
        const std::string crossed = probe.OverlappingTexts();
        if (!texts.empty())
            faults += name + " texts:\n" + texts;
        if (!crossed.empty())
            faults += name + " texts over texts:\n" + crossed;
        if (!overlaps.empty())
            faults += name + " overlaps:\n" + overlaps;
    }
    static void DrawAlone(cWidget& widget)
    {
        gRenderer->Clear(kClearColour | kClearDepth | kClearStencil);
        cDrawList& list = *cWidgetManager::GetInstance()->GetDrawList();
        list.Begin();
        widget.DrawTree(list);
        list.End();
    }

    void Render() { mApp.Render(); }

    cScriptedApplication& mApp;
    cScreenSize mSize = {1024, 768};
};

TEST(PageTourTest, EveryPageReadsAndNoControlsOverlap)
{
    EmptyInProcessDocumentsOfAReturningUser();
    std::string faults;
    auto* application = new cScriptedApplication(kStartupCoverFrames + 1, [&](cScriptedApplication& app, int frame) {
        if (frame != kStartupCoverFrames)
            return;
        cPageTour tour(app);
        tour.Run();
        faults = tour.faults;
    });
    ASSERT_EQ(RunInProcess(application), 0);
    EXPECT_EQ(faults, "");
}
} // namespace
