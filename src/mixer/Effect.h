#pragma once
#include <cstdint>

#include "audio/AudioModule.h"
#include "base/IntrusiveList.h"

class cEffect;
class cEffectUI;
namespace Base
{
class cSerialise;
}

// One kind of effect unit: the registry's entry and the factory of its
// effects. Racks, the mixer's send returns and chain files create effects by
// the package's short name.
class cEffectPackage : public Base::cIntrusiveListItem<cEffectPackage, 1>
{
public:
    // Every registered package shows the shared effect icon of the colour atlas.
    static constexpr int32_t kEffectIconSprite = 360;

    // The texts are not copied; they are the unit's string constants.
    cEffectPackage(const char* shortName, const char* displayName, const char* description);
    virtual ~cEffectPackage();
    cEffectPackage(const cEffectPackage&) = delete;
    cEffectPackage& operator=(const cEffectPackage&) = delete;

    // A new effect owned by the caller, or null.
    virtual cEffect* CreateEffect() = 0;
    // A new unbound editor owned by the caller, from the installed editor
    // factory; null while there is none or it has no editor for the unit.
    virtual cEffectUI* CreateEditor();

    const char* GetShortName() const { return mShortName; }
    const char* GetDisplayName() const { return mDisplayName; }
    const char* GetDescription() const { return mDescription; }
    int32_t GetIconSprite() const { return mIconSprite; }

private:
    const char* mShortName;
    const char* mDisplayName;
    const char* mDescription;
    int32_t mIconSprite = kEffectIconSprite;
};

// The audio module of every effect unit. Its parameters change only through
// its ring (set-float and set-int events with the unit's parameter numbers)
// while anything may process it; the effect drains the ring itself at the
// start of each Process.
class cEffect : public cAudioModuleBase
{
public:
    static constexpr uint32_t kEventCapacity = 16;

    explicit cEffect(cEffectPackage* package);
    ~cEffect() override;

    // Reads or writes the unit's own keys inside a rack node's "Patch".
    virtual bool Serialise(Base::cSerialise& serialise) = 0;
    // Clears the running state (lines, filter memories, envelopes), never
    // the parameters.
    virtual void Reset() = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool IsEnabled() const = 0;

    cEffectPackage* GetPackage() const { return mPackage; }

private:
    cEffectPackage* mPackage;
};

// The editors live in a library above the engine, which installs the
// factory that makes them at start-up; null (the start) leaves every unit
// without one.
using tEffectEditorFactory = cEffectUI* (*)(cEffectPackage* package);
void SetEffectEditorFactory(tEffectEditorFactory factory);
