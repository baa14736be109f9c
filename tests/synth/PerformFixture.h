#pragma once

#include <memory>
#include <vector>

#include "SynthEditorFixture.h"
#include "instruments/synth/ui/AnalogueSynthPanelMod.h"
#include "instruments/synth/ui/AnalogueSynthPanelPerform.h"
#include "sequencer/RecordingSequencer.h"
#include "ui/DrawHelpers.h"

// The editor of SynthEditor with a sequencer that keeps what the live
// controls send it, open on the Perform page at 1024 x 768.
class SynthPerform : public SynthEditor
{
protected:
    void SetUp() override
    {
        SynthEditor::SetUp();
        sequencer = std::make_unique<cRecordingSequencer>();
    }
    void TearDown() override
    {
        SetRecordingStateSource(nullptr);
        SynthEditor::TearDown();
        sequencer.reset();
    }

    void OpenPerform()
    {
        Open(kScreenWidth, kScreenHeight);
        editor->ShowPanel("Mod");
        Frame(2);
        Drain();
    }
    void Drain()
    {
        Synth().Take();
        sequencer->Take();
    }
    cAnalogueSynthPanelPerform* Perform() const
    {
        return static_cast<cAnalogueSynthPanelPerform*>(editor->GetPageAt(1));
    }
    cAnalogueSynthPanelMod* Mod() const { return Perform()->GetModPanel(); }
    // A press and a release at the point, with a frame after.
    void Click(float x, float y)
    {
        Down(7, x, y);
        Up(7, x, y);
        Frame();
    }
    void ClickCentre(cWidget* widget)
    {
        const cRect& rect = widget->GetRect();
        Click(0.5f * (rect.xMin + rect.xMax), 0.5f * (rect.yMin + rect.yMax));
    }

    std::unique_ptr<cRecordingSequencer> sequencer;
};

// One event as the tests compare them: type, words and value.
struct cLiveEvent
{
    int32_t type;
    uint32_t wordA;
    uint32_t wordB;
    float value;

    bool operator==(const cLiveEvent& other) const = default;
};

inline std::vector<cLiveEvent> Live(const std::vector<cAudioEvent>& events)
{
    std::vector<cLiveEvent> live;
    for (const cAudioEvent& event : events)
        live.push_back({event.type, event.wordA, event.wordB, event.type == kAudioEventModuleParam ? event.valueF : 0.0f});
    return live;
}

inline std::ostream& operator<<(std::ostream& out, const cLiveEvent& event)
{
    return out << "{" << event.type << ", " << event.wordA << ", " << event.wordB << ", " << event.value << "}";
}
