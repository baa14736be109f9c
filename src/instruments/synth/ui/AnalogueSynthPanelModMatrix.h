#pragma once
#include <cstdint>

#include "instruments/synth/ui/AnalogueSynthPanel.h"
#include "ui/ScrollHelper.h"

class cWidgetScrollBar;
class cWidgetSpinButton;

// "Patchbay": the eleven routings of the modulation matrix as a scrolling
// table (source, destination, parameter, amount); a tapped row is edited
// with the three spins below. The row and the scroll position are kept per
// instrument. Stored values are checked on the way in: a row outside the
// matrix is clamped into it, a position that is not a number counts as 0,
// and a destination the tables do not hold offers no parameter.
class cAnalogueSynthPanelModMatrix : public cAnalogueSynthPanel, public cScrollHelper::cListener
{
public:
    static constexpr int32_t kRowCount = 11;
    static constexpr float kMinimumVisibleRows = 5.0f;
    static constexpr float kPreferredRowHeight = 32.0f;

    explicit cAnalogueSynthPanelModMatrix(cAnalogueSynthUI* owner);

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

    void OnRowSelected(cScrollHelper* helper, int32_t row) override;

    // Reads the selected row back from the module into the three spins.
    void RefreshSpins();

    int32_t GetSelectedRow() const { return mRow; }
    const cScrollHelper& GetScroller() const { return mScroller; }
    const cRect& GetListRect() const { return mScroller.area; }
    cWidgetSpinButton* GetDestination() const { return mSpins[0]; }
    cWidgetSpinButton* GetParameter() const { return mSpins[1]; }
    cWidgetSpinButton* GetAmount() const { return mSpins[2]; }
    cWidgetScrollBar* GetScrollBar() const { return mScrollBar; }

protected:
    ~cAnalogueSynthPanelModMatrix() override;

private:
    void OnDestinationChanged(int32_t value, cWidget* sender);
    void OnParameterChanged(int32_t value, cWidget* sender);
    void OnAmountChanged(int32_t value, cWidget* sender);
    void PostField(int32_t field, int32_t value);
    void DrawRows(cDrawList& list, const struct cModMatrix& matrix);

    cScrollHelper mScroller;
    int32_t mRow = 0;
    cWidgetSpinButton* mSpins[3] = {};
    cWidgetScrollBar* mScrollBar = nullptr;
    float mColumns[4] = {};
};
