#pragma once

#include <cstdint>
#include <vector>

#include <gmock/gmock.h>

#include "base/Delegate.h"

class cWidget;

// Receives a control's delegate calls, (value, widget), and keeps them.
struct cControlRecorder
{
    struct cCall
    {
        int32_t value;
        cWidget* widget;
    };

    void OnReport(int32_t value, cWidget* widget) { calls.push_back({value, widget}); }
    cDelegate Delegate() { return cDelegate(this, &cControlRecorder::OnReport); }

    std::vector<int32_t> Values() const
    {
        std::vector<int32_t> values;
        for (const cCall& call : calls)
            values.push_back(call.value);
        return values;
    }

    std::vector<cCall> calls;
};
