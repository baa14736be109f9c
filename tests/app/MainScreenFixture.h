#pragma once

#include <memory>
#include <string>

#include "MainScreenEngine.h"
#include "app/MainUI.h"
#include "app/WidgetInstrumentGrid.h"
#include "app/WidgetMainMenu.h"
#include "app/WidgetStatusBar.h"
#include "app/WidgetStatusBarScreen.h"
#include "platform/os/KeyTable.h"
#include "render/RenderStartup.h"
#include "ui/DialogueFixture.h"
#include "ui/WidgetButton.h"

// The main UI on the root of a capturing renderer, over the engines a test
// needs, driven through the real input manager. The desktop class at
// 1024 x 768 unless a test rebuilds it for another class or size.
class MainScreenFixture : public DialogueFixture
{
protected:
    MainScreenFixture()
    {
        gTransport.state = cTransport::kStopped;
        Build(kDeviceClassDesktop, 1024.0f, 768.0f);
    }
    ~MainScreenFixture() override
    {
        ui.reset();
        engine.reset();
        SelectTextureProfiles(kDeviceClassPhone);
    }

    // A fresh main UI for the device class on a screen of that size.
    void Build(int32_t deviceClass, float width, float height)
    {
        ui.reset();
        SetDisplayMetricsForClass(deviceClass);
        SelectTextureProfiles(deviceClass);
        UseScreen(width, height);
        if (!engine)
            engine = std::make_unique<MainScreenTest::cEngine>();
        ui = std::make_unique<cMainUI>();
        bar = ui->GetStatusBar();
        menu = ui->GetMainMenu();
        grid = menu->GetGrid();
        Frame();
    }

    // The middle of a status-bar button.
    cVector2 Centre(const cRect& rect) const { return {(rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f}; }
    cVector2 ButtonCentre(int32_t tag) const { return Centre(bar->GetButton(tag)->GetRect()); }
    cVector2 CellCentre(int32_t slot) const { return Centre(grid->GetCell(slot).rect); }

    // A tap the given seconds after the last one: a second apart they never
    // count as a double tap.
    void TapAt(const cVector2& point, double gap = 1.0)
    {
        Press(point, gap);
        Up(1, point.X, point.Y);
        Frame();
    }
    void Press(const cVector2& point, double gap = 1.0)
    {
        mClock += gap;
        input->DispatchTouch(kTouchDown, input->GetTouchTracker().BeginTouchAt(1, point.X, point.Y, mClock));
    }
    void TapButton(int32_t tag, double gap = 1.0) { TapAt(ButtonCentre(tag), gap); }
    // Opens the main menu fully.
    void OpenMenu()
    {
        TapButton(cWidgetStatusBar::kMenu);
        Frame(12);
    }

    // A named key pressed and released.
    void Key(int32_t keyCode)
    {
        input->OnKey(1, 0, keyCode);
        input->OnKey(0, 0, keyCode);
        Frame();
    }
    // A character typed as the window sends it: the key, the character, and
    // on release both again.
    void Type(char character)
    {
        const int32_t keyCode = character >= 'a' && character <= 'z' ? character - 'a' + 'A' : character;
        input->OnKey(1, 0, keyCode);
        input->OnChar(1, 0, character);
        input->OnKey(0, 0, keyCode);
        input->OnChar(0, 0, character);
        Frame();
    }
    void TypeText(const char* text)
    {
        for (const char* c = text; *c; ++c)
            Type(*c);
    }

    std::unique_ptr<MainScreenTest::cEngine> engine;
    std::unique_ptr<cMainUI> ui;
    cWidgetStatusBar* bar = nullptr;
    cWidgetMainMenu* menu = nullptr;
    cWidgetInstrumentGrid* grid = nullptr;

private:
    double mClock = 100.0;
};
