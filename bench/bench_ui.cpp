// The widget toolkit's CPU cost: one steady frame of a 500-widget screen
// through the widget manager (each widget a nine-patch and an 8-character
// label; goal under 0.3 ms), a touch down from the input manager to the leaf
// of a 10-deep tree that captures it (goal under 2 us), the first frame
// after a resize, which lays the whole screen out again, a steady frame of
// the gallery of standard controls (within the same 0.3 ms per 500
// widgets), one frame of dragging a list of 10,000 items (goal under
// 0.5 ms), the meters of a mixing desk (17 stereo meters; goal under 1 % of
// the 16.7 ms frame, 167 us) and the meters' fast decibels beside
// 20 x log10f.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "BenchToolkit.h"
#include "render/AtlasSprite.h"
#include "render/TextBatch.h"
#include "support/ControlGallery.h"
#include "ui/LevelMeter.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetList.h"
#include "ui/WidgetScrollBar.h"

namespace
{
constexpr int kRows = 25;
constexpr int kColumns = 20;

// A 40 x 30 skin whose middle 20 x 10 stretches.
const cAtlasSprite kSkin = {0, 0, 0.25f, 0.25f, 0, 0, 40, 30, 40, 30, 20, 15};
const cAtlasSprite kSkinMiddle = {0.0625f, 0.0625f, 0.1875f, 0.1875f, 10, 10, 30, 20, 20, 10, 20, 15};

// A control as the pages draw them: its skin and its caption.
class cBenchControl : public cWidget
{
public:
    explicit cBenchControl(int index) { std::snprintf(mLabel, sizeof(mLabel), "Knob %03d", index % 1000); }

    bool Draw(cDrawList& list) override
    {
        const cRect& rect = GetRect();
        list.DrawNinePatch(rect, &kSkin, &kSkinMiddle, 0xffffffff, true);
        list.DrawTextSized((rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f, 0xffdcdcdc, 0x11, mLabel,
                           10);
        return false;
    }
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override
    {
        *minimum = {20, 20};
        *preferred = {40, 30};
    }

private:
    char mLabel[9];
};

// A widget that takes the touches inside its rect and captures them.
class cBenchLeaf : public cWidget
{
public:
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override
    {
        if (captor != this && !GetRect().Contains(touch->position))
            return false;
        if (type == kTouchDown)
            CaptureTouch(touch->id);
        return true;
    }
};

// A widget that takes touches only through its children, as panels do.
class cBenchPanel : public cWidget
{
public:
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override
    {
        if (!GetRect().Contains(touch->position))
            return false;
        return cWidget::HandleTouch(type, touch, captor);
    }
};

// The toolkit with the screens the benchmarks build on it.
class cBenchUI : public cBenchToolkit
{
public:
    template <class T>
    static T* Adopt(cWidget* parent, T* child)
    {
        parent->AddChild(child);
        child->Release();
        return child;
    }

    // 25 rows of 20 controls in a column, with margins and spacing.
    void BuildScreen()
    {
        cWidget* page = Adopt(manager->GetRoot(), new cWidget());
        auto* column = new cLayoutLinear(kAxisY, kRows);
        column->itemSpacing = 2;
        for (cLayoutValue& margin : column->margins)
            margin.value = 8;
        for (int row = 0; row < kRows; ++row)
        {
            auto* line = new cLayoutLinear(kAxisX, kColumns);
            line->itemSpacing = 4;
            for (int c = 0; c < kColumns; ++c)
                line->AddItem(new cLayoutItemWidget(Adopt(page, new cBenchControl(row * kColumns + c)), kPolicyPref,
                                                    kPolicyPref));
            column->AddItem(line);
        }
        page->SetLayout(column);
    }

