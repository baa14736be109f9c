#pragma once

#include <string>
#include <vector>

#include "base/Delegate.h"

class cWidget;

// Receives a control's float reports, (value, widget), and keeps them.
struct cFloatRecorder
{
    void OnReport(float value, cWidget*) { values.push_back(value); }
    cDelegate Delegate() { return cDelegate(this, &cFloatRecorder::OnReport); }

    std::vector<float> values;
};

// Receives texts, (text, widget), as the knobs' shared value-text delegate
// sends them.
struct cTextRecorder
{
    void OnText(const char* text, cWidget*) { texts.emplace_back(text); }
    cDelegate Delegate() { return cDelegate(this, &cTextRecorder::OnText); }

    std::vector<std::string> texts;
};
