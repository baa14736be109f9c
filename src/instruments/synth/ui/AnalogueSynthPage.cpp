#include "instruments/synth/ui/AnalogueSynthPage.h"

#include <strings.h>

void cAnalogueSynthPage::ShowFirstPanel(bool) {}

void cAnalogueSynthPage::ShowLastPanel(bool) {}

void cAnalogueSynthPage::StepBack() {}

void cAnalogueSynthPage::StepForward() {}

bool cAnalogueSynthPage::IsAtFirstPanel() const { return true; }

bool cAnalogueSynthPage::IsAtLastPanel() const { return true; }

bool cAnalogueSynthPage::ShowPanel(const char* name)
{
    for (cWidget* child = GetFirstChild(); child; child = child->GetNext())
        if (strcasecmp(child->GetName(), name ? name : "") == 0)
            return true;
    return false;
}

const char* cAnalogueSynthPage::GetCurrentPanelName() const
{
    const cWidget* first = GetFirstChild();
    return first ? first->GetName() : "";
}
