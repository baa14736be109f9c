#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "BuildPaths.h"
#include "PadEditorFixture.h"
#include "base/Zip.h"
#include "instruments/pads/ui/TriggerPadEditPopup.h"
#include "instruments/pads/ui/TriggerPadPages.h"
#include "instruments/pads/ui/TriggerPadPanelEdit.h"
#include "ui/OffscreenScreenFixture.h"

namespace
{
// The pad editor through the real renderer with the generated content and
// the "Default" kit from the installer's archive, as a user meets it.
class PadPictures : public OffscreenScreenFixture
{
protected:
    void Open(int32_t deviceClass, int width, int height)
    {
        folder = std::make_unique<cSampleFolder>();
        ASSERT_EQ(Zip::cZipExtractor().ExtractArchive(BuildFile("bin/Resource/Install.zip").c_str(),
                                                      folder->Documents().c_str(), false),
                  Zip::kResultOk);
        StartScreen(width, height, deviceClass);
        SetupUIMetrics();
        host.alert = new cWidgetAlert();
        host.progress = new cWidgetProgress();
        SetTriggerPadUIHost(&host);
        instrument = std::make_unique<cTriggerPadInstrument>(nullptr, true);
        instrument->SetName("VRX");
        editor = new cTriggerPadUI();
        editor->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 30.0f, float(width), float(height) - 30.0f);
        manager->GetRoot()->AddChild(editor);
        editor->SetInstrument(instrument.get());
        Settle();
    }
    void TearDown() override
    {
        if (editor)
        {
            editor->SetInstrument(nullptr);
            manager->GetRoot()->RemoveChild(editor);
            editor->Release();
        }
        for (cWidget* widget : {static_cast<cWidget*>(host.alert), static_cast<cWidget*>(host.progress)})
            if (widget)
                widget->Release();
        SetTriggerPadUIHost(nullptr);
        instrument.reset();
        OffscreenScreenFixture::TearDown();
        folder.reset();
        SetDisplayMetricsForClass(kDeviceClassDesktop);
        SetupUIMetrics();
    }

    void Settle()
    {
        for (int i = 0; i < 4; ++i)
        {
            // What the audio thread would do: take the events, start the voices.
            for (int32_t bus = 0; bus < 3; ++bus)
            {
                PadTest::cStereoBlock block;
                instrument->GetPads()->Process(PadTest::MakeInfo(bus), block.buffer);
            }
            DrawFrame();
        }
    }
    void Show(int32_t page)
    {
        instrument->SetMainPage(page);
        editor->GetControlPanel()->ModifyFlags(kWidgetStateDirty, 0, false);
        Settle();
    }
    // Pads sounding, so their glow shows.
    void Hit(std::initializer_list<int32_t> scanCodes)
    {
        for (int32_t scanCode : scanCodes)
            input->OnKey(1, scanCode, 'A' + scanCode % 26);
        Settle();
    }
    std::string Save(const char* name) const
    {
        const std::string path = gl->SaveFrame(name);
        std::printf("saved as %s\n", path.c_str());
        return path;
    }

    std::unique_ptr<cSampleFolder> folder;
    std::unique_ptr<cTriggerPadInstrument> instrument;
    cTestPadHost host;
    cTriggerPadUI* editor = nullptr;
};
} // namespace

TEST_F(PadPictures, DesktopPages)
{
    Open(kDeviceClassDesktop, 1024, 768);
    Hit({44, 31});
    EXPECT_EQ(host.title, "VRX - Home");
    Save("pad-editor-home");
    Show(cTriggerPadControlPanel::kPageEdit);
    EXPECT_EQ(host.title, "VRX - Edit pad 01");
    Save("pad-editor-edit");
    Show(cTriggerPadControlPanel::kPageOutput);
    EXPECT_EQ(host.title, "VRX - Output Bus");
    Save("pad-editor-outputs");
}

TEST_F(PadPictures, PhonePagesAndPopUp)
{
    Open(kDeviceClassPhone, 480, 320);
    Save("pad-editor-phone-home");
    Show(cTriggerPadControlPanel::kPageAutoBeat);
    Save("pad-editor-phone-autobeat");
    Show(cTriggerPadControlPanel::kPageOutput);
    Save("pad-editor-phone-outputs");
    Show(cTriggerPadControlPanel::kPageEdit);
    editor->OpenEditPopup(4);
    Settle();
    Save("pad-editor-phone-popup");
}
