#pragma once

class cFileBrowserHost;
class cSample;
class cSampleEditor;

// What the sampler page's tabs ask of the page that holds them: its current
// sample, the edit tab's editor, and the main screen's shared dialogues.
// The tabs make new samples and hand them back here; the page owns them from
// then on and decides when they are written. The sampler page implements it;
// tests give a small one. Main thread only.
class cSamplerPage
{
public:
    virtual ~cSamplerPage() = default;

    virtual cSample* GetSample() const = 0;
    // Makes a sample current (the page takes its own reference) and clears
    // the modified flag; none drops the current one.
    virtual void SetSample(cSample* sample) = 0;
    // Modified = a sample is held: a finished resample, capture or render.
    virtual void MarkModified() = 0;
    virtual void SelectEditTab() = 0;
    // The "Edit" tab's editor, which holds the current sample.
    virtual cSampleEditor& GetSampleEditor() = 0;
    // Status bar messages, alert, progress overlay, browser, project folder.
    virtual cFileBrowserHost& GetHost() = 0;
};
