#pragma once

#include "ui/Widget.h"

class cSample;
class cSampleEditor;
class cSampleEditorHost;

// The sampler page's "Edit" tab: the sample editor over the whole panel.
// It hands the page's sample to the editor and, before a save, ends the
// editor's history and cuts the sample to the edited length. Main thread
// only.
class cWidgetSamplerPanelEdit : public cWidget
{
public:
    explicit cWidgetSamplerPanelEdit(cSampleEditorHost& host);

    // A different sample starts a fresh edit: empty history and selection.
    void SetSample(cSample* sample);
    // False when the sample could not be cut to the edited length.
    bool CommitEdits(cSample* sample);
    cSampleEditor& GetEditor() const { return *mEditor; }

protected:
    ~cWidgetSamplerPanelEdit() override;

private:
    cSampleEditor* mEditor;
    // Not counted: the page holds the reference.
    cSample* mSample = nullptr;
};
