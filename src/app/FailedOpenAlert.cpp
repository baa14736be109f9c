#include "app/FailedOpenAlert.h"

#include <cstdio>
#include <string>

#include "base/GenString.h"
#include "platform/PlatformServices.h"
#include "render/FontHandle.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetAlert.h"

namespace
{
constexpr const char* kByHand = "; open it by hand:";

bool IsManual(const std::string& address)
{
    cGenStringFixed<1024> manual;
    GetManualPageURL(manual);
    return address == manual.CStr();
}

bool Fits(const cFontHandle& font, float width, const char* text) { return font.GetTextWidth(text) <= width; }

// The bytes of the longest start of the address that fits the width, ending
// after a "/" when one lies in it.
int FirstLineBytes(const cFontHandle& font, float width, const char* address)
{
    const char* end = nullptr;
    const int fitting = font.CountCharsInWidth(width, address, true, &end);
    for (int i = fitting; i > 0; --i)
        if (address[i - 1] == '/')
            return i;
    return fitting;
}
} // namespace

void DescribeFailedOpen(const sFailedOpen& failed, const cFontHandle& font, float width, cGenString& first,
                        cGenString& second)
{
    const std::string reason = failed.reason + kByHand;
    const char* address = failed.address.c_str();
    second.AssignCStr("");
    if (!Fits(font, width, address))
    {
        const int split = FirstLineBytes(font, width, address);
        first.AssignChars(address, split);
        second.AssignCStr(address + split);
    }
    else if (Fits(font, width, reason.c_str()))
    {
        first.AssignCStr(reason.c_str());
        second.AssignCStr(address);
    }
    else
        first.AssignCStr(address);
}

void ReportFailedOpens(cWidgetAlert* alert)
{
    sFailedOpen failed;
    if (!alert || alert->IsShown() || !TakeFailedOpen(failed))
        return;
    std::fprintf(stderr, "Quilwright: couldn't open %s: %s\n", failed.address.c_str(), failed.reason.c_str());
    alert->Reset(kAlertIconOnOK);
    alert->SetName(IsManual(failed.address) ? "Couldn't Open the Manual" : "Couldn't Open the Folder");
    DescribeFailedOpen(failed, alert->textFont, cWidgetAlert::GetLineWidth(), alert->firstLine, alert->secondLine);
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate());
}
