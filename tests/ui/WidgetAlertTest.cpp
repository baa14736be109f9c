#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/DialogueFixture.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"

namespace
{
class WidgetAlertTest : public DialogueFixture
{
protected:
    WidgetAlertTest()
    {
        UseScreen(1024, 768);
        alert = new cWidgetAlert();
    }
    ~WidgetAlertTest() override { alert->Release(); }

public:
    void OnResult(int32_t index, cWidget*) { results.push_back(index); }
    cDelegate ResultDelegate() { return cDelegate(this, &WidgetAlertTest::OnResult); }

protected:
    void Ask(int32_t style, const std::vector<int32_t>& buttons)
    {
        alert->Reset(style);
        alert->SetName("Delete Project");
        alert->firstLine.AssignCStr("Delete the project?");
        const char* labels[4] = {"No", "Cancel", "Other", "OK"};
        for (int32_t index : buttons)
            alert->SetButton(index, labels[index]);
        alert->Show(ResultDelegate());
        // The zoom settles before the alert takes touches.
        Frame(14);
    }

    void TapButton(int32_t index)
    {
        const cRect& rect = alert->GetButton(index)->GetRect();
        Tap(1, (rect.xMin + rect.xMax) / 2, (rect.yMin + rect.yMax) / 2);
        Frame(14);
    }

public:
    cWidgetAlert* alert = nullptr;
    std::vector<int32_t> results;
};

TEST_F(WidgetAlertTest, CancelAndOKSitRightToLeftAndReportTheirIndices)
{
    Ask(0, {kAlertCancel, kAlertOK});
    const cRect& box = alert->GetRect();
    EXPECT_EQ(box.xMin, 297);
    EXPECT_EQ(box.yMin, 40);
    EXPECT_EQ(box.xMax - box.xMin, 430);
    EXPECT_EQ(box.yMax - box.yMin, 180);
    const cRect ok = alert->GetButton(kAlertOK)->GetRect(), cancel = alert->GetButton(kAlertCancel)->GetRect();
    EXPECT_EQ(ok.xMin, 621);
    EXPECT_EQ(ok.yMin, 178);
    EXPECT_EQ(ok.xMax, 717);
    EXPECT_EQ(ok.yMax, 210);
    EXPECT_EQ(cancel.xMin, 515);
    EXPECT_EQ(cancel.yMin, 178);
    EXPECT_EQ(cancel.xMax, 611);
    EXPECT_EQ(cancel.yMax, 210);
    EXPECT_FALSE(alert->GetButton(kAlertNo)->IsVisible());
    EXPECT_FALSE(alert->GetButton(kAlertOther)->IsVisible());
    EXPECT_EQ(root->GetLayer(0).transition, kTransitionZoom);
    EXPECT_EQ(root->GetLayer(0).dimMode, kDimBeneath);

    TapButton(kAlertCancel);
    EXPECT_EQ(results, std::vector<int32_t>{kAlertCancel});
    EXPECT_FALSE(alert->IsShown());
    Ask(0, {kAlertCancel, kAlertOK});
    TapButton(kAlertOK);
    EXPECT_EQ(results, (std::vector<int32_t>{kAlertCancel, kAlertOK}));
}

TEST_F(WidgetAlertTest, Style0x100PutsCancelRightmostAndKeepsTheIndices)
{
    Ask(kAlertCancelRightmost, {kAlertNo, kAlertCancel, kAlertOK});
    const float cancel = alert->GetButton(kAlertCancel)->GetRect().xMin;
    const float ok = alert->GetButton(kAlertOK)->GetRect().xMin;
    const float no = alert->GetButton(kAlertNo)->GetRect().xMin;
    EXPECT_EQ(cancel, 621);
    EXPECT_EQ(ok, 515);
    EXPECT_EQ(no, 409);
    TapButton(kAlertNo);
    EXPECT_EQ(results, std::vector<int32_t>{kAlertNo});
}

TEST_F(WidgetAlertTest, OnTheTabletTheAlertIsLargerWithWiderGaps)
{
    UseDeviceClass(kDeviceClassTablet);
    Ask(0, {kAlertNo, kAlertCancel, kAlertOther, kAlertOK});
    const cRect& box = alert->GetRect();
    EXPECT_EQ(box.xMax - box.xMin, 610);
    EXPECT_EQ(box.yMax - box.yMin, 220);
    EXPECT_EQ(box.yMin, 80);
    const float buttonWidth = Sprite(18).width;
    const cRect ok = alert->GetButton(kAlertOK)->GetRect(), other = alert->GetButton(kAlertOther)->GetRect();
    EXPECT_EQ(ok.xMax, box.xMax - 10);
    EXPECT_EQ(ok.xMin - other.xMax, 20);
    EXPECT_EQ(other.xMax - other.xMin, buttonWidth);
}

TEST_F(WidgetAlertTest, LongLinesEndInDotsAndASingleLineSitsLower)
{
    alert->Reset(0);
    alert->firstLine.AssignCStr(std::string(120, 'W').c_str());
    alert->secondLine.AssignCStr("Two");
    alert->SetButton(kAlertOK, "OK");
    alert->Show(ResultDelegate());
    Frame(14);
    const std::string first = alert->firstLine.CStr();
    ASSERT_GE(first.size(), 2u);
    EXPECT_EQ(first.substr(first.size() - 2), "..");
    EXPECT_LE(alert->textFont.GetTextWidth(first.c_str()), 430 - 20);
    const float firstOfTwo = FindText(first)->y;
    const float second = FindText("Two")->y;

    alert->Reset(0);
    alert->firstLine.AssignCStr("One");
    alert->SetButton(kAlertOK, "OK");
    alert->Show(ResultDelegate());
    Frame();
    ASSERT_TRUE(FindText("One"));
    // Glyphs land on whole pixels: 4.5 lower shows as 4 or 5.
    EXPECT_NEAR(FindText("One")->y - firstOfTwo, 4.5f, 0.5f);
    EXPECT_FLOAT_EQ(second - firstOfTwo, 1.6f * 10);
}

TEST_F(WidgetAlertTest, ADelegateMayShowTheAlertAgain)
{
    int calls = 0;
    struct cAsker
    {
        WidgetAlertTest* test;
        int* calls;
        void OnResult(int32_t index, cWidget*)
        {
            ++*calls;
            test->results.push_back(index);
            if (*calls == 1)
            {
                test->alert->Reset(0);
                test->alert->firstLine.AssignCStr("Really?");
                test->alert->SetButton(kAlertOK, "Yes");
                test->alert->Show(test->ResultDelegate());
            }
        }
    } asker = {this, &calls};
    alert->Reset(0);
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate(&asker, &cAsker::OnResult));
    Frame(14);
    TapButton(kAlertOK);
    EXPECT_TRUE(alert->IsShown());
    EXPECT_EQ(root->GetLayerCount(), 1);
    TapButton(kAlertOK);
    EXPECT_EQ(results, (std::vector<int32_t>{kAlertOK, kAlertOK}));
    EXPECT_EQ(calls, 1) << "the second tap went to the new delegate";
    EXPECT_FALSE(alert->IsShown());
}

