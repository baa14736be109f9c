#pragma once
#include <memory>

#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "instruments/synth/SynthParamId.h"

// A store whose presets are told apart by name, and a module bound to it.
class cSynthModuleFixture
{
public:
    using tStore = cAnalogueSynthPresetStore;

    cSynthModuleFixture()
    {
        for (int32_t index = 0; index < tStore::kPresetCount; ++index)
        {
            const int32_t id = tStore::IdOf(index);
            cGenStringFixed<24> name;
            name.Printf("S%03X", unsigned(id));
            store->GetSingle(id).SetName(name.CStr());
            name.Printf("M%03X", unsigned(id));
            store->GetMulti(id).SetName(name.CStr());
        }
        synth->SetStore(store.get());
    }

    static int32_t Id(int32_t bank, int32_t slot) { return tStore::MakeId(bank, slot); }

    // Through the ring, as the editor and the sequencer reach the module.
    void Post(const cAudioEvent& event)
    {
        synth->PostEvent(event);
        synth->DrainEvents();
    }
    void Post(uint8_t type, int32_t wordA, int32_t wordB = 0, uint32_t flags = 0)
    {
        cAudioEvent event;
        event.type = type;
        event.wordA = uint32_t(wordA);
        event.wordB = uint32_t(wordB);
        event.flags = flags;
        Post(event);
    }
    void SetInt(uint32_t id, int32_t value) { Post(MakeSetIntEvent(id, value)); }
    void SetFloat(uint32_t id, float value) { Post(MakeSetFloatEvent(id, value)); }

    std::unique_ptr<tStore> store = std::make_unique<tStore>();
    std::unique_ptr<cAnalogueSynth> synth = std::make_unique<cAnalogueSynth>(nullptr);
};
