#include "support/ControlOverlaps.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <typeinfo>
#include <vector>

#include "ui/Widget.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetLabel.h"
#include "ui/WidgetModalContainer.h"
#include "ui/WidgetList.h"
#include "ui/WidgetMultiButton.h"
#include "ui/WidgetScrollBar.h"
#include "ui/WidgetSlider.h"
#include "ui/WidgetSpinButton.h"

namespace
{
// Neighbours in a grid or a row of buttons share their edge pixel.
constexpr float kSharedEdge = 1.0f;

std::string ClassName(const cWidget& widget)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(typeid(widget).name(), nullptr, nullptr, &status),
                                                std::free);
    return status == 0 && name ? name.get() : typeid(widget).name();
}

std::string Describe(const std::string& path, cWidget& widget)
{
    const cRect& r = widget.GetRect();
    char rect[96];
    std::snprintf(rect, sizeof(rect), " [%.0f,%.0f - %.0f,%.0f]", r.xMin, r.yMin, r.xMax, r.yMax);
    return path + rect;
}

std::string PathOf(const std::string& parent, cWidget& widget)
{
    std::string path = parent;
    const char* name = widget.GetName();
    if (name && *name)
        path.append("/").append(name);
    else
        path.append("/<").append(ClassName(widget)).append(">");
    return path;
}

bool HasArea(const cRect& r) { return r.xMax - r.xMin > kSharedEdge && r.yMax - r.yMin > kSharedEdge; }

bool Overlap(const cRect& a, const cRect& b)
{
    return std::min(a.xMax, b.xMax) - std::max(a.xMin, b.xMin) > kSharedEdge &&
           std::min(a.yMax, b.yMax) - std::max(a.yMin, b.yMin) > kSharedEdge;
}

bool WasDrawn(const cWidget& widget) { return widget.IsVisible() && !(widget.GetFlags() & kWidgetNotYetDrawn); }

bool HasDrawnChildren(const cWidget& widget)
{
    for (cWidget* child = widget.GetFirstChild(); child; child = child->GetNext())
        if (WasDrawn(*child))
            return true;
    return false;
}

bool IsControl(cWidget& widget)
{
    return dynamic_cast<cWidgetButton*>(&widget) || dynamic_cast<cWidgetKnob*>(&widget) ||
           dynamic_cast<cWidgetSlider*>(&widget) || dynamic_cast<cWidgetSpinButton*>(&widget) ||
           dynamic_cast<cWidgetLabel*>(&widget) || dynamic_cast<cWidgetMultiButton*>(&widget) ||
           dynamic_cast<cWidgetList*>(&widget) ||
           dynamic_cast<cWidgetScrollBar*>(&widget) || !HasDrawnChildren(widget);
}

std::vector<cWidget*> Layers(cWidget& widget)
{
    std::vector<cWidget*> layers;
    if (auto* container = dynamic_cast<cWidgetModalContainer*>(&widget))
        for (int i = 0; i < container->GetLayerCount(); ++i)
            layers.push_back(container->GetLayer(i).widget);
    return layers;
}

std::vector<cWidget*> DrawnLayers(cWidget& widget)
{
    std::vector<cWidget*> layers = Layers(widget);
    layers.erase(std::remove_if(layers.begin(), layers.end(), [](cWidget* layer) { return !WasDrawn(*layer); }),
                 layers.end());
    return layers;
}

void Walk(cWidget& parent, const std::string& path, std::string& report)
{
    std::vector<cWidget*> drawn;
    for (cWidget* child = parent.GetFirstChild(); child; child = child->GetNext())
        if (WasDrawn(*child) && HasArea(child->GetRect()))
            drawn.push_back(child);
    for (size_t i = 0; i < drawn.size(); ++i)
        for (size_t j = i + 1; j < drawn.size(); ++j)
            if (IsControl(*drawn[i]) && IsControl(*drawn[j]) && Overlap(drawn[i]->GetRect(), drawn[j]->GetRect()))
                report += Describe(PathOf(path, *drawn[i]), *drawn[i]) + " and " +
                          Describe(PathOf(path, *drawn[j]), *drawn[j]) + "\n";
    for (cWidget* child : drawn)
        Walk(*child, PathOf(path, *child), report);
    // Dialogues and pages pushed as layers lie over the rest by design; each
    // is walked on its own.
    for (cWidget* layer : DrawnLayers(parent))
        Walk(*layer, PathOf(path, *layer), report);
}
void CollectDisabled(cWidget& parent, std::vector<cRect>& rects)
{
    for (cWidget* child = parent.GetFirstChild(); child; child = child->GetNext())
    {
        if (!WasDrawn(*child))
            continue;
        if (!child->IsEnabled() && IsControl(*child))
            rects.push_back(child->GetRect());
        CollectDisabled(*child, rects);
    }
    for (cWidget* layer : DrawnLayers(parent))
        CollectDisabled(*layer, rects);
}
} // namespace

void MarkControlsUndrawn(cWidget* root)
{
    for (cWidget* child = root->GetFirstChild(); child; child = child->GetNext())
    {
        child->ModifyFlags(kWidgetNotYetDrawn, 0, false);
        MarkControlsUndrawn(child);
    }
    for (cWidget* layer : Layers(*root))
    {
        layer->ModifyFlags(kWidgetNotYetDrawn, 0, false);
        MarkControlsUndrawn(layer);
    }
}

std::string FindOverlappingControls(cWidget* root)
{
    std::string report;
    Walk(*root, "", report);
    return report;
}

std::vector<cRect> FindDisabledControls(cWidget* root)
{
    std::vector<cRect> rects;
    CollectDisabled(*root, rects);
    return rects;
}
