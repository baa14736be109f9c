#include "ui/UIMetrics.h"

#include "base/GenString.h"
#include "base/RootPaths.h"
#include "platform/DisplayMetrics.h"
#include "render/Font.h"

namespace
{
struct cUIMetrics
{
    float textSizes[kTextSizeCount];
    float rowHeight;
    float smallestText;
};

// A desktop screen is read from further away than a phone held in the hand:
// no text there is drawn below 9 px, the sizes asked for smaller included.
constexpr cUIMetrics kPhoneMetrics = {{10, 11, 9, 12, 6, 7, 8}, 53, 0};
constexpr cUIMetrics kDesktopMetrics = {{10, 11, 9, 12, 6, 7, 8}, 53, 9};
constexpr cUIMetrics kTabletMetrics = {{12, 13, 11, 15, 7, 8, 9}, 63, 0};

cUIMetrics gUIMetrics = kPhoneMetrics;

constexpr const char* kManualPage = "/Manual/QuilWeb00-Home.html";

// The unreserved characters and the path separator stand as they are.
bool StandsInPath(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/';
}

void AppendPercentEncoded(cGenString& out, const char* text)
{
    static const char kHex[] = "0123456789ABCDEF";
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c)
    {
        if (StandsInPath(*c))
        {
            out.AppendChar(char(*c));
            continue;
        }
        out.AppendChar('%');
        out.AppendChar(kHex[*c >> 4]);
        out.AppendChar(kHex[*c & 15]);
    }
}
} // namespace

void SetupUIMetrics()
{
    switch (gDisplayMetrics.deviceClass)
    {
    case kDeviceClassTablet: gUIMetrics = kTabletMetrics; break;
    case kDeviceClassDesktop: gUIMetrics = kDesktopMetrics; break;
    default: gUIMetrics = kPhoneMetrics; break;
    }
    SetSmallestTextSize(gUIMetrics.smallestText);
}

float GetTextSize(int32_t index)
{
    return index >= 0 && index < kTextSizeCount ? gUIMetrics.textSizes[index] : GetStandardTextSize();
}

float GetStandardTextSize() { return gUIMetrics.textSizes[kTextSizeStandard]; }

float GetRowHeight() { return gUIMetrics.rowHeight; }

void GetManualPageURL(cGenString& out) { BuildManualPageURL(GetResourceFolderPath(), out); }

void BuildManualPageURL(const char* resourceFolder, cGenString& out)
{
    out.AssignCStr("file://");
    AppendPercentEncoded(out, resourceFolder);
    AppendPercentEncoded(out, kManualPage);
}
