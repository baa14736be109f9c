#include <gtest/gtest.h>

#include "base/GenString.h"
#include "render/Font.h"
#include "ui/DialogueFixture.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetComboBox.h"
#include "ui/WidgetFactories.h"

namespace
{
class WidgetFactoriesTest : public DialogueFixture
{
};

TEST_F(WidgetFactoriesTest, TextSizesAndRowHeightFollowTheDeviceClass)
{
    struct cCase
    {
        int32_t deviceClass;
        float sizes[kTextSizeCount];
        float rowHeight;
        float smallestText;
    } cases[] = {
        {kDeviceClassDesktop, {10, 11, 9, 12, 6, 7, 8}, 53, 9},
        {kDeviceClassPhone, {10, 11, 9, 12, 6, 7, 8}, 53, 0},
        {kDeviceClassTablet, {12, 13, 11, 15, 7, 8, 9}, 63, 0},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.deviceClass);
        UseDeviceClass(c.deviceClass);
        for (int i = 0; i < kTextSizeCount; ++i)
            EXPECT_EQ(GetTextSize(i), c.sizes[i]) << "text size " << i;
        EXPECT_EQ(GetStandardTextSize(), c.sizes[kTextSizeStandard]);
        EXPECT_EQ(GetRowHeight(), c.rowHeight);
        EXPECT_EQ(GetSmallestTextSize(), c.smallestText);
    }
}

TEST_F(WidgetFactoriesTest, ButtonStylesChooseTheirSkins)
{
    struct cCase
    {
        uint32_t style;
        int drawn, size, litDrawn, litSize;
        int32_t alignment;
    } cases[] = {
        {0x00, 17, 18, 25, 26, 0x11}, {0x01, 17, 18, 25, 26, 0x11}, {0x11, 17, 18, 25, 26, 0x11},
        {0x05, 15, 16, 23, 24, 0x11}, {0x0d, 15, 16, 23, 24, 0x11}, {0x09, 11, 12, 19, 20, 0x11},
        {0x19, 11, 12, 19, 20, 0x11}, {0x0a, 13, 14, 21, 22, 0x11}, {0x0b, 11, 12, 19, 20, 0x11},
        {0x25, 15, 16, 23, 24, 0x13}, {0x65, 16, 16, 24, 24, 0x13}, {0x31, 17, 18, 25, 26, 0x13},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.style);
        cWidgetButton* button = CreateButton("Go", kButtonPush, c.style);
        EXPECT_EQ(button->background.drawSprite, &Sprite(c.drawn));
        EXPECT_EQ(button->background.sprite, &Sprite(c.size));
        EXPECT_EQ(button->litBackground.drawSprite, &Sprite(c.litDrawn));
        EXPECT_EQ(button->litBackground.sprite, &Sprite(c.litSize));
        EXPECT_EQ(button->background.alignment, c.alignment);
        EXPECT_EQ(button->litBackground.alignment, c.alignment);
        EXPECT_EQ(button->labelStyle.colour, 0xffdcdcdcu);
        EXPECT_EQ(button->touchMargins[2], 5.0f);
        button->Release();
    }
}

TEST_F(WidgetFactoriesTest, ComboItemsAreAlmostAsHighAsTheLitSkinAndTheMenuTwiceAsWide)
{
    ASSERT_EQ(Sprite(22).height, 44);
    cWidgetComboBox* combo = CreateComboBox("Mode", 4, 0, cDelegate());
    EXPECT_EQ(combo->itemHeight, 40);
    EXPECT_EQ(combo->minimumMenuWidth, 80);
    EXPECT_EQ(combo->itemGap, -1);
    combo->Release();
}

TEST_F(WidgetFactoriesTest, TheManualPageIsAFileAddressWithThreeSlashesAndEncodedBlanks)
{
    cGenString url = cGenString::ConstructGrowable();
    BuildManualPageURL("/opt/Quil Studio/Resource", url);
    EXPECT_STREQ(url.CStr(), "file:///opt/Quil%20Studio/Resource/Manual/QuilWeb00-Home.html");
    BuildManualPageURL("/srv/a#b?c%d/\xc3\xa9", url);
    EXPECT_STREQ(url.CStr(), "file:///srv/a%23b%3Fc%25d/%C3%A9/Manual/QuilWeb00-Home.html");
    GetManualPageURL(url);
    EXPECT_EQ(std::string(url.CStr()).rfind("file:///", 0), 0u) << url.CStr();
    url.FreeGrowable();
}

TEST_F(WidgetFactoriesTest, TheDialogueButtonShowsTheCloseIconAndTakesEscape)
{
    cWidgetButton* close = CreateDialogueButton();
    EXPECT_EQ(close->icon.sprite, &Sprite(53));
    EXPECT_EQ(close->icon.colour, 0xff202020u);
    EXPECT_EQ(close->litIcon.colour, 0xffba8400u);
    EXPECT_EQ(close->background.sprite, nullptr);
    EXPECT_EQ(close->touchMargins[0], 18.0f);
    EXPECT_TRUE(close->HasFlags(kWidgetAcceptsKeys));
    close->Release();
}
} // namespace
