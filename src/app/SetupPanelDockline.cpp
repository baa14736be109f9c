#include "app/SetupPanelDockline.h"

#include "platform/DeviceServices.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/DrawHelpers.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetDialogue.h"
#include "ui/WidgetFactories.h"

namespace
{
constexpr uint32_t kButtonStyle = 10;
constexpr int32_t kPictureAlignment = 51;
// The standard button's width and the small tall button's height.
constexpr int32_t kButtonWidthSprite = 12;
constexpr int32_t kButtonHeightSprite = 14;
constexpr float kFirstLineTop = 30.0f;
constexpr float kButtonLeft = 20.0f;
constexpr float kPictureGap = 20.0f;
constexpr float kPictureRightMargin = 40.0f;
constexpr float kStatusIndent = 10.0f;
constexpr float kLightsGap = 14.0f;
constexpr float kLightSpread = 0.4f;
constexpr uint32_t kLightColour = 0xffffffffu;
constexpr uint32_t kCentred = kTextAlignCentreX | kTextAlignCentreY;
constexpr uint32_t kLeftCentred = kTextAlignLeft | kTextAlignCentreY;

constexpr const char* kIntroduction[] = {
    "Dockline is an application for Mac or PC which allows you to upload and download ",
    "files to/from Quilwright.",
};
constexpr const char* kDesktopNote[] = {
    "Since this is the desktop version you do not need WiFi file transfer because",
    "Quilwright's files are already on your hard disk.  To see these files click",
    "the 'Open Folder...' button located on Quilwright's file dialogue.",
};

const cAtlasSprite* Sprite(int32_t index) { return &gTex8888AtlasTable[index]; }

const char* NetworkAddress()
{
    const cNetworkStatus* network = cNetworkStatus::GetInstance();
    return network ? network->GetAddress() : "";
}

// The small text size: 8 on the desktop.
cFontHandle SmallFont()
{
    cFontHandle font;
    font.Select(GetTextSize(kTextSizeToggle));
    return font;
}
} // namespace

cSetupPanelDockline::cSetupPanelDockline() : mEnableButton(CreateButton("Enable", kButtonCycle, kButtonStyle))
{
    SetButtonIcon(mEnableButton, Sprite(kEnableIconSprite));
    AddChild(mEnableButton);
    mEnableButton->SetEnabled(false);
    mPicture.SetSprites(Sprite(kPictureSprite), Sprite(kPictureSprite), Sprite(kPictureInnerSprite));
    mPicture.alignment = kPictureAlignment;
}

cSetupPanelDockline::~cSetupPanelDockline() { mEnableButton->Release(); }

void cSetupPanelDockline::PlaceEnableButton(const cRect& rect)
{
    const float width = rect.xMax - rect.xMin, height = rect.yMax - rect.yMin;
    if ((mEnableButton->GetAnchorWord() & 0xffffu) == kAnchorsAbsoluteRect &&
        mEnableButton->GetAnchorValue(0) == rect.xMin && mEnableButton->GetAnchorValue(1) == rect.yMin &&
        mEnableButton->GetAnchorValue(2) == width && mEnableButton->GetAnchorValue(3) == height)
        return;
    mEnableButton->SetAnchors(kAnchorsAbsoluteRect, rect.xMin, rect.yMin, width, height);
}

bool cSetupPanelDockline::Draw(cDrawList& list)
{
    DrawBackground(list);
    const cRect& page = GetRect();
    const cFontHandle font = SmallFont();
    const float lineSpacing = 2.0f * GetTextSize(kTextSizeToggle);
    const float centreX = (page.xMin + page.xMax) * 0.5f;
    cTextBatch& text = list.GetTextBatch();
    const char* address = NetworkAddress();
    mEnableButton->value = 0;

    float y = page.yMin + kFirstLineTop;
    for (const char* line : kIntroduction)
    {
        text.DrawTextAligned(centreX, y, list.depth, font, kTextColour, kCentred, line);
        y += lineSpacing;
    }
    const float buttonTop = y - lineSpacing + 1.5f * lineSpacing;
    const cRect button = {page.xMin + kButtonLeft, buttonTop, page.xMin + kButtonLeft + Sprite(kButtonWidthSprite)->width,
                          buttonTop + Sprite(kButtonHeightSprite)->height};
    PlaceEnableButton(button);
    mPicture.Layout({button.xMax + kPictureGap, button.yMin, page.xMax - kPictureRightMargin, button.yMax}, {0.0f, 0.0f});
    mPicture.Draw(mPicture.drawRect, list, false);
    DrawStatus(list, address);

    y = button.yMax + lineSpacing + 5.0f;
    for (const char* line : kDesktopNote)
    {
        text.DrawTextAligned(centreX, y, list.depth, font, kTextColour, kCentred, line);
        y += lineSpacing;
    }
    DrawLights(list, address[0] != '\0');
    SetStatusTitle("Dockline Server");
    return false;
}

// Inside the picture: the status a quarter down, the address three quarters down.
void cSetupPanelDockline::DrawStatus(cDrawList& list, const char* address)
{
    const cRect& picture = mPicture.drawRect;
    const float height = picture.yMax - picture.yMin;
    const float left = picture.xMin + SpriteInsets(mPicture.sprite, mPicture.innerSprite).xMin + kStatusIndent;
    const cFontHandle font = SmallFont();
    cGenStringFixed<128> line;
    line.Printf("Status : %s", address[0] ? "Wi-Fi connection available"
                                          : "Wi-Fi transfer is only available in the mobile version");
    cTextBatch& text = list.GetTextBatch();
    text.DrawTextAligned(left, picture.yMin + 0.25f * height, list.depth, font, kTextColour, kLeftCentred, line.CStr());
    if (!address[0])
        return;
    line.Printf("IP address : %s", address);
    text.DrawTextAligned(left, picture.yMin + 0.75f * height, list.depth, font, kTextColour, kLeftCentred, line.CStr());
}

void cSetupPanelDockline::DrawLights(cDrawList& list, bool connected)
{
    const cRect& picture = mPicture.drawRect;
    const float x = picture.xMax + kLightsGap;
    const float centreY = (picture.yMin + picture.yMax) * 0.5f;
    const float spread = kLightSpread * (picture.yMax - picture.yMin);
    DrawLED(list, 0, x, centreY - spread, connected ? 1.0f : 0.0f, kLightColour);
    DrawLED(list, 1, x, centreY, 0.0f, kLightColour);
    DrawLED(list, 2, x, centreY + spread, 0.0f, kLightColour);
}
