#include "app/SetupPanelMIDI.h"

#include "app/SetupPanelMIDIDevicePage.h"
#include "app/SetupPanelMIDIMappingPage.h"
#include "project/ProjectList.h"
#include "project/ProjectSlots.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"

namespace
{
constexpr uint32_t kSelectorStyle = 33;
constexpr uint32_t kPanicStyle = 10;
constexpr float kSideGapMillimetres = 5.0f;
constexpr float kGapMillimetres = 4.0f;

bool HasCurrentProject()
{
    const cProjectList* projects = cProjectList::GetInstance();
    return projects && projects->GetCurrentProject();
}
} // namespace

cSetupPanelMIDI::cSetupPanelMIDI()
    : mInputsButton(CreateButton("Inputs", kButtonCycle, kSelectorStyle)),
      mMappingsButton(CreateButton("Mappings", kButtonCycle, kSelectorStyle)),
      mPanicButton(CreateButton("PANIC", kButtonPush, kPanicStyle)), mDevicePage(new cSetupPanelMIDIDevicePage()),
      mMappingPage(new cSetupPanelMIDIMappingPage())
{
    mInputsButton->SetTag(kInputs);
    mMappingsButton->SetTag(kMappings);
    mPanicButton->SetTag(kPanic);
    SetButtonIcon(mPanicButton, &gTex8888AtlasTable[kPanicIconSprite]);
    for (cWidgetButton* button : {mInputsButton, mMappingsButton, mPanicButton})
    {
        button->clickDelegate = cDelegate(this, &cSetupPanelMIDI::OnButton);
        AddChild(button);
    }
    AddChild(mDevicePage);
    AddChild(mMappingPage);
    ShowSubPage(false);
    BuildLayout();
}

cSetupPanelMIDI::~cSetupPanelMIDI()
{
    for (cWidget* widget : {static_cast<cWidget*>(mInputsButton), static_cast<cWidget*>(mMappingsButton),
                            static_cast<cWidget*>(mPanicButton), static_cast<cWidget*>(mDevicePage),
                            static_cast<cWidget*>(mMappingPage)})
        widget->Release();
}

void cSetupPanelMIDI::BuildLayout()
{
    const float sideGap = MillimetresToPixels(kSideGapMillimetres);
    const float gap = MillimetresToPixels(kGapMillimetres);

    auto* right = new cLayoutLinear(kAxisY, 2);
    AddWidgetItem(right, mPanicButton, kPolicyPref, kPolicyFixed);
    AddGapItem(right, 0.3f, 0.0f, gap);

    auto* selectors = new cLayoutLinear(kAxisX, 2);
    selectors->itemSpacing = -1.0f;
    AddWidgetItem(selectors, mInputsButton, kPolicyPref, kPolicyPref);
    AddWidgetItem(selectors, mMappingsButton, kPolicyPref, kPolicyPref);

    auto* left = new cLayoutLinear(kAxisY, 3);
    AddLayoutItem(left, selectors, kPolicyPref, kPolicyFixed);
    AddGapItem(left, 0.2f, 0.0f, gap);
    cLayoutItemWidget* subPages = AddWidgetItem(left, mDevicePage, kPolicyPref, kPolicyPref);
    subPages->AddWidget(mMappingPage);

    auto* middle = new cLayoutLinear(kAxisX, 5);
    AddGapItem(middle, 0.1f, 0.0f, sideGap);
    middle->AddItem(left);
    AddGapItem(middle, 0.1f, 0.0f, sideGap);
    AddLayoutItem(middle, right, kPolicyFixed, kPolicyPref);
    AddGapItem(middle, 0.1f, 0.0f, sideGap);

    auto* page = new cLayoutLinear(kAxisY, 3);
    AddGapItem(page, 0.5f, 0.0f, gap);
    page->AddItem(middle);
    AddGapItem(page, 0.5f, 0.0f, gap);
    SetLayout(page);
}

void cSetupPanelMIDI::ShowSubPage(bool mappings)
{
    mInputsButton->value = mappings ? 0 : 1;
    mDevicePage->SetVisible(!mappings);
    mMappingsButton->value = mappings ? 1 : 0;
    mMappingPage->SetVisible(mappings);
}

// The selectors are cycle buttons: a press on the one already chosen unlit
// it, and a press without a project lit the other; each is put right again.
void cSetupPanelMIDI::OnButton(int32_t, cWidgetButton* button)
{
    if (!HasCurrentProject())
    {
        ShowSubPage(mMappingPage->IsVisible());
        return;
    }
    switch (button->GetTag())
    {
    case kInputs:
        ShowSubPage(false);
        break;
    case kMappings:
        ShowSubPage(true);
        break;
    case kPanic:
        StopAllInstruments(kStopAllForChange);
        break;
    default:
        break;
    }
}
