#pragma once

#include "ui/LayoutItem.h"

class cImage;

// Puts all its items on top of each other in its content rect: content that
// overlays other content, or alternative panels of which one shows at a time.
class cLayoutStacked : public cLayout
{
public:
    cLayoutStacked();

    void GetSizePreferences(cSizePreferences* out) override;
    void Apply() override;
    bool Serialise(Base::cSerialise& serialiser) override;
};

// Takes its size from an image (not owned: a member of the widget that
// builds the layout) and lays the image out in its rect; the widget draws it.
// Its height is always the image's.
class cLayoutItemGPShadowRect : public cLayoutItem
{
public:
    cLayoutItemGPShadowRect(cImage* image, int32_t policyX);

    void GetSizePreferences(cSizePreferences* out) override;
    void Apply() override;
    bool Serialise(Base::cSerialise& serialiser) override;

private:
    cImage* mImage;
};
