#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "audio/Sample.h"
#include "audio/SampleRegistry.h"
#include "platform/MouseTouchTranslator.h"
#include "sampler/SampleEditAudition.h"
#include "sampler/SampleEditor.h"
#include "sampler/SampleEditorHost.h"
#include "sampler/SampleEditFixture.h"
#include "ui/ControlFixture.h"
#include "ui/RecordingStatusBar.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetComboBox.h"
#include "ui/WidgetScrollBar.h"

// The sampler page as the editor sees it.
class cRecordingEditorHost : public cSampleEditorHost
{
public:
    void ConfirmClose() override { ++closes; }
    void OnEditorModified(cSampleEditor*) override { ++modified; }

    int closes = 0;
    int modified = 0;
};

// An editor of 844 x 600 pixels at the top-left of a 1024 x 768 desktop
// screen, its waveform 800 pixels wide from x 0 (y 52 to 556), driven by
// the mouse as the platform layer turns it into touches: the left button
// one finger, the right button two mirrored about the press.
class SampleEditorTest : public ControlFixture
{
protected:
    static constexpr float kEditorWidth = 844.0f;
    static constexpr float kEditorHeight = 600.0f;
    static constexpr float kWaveformWidth = 800.0f;
    static constexpr float kWaveformTop = 52.0f;
    static constexpr float kWaveformBottom = 556.0f;
    static constexpr float kMiddleY = 300.0f;

    SampleEditorTest()
    {
        renderer.SetScreenSize(1024.0f, 768.0f);
        manager->SetScreenRect({0.0f, 0.0f, 1024.0f, 768.0f});
        SetStatusBarHost(&statusBar);
        SetSampleEditAudition(&audition);
        audition.active = false;
        editor = Place(new cSampleEditor(&host), {0.0f, 0.0f, kEditorWidth, kEditorHeight});
        Frame();
    }
    ~SampleEditorTest() override
    {
        editor->SetSample(nullptr);
        root->RemoveChild(editor);
        SetSampleEditAudition(nullptr);
        SetStatusBarHost(nullptr);
        mSample.Release();
        EXPECT_EQ(cSampleRegistry::DumpAll(), 0) << "a sample was left loaded";
    }

    // A sample of that format whose values rise frame by frame (frame f holds
    // f % 1000 on every channel, scaled to the bit depth), given to the editor.
    cSample* Edit(const cSampleFormat& format, int32_t frames, const char* name = "Kick Edit.wav")
    {
        editor->SetSample(nullptr);
        mSample.Release();
        cSample* sample = cSample::Create(name, format.bits, format.channels, format.rate, frames);
        EXPECT_NE(sample, nullptr);
        for (int32_t f = 0; f < frames; ++f)
            for (int32_t c = 0; c < format.channels; ++c)
            {
                const int64_t i = int64_t(f) * format.channels + c;
                if (format.bits == 16)
                    reinterpret_cast<int16_t*>(sample->GetData())[i] = int16_t(f % 1000 * 10);
                else
                    reinterpret_cast<int8_t*>(sample->GetData())[i] = int8_t(f % 100);
            }
        mSample.Assign(sample);
        sample->Release();
        editor->SetSample(sample);
        Frame();
        return sample;
    }

    // The x of a frame in the view on screen.
    float XOf(double frame) const
    {
        return float((frame - editor->GetViewStart()) * kWaveformWidth / editor->GetViewLength());
    }

    // The mouse, as the window reports it.
    void LeftDown(float x, float y = kMiddleY)
    {
        cMouseTouchTranslator::OnMove(*input, x, y);
        cMouseTouchTranslator::OnButtonDown(*input, cMouseTouchTranslator::kLeft, false, x, y);
    }
    void MouseMove(float x, float y = kMiddleY) { cMouseTouchTranslator::OnMove(*input, x, y); }
    void LeftUp(float x, float y = kMiddleY) { cMouseTouchTranslator::OnButtonUp(*input, cMouseTouchTranslator::kLeft, x, y); }
    void LeftClick(float x, float y)
    {
        LeftDown(x, y);
        LeftUp(x, y);
    }
    void LeftDrag(float fromX, float toX, float y = kMiddleY)
    {
        LeftDown(fromX, y);
        MouseMove(toX, y);
        LeftUp(toX, y);
    }
    void RightDown(float x, float y = kMiddleY)
    {
        cMouseTouchTranslator::OnMove(*input, x, y);
        cMouseTouchTranslator::OnButtonDown(*input, cMouseTouchTranslator::kRight, false, x, y);
    }
    void RightUp(float x, float y = kMiddleY)
    {
        cMouseTouchTranslator::OnButtonUp(*input, cMouseTouchTranslator::kRight, x, y);
    }

    static cVector2 Centre(cWidget* widget)
    {
        const cRect& r = widget->GetRect();
        return {(r.xMin + r.xMax) * 0.5f, (r.yMin + r.yMax) * 0.5f};
    }
    void Click(cWidget* widget)
    {
        const cVector2 c = Centre(widget);
        LeftClick(c.X, c.Y);
    }
    // Opens a menu and picks an item by its text.
    void Pick(cWidgetComboBox* menu, const std::string& item)
    {
        OpenMenu(menu);
        Choose(menu, item);
    }
    void OpenMenu(cWidgetComboBox* menu)
    {
        Click(menu);
        Frame();
    }
    void Choose(cWidgetComboBox* menu, const std::string& item)
    {
        const cRect& items = menu->GetMenuRect();
        ASSERT_GT(items.yMax, items.yMin) << menu->GetName() << " did not open";
        const float pitch = (items.yMax - items.yMin) / float(menu->GetItemCount());
        for (int32_t i = 0; i < menu->GetItemCount(); ++i)
        {
            if (item != menu->GetItem(i)->text)
                continue;
            const bool upwards = (menu->GetComboFlags() & kComboOpensUpwards) != 0;
            const float y = upwards ? items.yMax - (float(i) + 0.5f) * pitch : items.yMin + (float(i) + 0.5f) * pitch;
            LeftClick((items.xMin + items.xMax) * 0.5f, y);
            return;
        }
        FAIL() << "no item " << item << " in " << menu->GetName();
    }
    std::vector<std::string> MenuItems(cWidgetComboBox* menu) const
    {
        std::vector<std::string> items;
        for (int32_t i = 0; i < menu->GetItemCount(); ++i)
            items.push_back(menu->GetItem(i)->text);
        return items;
    }

    cSamplerScratch scratch;
    cRecordingStatusBar statusBar;
    cRecordingEditorHost host;
    cRecordingAudition audition;
    cSampleEditor* editor = nullptr;
    tSampleRef mSample;
};
