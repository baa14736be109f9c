#pragma once

class cSampleEditor;

// What the sample editor needs of the page that holds it: the page closes
// when the user is done, and learns of every edit so it can keep the sample
// marked as changed. The sampler page implements it.
class cSampleEditorHost
{
public:
    virtual ~cSampleEditorHost() = default;
    // The "Done" button: the page asks whether to keep the changes and closes.
    virtual void ConfirmClose() = 0;
    // After a Delete or Trim, and before a volume edit.
    virtual void OnEditorModified(cSampleEditor* editor) = 0;
};
