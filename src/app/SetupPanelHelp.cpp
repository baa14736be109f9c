#include "app/SetupPanelHelp.h"

#include "base/GenString.h"
#include "platform/PlatformServices.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutLinear.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"

namespace
{
constexpr uint32_t kWideStretched = 33;
constexpr float kSideStretch = 0.25f;
} // namespace

// The button is centred in the middle half of the page, 50 pixels down.
cSetupPanelHelp::cSetupPanelHelp() : mExternalButton(CreateButton("Show help in external browser", kButtonPush, kWideStretched))
{
    mExternalButton->clickDelegate = cDelegate(this, &cSetupPanelHelp::OnShowExternal);
    AddChild(mExternalButton);

    auto* column = new cLayoutLinear(kAxisY, 2);
    AddWidgetItem(column, mExternalButton, kPolicyPref, kPolicyMax);
    AddGapItem(column, 1.0f);
    auto* row = new cLayoutLinear(kAxisX, 3);
    AddGapItem(row, kSideStretch);
    row->AddItem(column);
    AddGapItem(row, kSideStretch);
    row->margins[0] = {10.0f, kUnitPixels};
    row->margins[1] = {50.0f, kUnitPixels};
    row->margins[2] = {10.0f, kUnitPixels};
    row->margins[3] = {10.0f, kUnitPixels};
    SetLayout(row);
}

cSetupPanelHelp::~cSetupPanelHelp() { mExternalButton->Release(); }

// One browser request per press; a failed one is told by the application.
void cSetupPanelHelp::OnShowExternal(int32_t, cWidgetButton*)
{
    cGenStringFixed<1024> address;
    GetManualPageURL(address);
    OpenURLInBrowser(address.CStr());
}

bool cSetupPanelHelp::Draw(cDrawList& list)
{
    DrawBackground(list);
    SetStatusTitle("Quilwright Help");
    return false;
}
