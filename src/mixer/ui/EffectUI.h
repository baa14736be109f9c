#pragma once
#include <cstdint>

#include "ui/Widget.h"

class cAudioModuleBase;
class cEffectPackage;
class cWidgetButton;
class cWidgetKnob;

// The base of every effect editor: the effect it edits (none while
// unbound), the instance it has inside its module (0 for an effect that is
// a module of its own) and the package that made it. Its controls carry
// their parameter ids in their tags and write through the two delegates,
// which post events to the effect; an unbound editor posts nothing. Main
// thread only.
class cEffectUI : public cWidget
{
public:
    static constexpr float kPreferredWidth = 432.0f;
    static constexpr float kPreferredHeight = 83.0f;
    static constexpr float kStatusSeconds = 1.5f;

    explicit cEffectUI(cEffectPackage* package);

    // Binds the editor to an effect, or to a module holding the effect as
    // one of its instances (the synthesizer's); it reads its controls from
    // it on the next frame.
    virtual void SetEffect(cAudioModuleBase* effect, int32_t instance);
    cAudioModuleBase* GetEffect() const { return mEffect; }
    int32_t GetInstance() const { return mInstance; }
    cEffectPackage* GetPackage() const { return mPackage; }

    // The id of a parameter for this editor's instance: (parameter << 8) |
    // instance, the bare number for instance 0.
    uint32_t MakeParamId(uint32_t parameter) const;

    // Marks the open project modified and posts a set-float or set-int event
    // with the control's tag; nothing while unbound.
    void OnFloatControlChanged(float value, cWidget* control);
    void OnIntControlChanged(int32_t value, cWidget* control);

    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;

protected:
    // Lets the effect take what was posted before its values are read.
    void WaitForEffect() const;
    // The status bar's message for a second and a half.
    static void ShowStatusText(const char* text);
    // A child placed from the editor's top-left corner, at a size or at its
    // own size.
    static void Place(cWidget* widget, float x, float y, float width, float height);
    static void PlaceAtOwnSize(cWidget* widget, float x, float y);
    // Where a child placed at its own size ends across, from the editor's left.
    static float RightOfOwnSize(const cWidget* widget);

    cAudioModuleBase* mEffect = nullptr;
    int32_t mInstance = 0;
    cEffectPackage* mPackage;
};
