// The framework's plain container: a scroll view that also hears the keys its parent hands to
// its children ("NID_SIBLING_KEY") and passes Tab navigation on through the tree of panels. The
// control behind "Framework.Panel" and the other panel classes of the skin.
#pragma once

#include "Controls/ScrollView.h"

namespace SV {

class LPanel : public LScrollView
{
public:
    LPanel(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LPanel() override;

    static RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                         const ConstRCPtr<LControlDescriptor>& descriptor);

    int32_t Initialize() override;
    // Tab navigation through nested panels: a panel with a parent does not wrap around inside
    // itself but hands the Tab on to its parent, which continues after the panel.
    RCPtr<LControl> GetNextTabStop(const LControl* child, bool backwards) override;
    void NavigateFocus(const ConstRCPtr<LKeyParam>& key) override;
    // A key no control used: offered to the children that hear this panel's sibling keys, then
    // passed on to the parent; the panel at the top offers it to the hot keys.
    void BubbleKey(const ConstRCPtr<LKeyParam>& key) override;

protected:
    // A key the parent hands to its children goes on to this panel's children; 1.
    int32_t OnParentSiblingKey(const ConstRCPtr<LNotificationDistributor>& sender,
                               const ConstRCPtr<LNotification>& notification);

    ControlNotificationHandler<LPanel> mPanelHandler{this};
};

} // namespace SV