TEST_F(WidgetAlertTest, ShowingAShownAlertRenewsItWithoutASecondLayer)
{
    Ask(0, {kAlertCancel, kAlertOK});
    std::vector<int32_t> stale;
    struct cStale
    {
        std::vector<int32_t>* calls;
        void OnResult(int32_t index, cWidget*) { calls->push_back(index); }
    } old = {&stale};
    alert->Show(cDelegate(&old, &cStale::OnResult));
    alert->Reset(0);
    alert->SetButton(kAlertOK, "Delete");
    alert->Show(ResultDelegate());
    EXPECT_EQ(root->GetLayerCount(), 1);
    EXPECT_FALSE(alert->GetButton(kAlertCancel)->IsVisible());
    Frame();
    TapButton(kAlertOK);
    EXPECT_EQ(results, std::vector<int32_t>{kAlertOK});
    EXPECT_TRUE(stale.empty());
    EXPECT_EQ(root->GetLayerCount(), 0) << "one tap leaves nothing behind";
    TapButton(kAlertOK);
    EXPECT_EQ(results.size(), 1u) << "a confirmed delete runs once";
}

TEST_F(WidgetAlertTest, ButtonIndicesOutsideTheFourAreIgnored)
{
    alert->Reset(0);
    alert->SetButton(-1, "Minus");
    alert->SetButton(4, "Four");
    alert->SetButton(1000, "Far");
    for (int32_t i = 0; i < kAlertButtonCount; ++i)
        EXPECT_STREQ(alert->GetButton(i)->GetName(), "");
}

TEST_F(WidgetAlertTest, IconStylesPutIconsBesideNoAndOK)
{
    Ask(kAlertIconOnNo | kAlertIconOnOK, {kAlertNo, kAlertOK});
    EXPECT_EQ(alert->GetButton(kAlertNo)->icon.sprite, &Sprite(197));
    EXPECT_EQ(alert->GetButton(kAlertOK)->icon.sprite, &Sprite(222));
    EXPECT_EQ(alert->GetButton(kAlertOK)->GetLabelPlacement(), kLabelIconLeft);
    Ask(0, {kAlertNo, kAlertOK});
    EXPECT_EQ(alert->GetButton(kAlertOK)->icon.sprite, nullptr);
    EXPECT_EQ(alert->GetButton(kAlertOK)->labelStyle.alignment, 17);
}
} // namespace
