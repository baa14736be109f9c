#pragma once

#include <cstdint>

#include "base/GenString.h"
#include "instruments/pads/ui/TriggerPadPanel.h"
#include "render/Image.h"
#include "ui/WidgetProgress.h"

class cLayoutItem;
class cLayoutLinear;
class cTriggerPadButton;
class cWidgetAlert;

// The home page's bank panel ("MAIN"): CLEAR empties the sixteen pads after
// a question, IMPORT loads a bank package chosen in the file browser (its
// samples copied into the project folder when the user wants), EXPORT saves
// the pads as a package. Imports and exports run behind the progress
// overlay; one pending action ties each question to its answer.
class cTriggerPadPanelBank : public cTriggerPadPanel
{
public:
    enum eButton : int32_t
    {
        kButtonClear = 0,
        kButtonImport = 1,
        kButtonExport = 2,
        kButtonCount = 3,
    };
    enum ePending : int32_t
    {
        kPendingNone = -1,
        kPendingClear = 0,
        kPendingImport = 1,
        kPendingExport = 2,
    };
    static constexpr const char* kBankFolder = "User/VRX Banks";

    class cJobExportBank : public cWidgetProgress::cJob
    {
    public:
        cJobExportBank(cTriggerPad* module, const char* path);
        void Run(JobQueue::cJobQueue* queue) override;

        cTriggerPad* module;
        cGenStringFixed<260> packagePath;
        bool result = false;
    };

    class cJobImportBank : public cWidgetProgress::cJob
    {
    public:
        cJobImportBank(cTriggerPad* module, const char* destination, const char* path, bool copySamples);
        void Run(JobQueue::cJobQueue* queue) override;

        cTriggerPad* module;
        cGenStringFixed<260> destinationFolder;
        cGenStringFixed<260> bankPath;
        bool copySamples;
        bool result = false;
    };

    explicit cTriggerPadPanelBank(cTriggerPadUI* owner);

    void OnButton(int32_t value, cWidget* button);
    void OnBrowserDone(int32_t result, const char* path);
    void OnAlertDone(int32_t button, cWidgetAlert* alert);
    void OnJobDone(cWidgetProgress::cJob* job, cWidgetProgress* overlay);

    bool Draw(cDrawList& list) override;

    cTriggerPadButton* GetButton(int32_t button) const { return mButtons[button]; }
    int32_t GetPending() const { return mPending; }
    const char* GetLastPath() const { return mLastPath.CStr(); }

protected:
    ~cTriggerPadPanelBank() override;

private:
    void BuildLayout();
    void OpenBrowser(bool import);
    void ClearBank();
    void StartJob(cWidgetProgress::cJob* job, const char* title);
    void ShowFailure(const char* title, const char* format, const char* name);
    void RefreshEditor();

    cTriggerPadButton* mButtons[kButtonCount] = {};
    cImage mIcon;
    cLayoutItem* mIconItem = nullptr;
    cLayoutLinear* mBox = nullptr;
    cGenStringFixed<260> mLastPath;
    int32_t mPending = kPendingNone;
};