    // Ten nested panels, each with four siblings the touch passes over
    // first; the innermost captures it.
    void BuildDeepTree()
    {
        cWidget* parent = manager->GetRoot();
        for (int depth = 0; depth < 10; ++depth)
        {
            cWidget* next = depth == 9 ? static_cast<cWidget*>(new cBenchLeaf()) : new cBenchPanel();
            Adopt(parent, next)->SetAnchors(kAnchorsFillParent, 10, 10, -10, -10);
            for (int sibling = 0; sibling < 4; ++sibling)
                Adopt(parent, new cBenchLeaf())->SetAnchors(kAnchorsAbsoluteRect, 5, 5, 2, 2);
            parent = next;
        }
    }

};

void UISteadyFrame(benchmark::State& state)
{
    cBenchUI ui;
    ui.BuildScreen();
    ui.manager->Draw();
    for (auto _ : state)
        ui.manager->Draw();
    state.counters["vertices/frame"] = double(ui.setUp.renderer.submitted) / double(state.iterations() + 1);
}
BENCHMARK(UISteadyFrame)->Unit(benchmark::kMicrosecond);

void UITouchDownToDeepLeaf(benchmark::State& state)
{
    cBenchUI ui;
    ui.BuildDeepTree();
    ui.manager->Draw();
    for (auto _ : state)
    {
        ui.input.TouchBegan(1, 512, 384);
        // The up goes straight to the captor and frees the touch for the next down.
        ui.input.TouchEnded(1, 512, 384);
    }
    state.SetLabel("down and its up");
}
BENCHMARK(UITouchDownToDeepLeaf)->Unit(benchmark::kNanosecond);

void UIFirstFrameAfterResize(benchmark::State& state)
{
    cBenchUI ui;
    ui.BuildScreen();
    ui.manager->Draw();
    bool wide = false;
    for (auto _ : state)
    {
        wide = !wide;
        ui.manager->SetScreenRect({0, 0, wide ? 1280.0f : 1024.0f, 768});
        ui.manager->Draw();
    }
}
BENCHMARK(UIFirstFrameAfterResize)->Unit(benchmark::kMicrosecond);
// Every control of the first set in its states, on one screen, with a
// finger held on a button.
void UIControlGalleryFrame(benchmark::State& state)
{
    cBenchUI ui;
    const cControlGallery gallery = BuildControlGallery(ui.manager->GetRoot());
    ui.manager->Draw();
    ui.input.TouchBegan(1, 174, 46);
    ui.manager->Draw();
    for (auto _ : state)
        ui.manager->Draw();
    const double widgets = double(gallery.widgetCount);
    state.counters["widgets"] = widgets;
    // Seconds a frame of 500 such widgets would take: goal under 300u.
    state.counters["per 500 widgets"] = benchmark::Counter(double(state.iterations()) * widgets / 500.0,
                                                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(UIControlGalleryFrame)->Unit(benchmark::kMicrosecond);

// 10,000 named rows, as a long effect or file list would hand them out.
class cBenchRows : public cWidgetList::cDataSource
{
public:
    struct cRow : cWidgetList::cItem
    {
        char name[16];
    };

    explicit cBenchRows(int count) : cDataSource(0), mRows(size_t(count))
    {
        for (int i = 0; i < count; ++i)
            std::snprintf(mRows[size_t(i)].name, sizeof(mRows[size_t(i)].name), "Sample %05d", i);
        mFont.Select(10);
    }

    cWidgetList::cItem* GetFirstChild(cWidgetList::cItem* parent) override
    {
        return parent ? nullptr : &mRows.front();
    }
    cWidgetList::cItem* GetNext(cWidgetList::cItem* item) override
    {
        const size_t next = size_t(static_cast<cRow*>(item) - mRows.data()) + 1;
        return next < mRows.size() ? &mRows[next] : nullptr;
    }
    void DrawItem(cWidgetList::cItem* item, cDrawList& list, const cRect& row) override
    {
        list.GetTextBatch().DrawText(row.xMin + 8, row.yMin + 6, list.depth, mFont, 0xffdcdcdc,
                                     static_cast<cRow*>(item)->name);
    }

private:
    std::vector<cRow> mRows;
    cFontHandle mFont;
};

// A finger dragging the list far down its rows up and down by a row a frame,
// so the first visible row changes every frame; each frame is the move
// through the input manager, the scroller's step, the list's draw and the
// flush.
void UIListDragFrame(benchmark::State& state)
{
    cBenchUI ui;
    cBenchRows rows(10000);
    auto* list = cBenchUI::Adopt(ui.manager->GetRoot(), new cWidgetList());
    list->SetAnchors(kAnchorsAbsoluteRect, 100, 100, 400, 500);
    for (cImage* image : {&list->backgroundImage, &list->evenRowImage, &list->oddRowImage})
        image->SetSprites(&kSkin, &kSkin, &kSkinMiddle);
    auto* bar = new cWidgetScrollBar(true);
    bar->trackSprite = &kSkin;
    bar->thumbSprite = &kSkin;
    list->SetScrollBar(bar);
    bar->Release();
    list->SetDataSource(&rows);
    ui.manager->Draw();
    list->GetScrollHelper().SetPosition(9000.0f, true);
    ui.input.TouchBegan(1, 200, 300);
    ui.input.TouchMoved(1, 200, 290, false);
    bool down = false;
    for (auto _ : state)
    {
        down = !down;
        ui.input.TouchMoved(1, 200, down ? 340.0f : 290.0f, false);
        ui.manager->Draw();
    }
    ui.input.TouchEnded(1, 200, 290);
    state.SetLabel("10,000 rows, a row a frame");
}
BENCHMARK(UIListDragFrame)->Unit(benchmark::kMicrosecond);
// A mixing desk's meters: 16 channel strips and the master, each a stereo
// meter with a background, peak hold and clip LEDs, fed changing gains.
void UIMixingDeskMeters(benchmark::State& state)
{
    constexpr int kMeters = 17;
    cBenchUI ui;
    std::vector<cLevelMeter> meters(kMeters);
    for (int i = 0; i < kMeters; ++i)
    {
        cLevelMeter& meter = meters[size_t(i)];
        meter.flags = kMeterVertical | kMeterPeakHold | kMeterClipLEDs;
        for (cMeterBar& bar : meter.bars)
            bar.Init(&kSkin, 2, kMeterVertical | kMeterPeakHold);
        meter.SetBackground(&kSkin, 2, 2);
        meter.SetClipLEDs(&kSkin, &kSkinMiddle, &kSkinMiddle, &kSkinMiddle, 0);
        meter.SetRect({20.0f + 50.0f * float(i), 500, 60.0f + 50.0f * float(i), 530});
    }
    cDrawList& list = *ui.manager->GetDrawList();
    float phase = 0.0f;
    for (auto _ : state)
    {
        list.Begin();
        phase += 0.05f;
        for (int i = 0; i < kMeters; ++i)
        {
            const float gain = 0.6f + 0.5f * std::sin(phase + float(i));
            meters[size_t(i)].Draw(gain, gain * 0.9f, list, gain > 1.0f, false, 255);
        }
        list.End();
    }
    state.SetLabel("17 stereo meters; goal under 167 us");
}
BENCHMARK(UIMixingDeskMeters)->Unit(benchmark::kMicrosecond);

std::vector<float> BenchGains()
{
    std::vector<float> gains(4096);
    for (size_t i = 0; i < gains.size(); ++i)
        gains[i] = 1.0e-4f + float(i) / float(gains.size()) * 1.5f;
    return gains;
}

void UIFastDecibels(benchmark::State& state)
{
    const std::vector<float> gains = BenchGains();
    for (auto _ : state)
        for (float gain : gains)
            benchmark::DoNotOptimize(FastGainToDecibels(gain));
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(gains.size()));
}
BENCHMARK(UIFastDecibels);

void UILog10Decibels(benchmark::State& state)
{
    const std::vector<float> gains = BenchGains();
    for (auto _ : state)
        for (float gain : gains)
            benchmark::DoNotOptimize(20.0f * log10f(gain));
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(gains.size()));
}
BENCHMARK(UILog10Decibels);
} // namespace

BENCHMARK_MAIN();
