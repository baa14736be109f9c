#include <gtest/gtest.h>

#include "ui/DialogueFixture.h"
#include "ui/HouseStyleSheet.h"
#include "ui/TouchStressOverlay.h"
#include "ui/WidgetAlert.h"

namespace
{
constexpr int kStressFrames = 10000;
// Enough frames for the slowest finger to lift.
constexpr int kSettleFrames = 40;

// The touch stress overlay let loose on the house-style sheet for 10,000
// frames: its fingers open and close every kind of dialogue, type into
// nothing, drag knobs, lists and bars. Nothing may crash (the sanitizer
// build runs it too), and once the fingers have lifted no touch is held.
class TouchStressRunTest : public DialogueFixture
{
protected:
    TouchStressRunTest()
    {
        UseScreen(1024, 768);
        sheet = std::make_unique<cHouseStyleSheet>(root);
        overlay = Place(new cTouchStressOverlay(), {0, 0, 1024, 768});
    }
    ~TouchStressRunTest() override
    {
        sheet.reset();
        cTouchStressOverlay::SetLastTouchId(0);
    }

    std::unique_ptr<cHouseStyleSheet> sheet;
    cTouchStressOverlay* overlay = nullptr;
};

TEST_F(TouchStressRunTest, TenThousandFramesOverEveryDialogueLeaveNoCapture)
{
    overlay->desiredFingers = cTouchStressOverlay::kOn;
    int mostLayers = 0;
    for (int frame = 0; frame < kStressFrames; ++frame)
    {
        Frame();
        mostLayers = std::max(mostLayers, root->GetLayerCount());
        ASSERT_LE(overlay->RunningFingers(), cTouchStressOverlay::kFingerCount);
    }
    overlay->desiredFingers = 0;
    Frame(kSettleFrames);
    EXPECT_EQ(overlay->RunningFingers(), 0);
    EXPECT_EQ(manager->GetCaptureCount(), 0);
    EXPECT_EQ(manager->GetPostedTouchCount(), 0);
    EXPECT_GE(mostLayers, 1) << "the fingers opened at least one dialogue";
    std::printf("%d fingers started, %zu alert answers, up to %d layers\n", cTouchStressOverlay::GetLastTouchId(),
                sheet->alertResults.size(), mostLayers);
}
} // namespace
