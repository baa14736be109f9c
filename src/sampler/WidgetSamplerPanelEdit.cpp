#include "sampler/WidgetSamplerPanelEdit.h"

#include "sampler/SampleEditor.h"

cWidgetSamplerPanelEdit::cWidgetSamplerPanelEdit(cSampleEditorHost& host) : mEditor(new cSampleEditor(&host))
{
    SetName("PanelEdit");
    AddChild(mEditor);
}

cWidgetSamplerPanelEdit::~cWidgetSamplerPanelEdit()
{
    mEditor->SetSample(nullptr);
    mEditor->Release();
}

void cWidgetSamplerPanelEdit::SetSample(cSample* sample)
{
    if (sample == mSample)
        return;
    mSample = sample;
    mEditor->SetSample(sample);
}

bool cWidgetSamplerPanelEdit::CommitEdits(cSample* sample) { return mEditor->CommitEdits(sample); }
