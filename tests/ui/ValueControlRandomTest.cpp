#include <cmath>
#include <cstdio>
#include <random>

#include "ui/ControlFixture.h"
#include "ui/ValueGallery.h"
#include "ui/WidgetComboBox.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetScrollBar.h"
#include "ui/WidgetSlider.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr int kFingers = 3;
constexpr int kEventsPerSeed = 4000;
const int32_t kKeys[] = {257, 'M', 283, 284, 285, 286, 294};

// Thousands of touches, drags and keys over the gallery in a random order,
// with frames between them: nothing may crash, every value stays in its
// range, no report is not a number, and once every finger has lifted no
// control still holds a touch.
class ValueControlRandomTest : public ControlFixture
{
protected:
    ValueControlRandomTest()
    {
        renderer.SetScreenSize(1024, 768);
        manager->SetScreenRect({0, 0, 1024, 768});
    }

    void Run(uint32_t seed)
    {
        cValueGallery gallery(root);
        Frame();
        std::mt19937 random(seed);
        cVector2 fingers[kFingers];
        bool down[kFingers] = {};
        auto chance = [&](int percent) { return int(random() % 100) < percent; };
        auto near = [&](float centre, float spread)
        { return centre + (float(random() % 2001) / 1000.0f - 1.0f) * spread; };

        for (int event = 0; event < kEventsPerSeed; ++event)
        {
            const int finger = int(random() % kFingers);
            const int kind = int(random() % 100);
            if (kind < 25 && !down[finger])
            {
                const cRect target = RandomControlRect(gallery, random);
                fingers[finger] = {near((target.xMin + target.xMax) * 0.5f, (target.xMax - target.xMin) * 0.7f),
                                   near((target.yMin + target.yMax) * 0.5f, (target.yMax - target.yMin) * 0.7f)};
                Down(finger, fingers[finger].X, fingers[finger].Y);
                down[finger] = true;
            }
            else if (kind < 60 && down[finger])
            {
                const float reach = chance(10) ? 300.0f : 25.0f;
                fingers[finger] = {near(fingers[finger].X, reach), near(fingers[finger].Y, reach)};
                Move(finger, fingers[finger].X, fingers[finger].Y);
            }
            else if (kind < 72 && down[finger])
            {
                Up(finger, fingers[finger].X, fingers[finger].Y);
                down[finger] = false;
            }
            else if (kind < 80)
            {
                const int32_t key = kKeys[random() % std::size(kKeys)];
                input->OnKey(1, 1, key);
                input->OnKey(0, 1, key);
                input->OnChar(1, 50, chance(50) ? 'm' : 'x');
                input->OnChar(0, 50, 'm');
            }
            else if (kind < 83)
            {
                manager->knobControl = int32_t(random() % 2);
                manager->sensitivity = int32_t(random() % 3);
            }
            else if (kind < 84)
                root->HandleCancel(0, 0);
            else
                Frame();
            ExpectInRange(gallery, event);
            if (!down[0] && !down[1] && !down[2])
            {
                ASSERT_EQ(manager->GetCaptureCount(), 0) << "seed " << seed << " event " << event;
            }
        }
        for (int finger = 0; finger < kFingers; ++finger)
            if (down[finger])
                Up(finger, fingers[finger].X, fingers[finger].Y);
        Frame();
        EXPECT_EQ(manager->GetCaptureCount(), 0);
        EXPECT_EQ(gallery.nonFiniteReports, 0);
        EXPECT_GT(gallery.reports, 100) << "the touches reached the controls";
        std::printf("seed %u: %d reports, %zu selections\n", seed, gallery.reports, gallery.selections.size());
        root->RemoveChild(gallery.page);
    }

    static cRect RandomControlRect(cValueGallery& gallery, std::mt19937& random)
    {
        std::vector<cWidget*> controls;
        controls.insert(controls.end(), gallery.knobs.begin(), gallery.knobs.end());
        controls.insert(controls.end(), gallery.sliders.begin(), gallery.sliders.end());
        controls.insert(controls.end(), gallery.spins.begin(), gallery.spins.end());
        controls.insert(controls.end(), gallery.bars.begin(), gallery.bars.end());
        controls.insert(controls.end(), gallery.combos.begin(), gallery.combos.end());
        controls.push_back(gallery.list);
        cWidgetComboBox* open = gallery.openUp->IsMenuOpen() ? gallery.openUp : gallery.openDown;
        if (random() % 5 == 0 && open->IsMenuOpen())
            return open->GetMenuRect();
        return controls[random() % controls.size()]->GetRect();
    }

    void ExpectInRange(cValueGallery& gallery, int event)
    {
        for (cWidgetKnob* knob : gallery.knobs)
        {
            ASSERT_TRUE(knob->GetValue() >= 0.0f && knob->GetValue() <= 1.0f) << event;
            if (knob->GetKind() == kKnobInteger)
            {
                ASSERT_TRUE(knob->GetIntValue() >= 1 && knob->GetIntValue() <= 8) << event;
            }
            if (knob->GetKind() == kKnobValueList)
            {
                ASSERT_TRUE(knob->GetIntValue() >= 0 && knob->GetIntValue() <= 3) << event;
            }
        }
        for (cWidgetSlider* slider : gallery.sliders)
            ASSERT_TRUE(slider->GetValue() >= 0.0f && slider->GetValue() <= 1.0f) << event;
        for (cWidgetSpinButton* spin : gallery.spins)
            ASSERT_TRUE(spin->GetValue() >= spin->minimum && spin->GetValue() <= spin->maximum) << event;
        for (cWidgetScrollBar* bar : gallery.bars)
            ASSERT_TRUE(bar->GetMinimum() <= bar->GetWindowStart() && bar->GetWindowStart() <= bar->GetWindowEnd() &&
                        bar->GetWindowEnd() <= bar->GetMaximum())
                << event;
        const cScrollHelper& scroll = gallery.list->GetScrollHelper();
        ASSERT_TRUE(scroll.GetPosition() >= 0.0f && scroll.GetPosition() <= scroll.GetMaximumPosition()) << event;
        for (cWidgetComboBox* combo : gallery.combos)
            ASSERT_TRUE(combo->GetHoveredItem() >= -1 && combo->GetHoveredItem() < combo->GetItemCount()) << event;
    }
};

TEST_F(ValueControlRandomTest, ThousandsOfTouchesDragsAndKeysKeepEveryValueInRange)
{
    for (uint32_t seed : {1u, 2u, 3u, 4u})
        Run(seed);
}
} // namespace
