#include "ui/TouchStressOverlay.h"

#include <climits>

#include "base/Random.h"
#include "render/DrawList.h"
#include "render/Material.h"
#include "render/TextBatch.h"
#include "ui/WidgetManager.h"

namespace
{
constexpr float kMarginX = 40.0f;
constexpr float kMarginY = 80.0f;
// Half of all fingers drag, in 2 to 20 frames; taps take ten frames.
constexpr int32_t kDragChoices = 10;
constexpr int32_t kFirstDragChoice = 5;
constexpr float kSlowestDrag = 0.05f;
constexpr float kDragSpeedRange = 0.5f;
constexpr float kTapSpeed = 0.1f;
// One in ten taps is a double tap, then one in ten of the rest a triple.
constexpr int32_t kTapCountChoices = 20;
constexpr int32_t kMultiTapChoices = 2;
constexpr float kCrossArm = 10.0f;
constexpr float kLineDepth = 1.0f;
constexpr uint32_t kPathColour = 0xffc8c8c8;
constexpr uint32_t kCrossColour = 0xff0000ff;
constexpr uint32_t kCaptionColour = 0xff2020ff;
constexpr float kCaptionSize = 12.0f;
constexpr float kCaptionX = 10.0f;
constexpr float kCaptionY = 35.0f;
constexpr const char* kCaption = "TOUCH STRESS";

int32_t gLastTouchId = 0;

int32_t NextTouchId()
{
    gLastTouchId = gLastTouchId == INT32_MAX ? 1 : gLastTouchId + 1;
    return gLastTouchId;
}

void Post(int32_t type, const cTouch& touch)
{
    if (cWidgetManager* manager = cWidgetManager::GetInstance())
        manager->PostTouchEvent(type, touch);
}

cVertexXYZColour Vertex(float x, float y, uint32_t colour) { return {x, y, kLineDepth, colour}; }
} // namespace

void cTouchStressOverlay::SetLastTouchId(int32_t id) { gLastTouchId = id; }

int32_t cTouchStressOverlay::GetLastTouchId() { return gLastTouchId; }

// The random numbers are drawn in a fixed order, so a run can be repeated.
void cTouchStressOverlay::cFinger::Start()
{
    const cWidgetManager* manager = cWidgetManager::GetInstance();
    const float width = manager ? manager->GetScreenRect().xMax : 0.0f;
    const float height = manager ? manager->GetScreenRect().yMax : 0.0f;
    const int32_t choice = RandomInt(kDragChoices);
    const float x = kMarginX + RandomFloat(width - kMarginX);
    const float y = kMarginY + RandomFloat(height - kMarginY);
    if (choice >= kFirstDragChoice)
    {
        const float targetX = kMarginX + RandomFloat(width - kMarginX);
        const float targetY = kMarginY + RandomFloat(height - kMarginY);
        target = {targetX, targetY};
        speed = kSlowestDrag + RandomFloat(kDragSpeedRange);
    }
    else
    {
        target = {x + 1.0f, y + 1.0f};
        speed = kTapSpeed;
    }
    start = position = {x, y};
    progress = 0.0f;
    touch.id = NextTouchId();
    touch.SetPosition(x, y, true);
    if (RandomInt(kTapCountChoices) < kMultiTapChoices)
        touch.tapCount = 2;
    else
        touch.tapCount = RandomInt(kTapCountChoices) < kMultiTapChoices ? 3 : 1;
    Post(kTouchDown, touch);
}

bool cTouchStressOverlay::cFinger::Step()
{
    if (!IsRunning())
        return false;
    progress += speed;
    if (progress >= 1.0f)
    {
        position = target;
        progress = 1.0f;
        touch.SetPosition(target.X, target.Y, false);
        Post(kTouchUp, touch);
        return false;
    }
    position = {start.X + (target.X - start.X) * progress, start.Y + (target.Y - start.Y) * progress};
    touch.SetPosition(position.X, position.Y, false);
    Post(kTouchMove, touch);
    return true;
}

int32_t cTouchStressOverlay::RunningFingers() const
{
    int32_t running = 0;
    for (const cFinger& finger : fingers)
        running += finger.IsRunning() ? 1 : 0;
    return running;
}

bool cTouchStressOverlay::HandleTouch(int32_t type, cTouch* touch, cWidget*)
{
    if (type != kTouchDown || touch->position.Y <= kSwitchLine || touch->tapCount < kSwitchTaps)
        return false;
    desiredFingers = desiredFingers == 0 ? kOn : 0;
    return true;
}

// The fingers' events reach the widget manager's queue, which hands them on
// after the frame's draw: handling them here would change the tree being
// walked.
bool cTouchStressOverlay::Draw(cDrawList& list)
{
    DrawFingers(list);
    StartIdleFinger();
    cFontHandle font;
    font.Select(kCaptionSize);
    list.GetTextBatch().DrawText(kCaptionX, kCaptionY, list.depth, font, kCaptionColour, kCaption);
    return false;
}

void cTouchStressOverlay::DrawFingers(cDrawList& list)
{
    uint32_t count = 0;
    for (cFinger& finger : fingers)
    {
        if (!finger.Step())
            continue;
        const cVector2 p = finger.position;
        mLines[count++] = Vertex(finger.start.X, finger.start.Y, kPathColour);
        mLines[count++] = Vertex(finger.target.X, finger.target.Y, kPathColour);
        mLines[count++] = Vertex(p.X - kCrossArm, p.Y - kCrossArm, kCrossColour);
        mLines[count++] = Vertex(p.X + kCrossArm, p.Y + kCrossArm, kCrossColour);
        mLines[count++] = Vertex(p.X - kCrossArm, p.Y + kCrossArm, kCrossColour);
        mLines[count++] = Vertex(p.X + kCrossArm, p.Y - kCrossArm, kCrossColour);
    }
    if (count == 0)
        return;
    cScopedMaterial untextured(list, list.GetUntexturedMaterial());
    list.DrawDirect(kPrimitiveLines, cVertexXYZColour::kFormat, mLines, count);
}

// At most one finger starts per frame; once switched off, none does.
void cTouchStressOverlay::StartIdleFinger()
{
    const int32_t running = RunningFingers();
    if (running >= desiredFingers || running >= kFingerCount)
        return;
    for (cFinger& finger : fingers)
        if (!finger.IsRunning())
        {
            finger.Start();
            return;
        }
}
