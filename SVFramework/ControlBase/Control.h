// The base of every control: a node of the control tree with its name, parent, children, layout
// record, rectangle and scroll offset, looks, value, condition mask, text and font, and its own
// notification distributor. The top control of a window has no parent and holds its root window.
// Everything here runs on the user-interface thread.
#pragma once

#include "ControlBase/ConditionsParam.h"
#include "ControlBase/ControlDescriptor.h"
#include "ControlBase/ControlNotificationHandler.h"
#include "ControlBase/LayoutDescriptor.h"
#include "ControlBase/Look.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationHandler.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/TaggableObject.h"
#include "Renderer/Font.h"
#include "Renderer/Renderer.h"
#include "System/KeyBindingTable.h"
#include "Utilities/Graphics/Point.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Graphics/RectRegion.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"
#include "Windows/MouseParams.h"

#include "Desktop.h"

#include <cstdint>
#include <vector>

namespace SV {

class LKeyParam;
class LMenuDescriptor;
class LMenuItemUpdater;
class LMouseWheelParam;
class LBitmap;
class LNotificationCenter;
class LPointWithModifiersParam;
class LRootWindow;
class LSiblingKeyParam;
struct MenuItemState;

// Condition mask bits.
enum : uint32_t
{
    kConditionHasFocus = 0x1,
    kConditionContainsFocus = 0x2,
    kConditionPointerOver = 0x4,
    kConditionCapture = 0x8,
    kConditionLeftPressed = 0x10,
    kConditionMiddlePressed = 0x20,
    kConditionRightPressed = 0x40,
    kConditionLeftDragging = 0x80,
    kConditionMiddleDragging = 0x100,
    kConditionRightDragging = 0x200,
    kConditionEnabled = 0x400,
    kConditionVisible = 0x800,
    kConditionHover = 0x1000,
};

class LControl : public virtual LNotificationClient,
                 public virtual LNotificationDistributor,
                 public virtual LTaggableObject
{
public:
    // Orders of the child list.
    enum : int32_t
    {
        kStoredOrder = 0,
        kDrawOrder = 1,
        kTabOrder = 2,
    };

    // A control's children in the order of addition, with a tab order and a draw order that are
    // sorted lazily and stably after every change.
    class ChildControlList
    {
    public:
        explicit ChildControlList(LControl* owner) : mOwner(owner) {}
        ChildControlList(const ChildControlList&) = delete;
        ChildControlList& operator=(const ChildControlList&) = delete;
        virtual ~ChildControlList() = default;

        // 0; E_INVALIDARG for an empty child; E_FAIL when a child of that name is there already.
        int32_t Add(const RCPtr<LControl>& child);
        int32_t AddControl(LControl* child);
        // The child's former stored index, or -1 when it is not in the list.
        int32_t Remove(const RCPtr<LControl>& child);
        // 1 when there were none, else 0.
        int32_t RemoveAll();
        // The child at a position of an order; throws for a bad index or order.
        RCPtr<LControl>& GetAt(int32_t index, int32_t order);
        const RCPtr<LControl>& GetAt(int32_t index, int32_t order) const;
        int32_t UpdateOrder();

        int32_t GetCount() const { return mItems.GetCount(); }
        // The position of the child in the order, searched from the last entry; -1 when absent.
        int32_t IndexOf(const LControl* child, int32_t order) const;
        void MarkStale() { ++mModificationCount; }
        int32_t GetModificationCount() const { return mModificationCount; }

    private:
        void EnsureSorted() const;
        // The stored index of the child at `index` in `order`; throws the runtime error of the
        // given lines for an index out of range or an unknown order.
        int32_t StoredIndexAt(int32_t index, int32_t order, const char* rangeError,
                              const char* orderError) const;
        // Takes the child out of the items (it must be there) with every effect of removing it.
        void RemoveAt(int32_t index);

        RCPtrArray<LControl> mItems;
        mutable Array<uint32_t> mTabOrder;
        mutable Array<uint32_t> mDrawOrder;
        int32_t mModificationCount = 1;
        mutable int32_t mChildrenSorted = 0;
        LControl* mOwner;
    };

    LControl(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived = true);
    ~LControl() override;
    LControl(const LControl&) = delete;
    LControl& operator=(const LControl&) = delete;

    // Virtual operations, in the order of the control's table.
    virtual int32_t SetText(const WideString& text);
    virtual double SetNormalizedValue(double value);
    virtual void OnValueChanged();
    virtual int32_t SetValueRange(double minimum, double maximum, int32_t scale);
    virtual void BeginResize();
    virtual void EndResize();
    virtual void OnScrollOffsetChanged(const PointT<double>& oldOffset,
                                       const PointT<double>& newOffset);
    virtual void OnChildRectChanged(LControl* child);
    virtual void GetPreferredSize(double& width, double& height);
    virtual void GetMaxSize(double& width, double& height);
    virtual bool SetClipToParent(bool clip);
    virtual const PointT<double>& SetScrollOffset(const PointT<double>& offset);
    virtual void GetScrollLimits(RectT<double>& limits, LControl* child);
    virtual void GetClientArea(RectT<double>& area);
    virtual const RCPtr<LStringTable>& GetStringTable() const;
    virtual void SetFocusable(bool notFocusable);
    virtual void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions);
    virtual int32_t Detach();
    virtual void OnRootAttached();
    virtual void OnChildRemoved(LControl* child, int32_t formerIndex);
    virtual bool SetVisible(bool visible);
    // The index of the new slot; an empty look keeps its slot too. A new look starts invisible.
    virtual int32_t AddLook(const RCPtr<LLook>& look);
    // Answers 1 when the placement rectangle (screen coordinates of the client area) was
    // changed and is to be applied to the window; 0 leaves the window where it is.
    virtual int32_t OnPlaceRootWindow(RectT<double>& placement);
    virtual void SetEnabled(bool enabled);
    virtual int32_t ApplyDescriptor(const ConstRCPtr<LControlDescriptor>& descriptor);
    virtual void OnFontChanged();
    virtual int32_t ApplyFont();
    virtual int32_t OnParentLayoutChanged(const PointT<double>& oldOffset,
                                          const PointT<double>& newOffset);
    virtual int32_t Relayout(LControl* child);
    virtual void OnIdle();
    virtual int32_t CreateChildControls(const ConstRCPtr<LControlDescriptor>& descriptor);
    virtual int32_t Initialize();
    virtual int32_t ApplyProperties();
    // Puts the child under this control and applies the description to it; E_FAIL for an empty
    // child or description, else SetParent's result.
    virtual int32_t AttachChild(const RCPtr<LControl>& child,
                                const ConstRCPtr<LControlDescriptor>& descriptor);
    virtual int32_t FinishCreate();
    virtual void GetClientRect(RectT<double>& rect);
    virtual int32_t OnLayoutRequest(const PointT<int32_t>& size);

    // The tree.
    const WideString& GetName() const { return mName; }
    const RCPtr<LControl>& GetParent() const { return mParent; }
    ChildControlList& GetChildren() { return mChildren; }
    const ChildControlList& GetChildren() const { return mChildren; }
    // The direct child of that name (exact comparison), or a shared empty pointer.
    const RCPtr<LControl>& FindChildControl(const WideString& name) const;
    // 1 when the new parent already is the parent, else 0.
    int32_t SetParent(const RCPtr<LControl>& parent);
    // E_FAIL for a control with a parent, else 0.
    int32_t SetRootWindow(const RCPtr<LRootWindow>& window);
    RCPtr<LControl> GetRootControl();
    const RCPtr<LRootWindow>& GetRootWindowRef() const;
    // 1 for the child's own name, E_FAIL for a sibling's name, E_INVALIDARG when not a child.
    int32_t RenameChild(const RCPtr<LControl>& child, const WideString& newName);
    // The order in which the receivers of a sibling key (this control's children among them)
    // hear it: receivers that cannot take the focus first, then the focusable children in tab
    // order from the one after the control the key last passed, wrapping around. `order` gets
    // indexes into `receivers`.
    virtual int32_t SortByTabOrder(const LKeyParam& key,
                                   const Array<LNotificationReceiver*>& receivers,
                                   Array<int32_t>& order) const;
    void IncrementAncestorCounter();
    void DecrementAncestorCounter();
    int32_t GetUnclippedCount() const { return mUnclippedCount; }

    // The layout record and geometry.
    const RCPtr<LLayoutDescriptor>& GetLayout() const { return mLayout; }
    // Takes the record as the control's own (no layout happens).
    void SetLayout(const RCPtr<LLayoutDescriptor>& layout) { mLayout = layout; }
    const RectT<double>& GetRect() const { return mRect; }
    const PointT<double>& GetScrollOffset() const { return mScrollOffset; }
    // The result of SetRect, or E_FAIL when the control cannot be laid out.
    int32_t UpdateLayout();
    // 1 when nothing changed, else 0.
    int32_t SetRect(const PointT<double>& position, const PointT<double>& size);
    int32_t SetPlacement(const LayoutPositionSpec& xPosition, const LayoutSpec& xSize,
                         const LayoutPositionSpec& yPosition, const LayoutSpec& ySize);
    int32_t SetLayoutSpec(int32_t axis, const LayoutPositionSpec& position, const LayoutSpec& size);
    int32_t SetSizeLimits(int32_t axis, const LayoutSpec& minimum, const LayoutSpec& maximum);
    // 1 when they changed the position or size, E_FAIL when a needed growth is impossible.
    int32_t ApplyMinSize(PointT<double>& position, PointT<double>& size);
    int32_t ApplyMaxSize(PointT<double>& position, PointT<double>& size);
    PointT<double> GetPositionInRoot() const;
    PointT<double> GetPositionInRootRecursive() const;
    void OffsetToControl(const LControl& other, PointT<double>& point) const;
    void GetChildrenBounds(RectT<int32_t>& bounds) const;
    bool IsLayoutSuspended() const { return mLayoutSuspended; }

    // Looks.
    const RCPtrArray<LLook>& GetLooks() const { return mLooks; }
    // An index outside the looks (-1 by convention): the look in use, the first whose alpha is
    // above 0, else the first present.
    RCPtr<LLook> GetLook(int32_t index) const;
    // The client part of a look for the control's size; the whole control without a look.
    RectT<double> GetLookRect(int32_t index) const;
    // Shows the look alone.
    int32_t ShowLook(int32_t index);
    void ClearLooks();
    // An alpha outside 0..1 is ignored; exclusive clears every other look's. Invalidates the
    // control when an alpha changed. E_INVALIDARG for an index beyond the looks.
    int32_t SetLookAlpha(uint32_t index, float alpha, bool exclusive);
    float GetLookAlpha(int32_t index) const;
    // The first look present whose alpha is above 0, or -1.
    int32_t GetFirstActiveLookIndex() const;
    // Limits a look to a region of the control; E_INVALIDARG without a usable look.
    int32_t SetLookRegion(int32_t index, const RectRegion& region);
    // Limits look `a` to the control's area outside look `b`'s region.
    int32_t SetLookRegionExcluding(int32_t a, int32_t b);
    void ClearLookRegions();
    void ClearLookRegion(int32_t index);
    // Puts a picture over a look's client part (an empty bitmap removes it): 0 when changed, 1
    // when nothing changed, E_FAIL without a look.
    int32_t SetLookPart(const RCPtr<LBitmap>& bitmap, ResizeType resizeType, int32_t index,
                        bool hidesClient);
    // The part the look's label takes its colour from; E_FAIL without a look, E_INVALIDARG for an
    // empty part.
    int32_t SetLookVisualPart(const RCPtr<LVisualPart>& part, int32_t index);

    // Drawing. The dirty region is in root coordinates; controls that do not clip to their
    // parent are appended to `unclipped` and drawn afterwards by the window with the unclipped
    // pass set. E_INVALIDARG when the control belongs to the other pass.
    int32_t Draw(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                 RCPtrArray<LControl>& unclipped, bool unclippedPass);
    void DrawChildren(const RCPtr<LRenderer>& renderer, const RectRegion& dirty, int32_t lookIndex,
                      RCPtrArray<LControl>& unclipped);
    // The clip of a run of children: to the client rectangle of the look (moved back by the
    // scroll offset), or only the origin moved there.
    ClipRequest MakeChildClip(bool toClient, int32_t lookIndex) const;
    // The runs of children in draw order, each from `position` to the first child that does not
    // belong to it: docked on no axis, on one, on both. Runs A and B are stepped over when their
    // clip misses the current one.
    void DrawChildRunA(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                       RCPtrArray<LControl>& unclipped, const ClipRequest& clip, int32_t& position);
    void DrawChildRunB(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                       RCPtrArray<LControl>& unclipped, const ClipRequest& clip, int32_t& position);
    void DrawChildRunDocked(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                            RCPtrArray<LControl>& unclipped, const ClipRequest& clip,
                            int32_t& position);
    // Hooks for controls that draw beyond their looks, called once per dirty rectangle under a
    // clip to it.
    virtual int32_t OnDrawContent(const RCPtr<LRenderer>& renderer);
    virtual int32_t OnDrawOverChildren(const RCPtr<LRenderer>& renderer);
    // Appends the controls of the subtree that do not clip to their parent, parents before their
    // children in draw order; the number appended.
    int32_t CollectUnclippedControls(RCPtrArray<LControl>& list, bool visibleOnly,
                                     bool includeSelf);
    // Adds a rectangle of the control's own coordinates to the window's dirty region, clipped to
    // the ancestors up to the first that does not clip to its parent. 1 when nothing was left.
    int32_t Invalidate(const RectT<double>& rect, bool clip);
    int32_t InvalidateAbsolute(const RectT<double>& rootRect, bool clip,
                               const RectT<double>& localClip);
    // The whole area with the control's own clip flag.
    int32_t InvalidateSelf();
    // Invalidates the unclipped controls of the subtree, which may lie outside the areas their
    // ancestors invalidate.
    void InvalidateChildren();
    virtual bool IsTransparentAt(const PointT<int32_t>& point);
    [[nodiscard]] uint32_t GetColorAtPoint(const PointT<int32_t>& point, int32_t lookIndex) const;
    int32_t GetEffectiveZOrder() const;
    // Hides a child now and detaches it at the next idle pass, for a child that may still be
    // handling an event. E_INVALIDARG when it is not a child.
    int32_t DetachChildLater(const RCPtr<LControl>& child);
    int32_t DetachPendingChildren();
    const RCPtrArray<LControl>& GetPendingDetach() const { return mPendingDetach; }
    float GetOpacity() const { return mOpacity; }
    void SetOpacity(float opacity) { mOpacity = opacity; }
    // Label text that moves back by the scroll offset, as a text box scrolls its text.
    void SetLabelScrolls(bool scrolls) { mLabelScrolls = scrolls; }

    // Conditions.
    uint32_t ComputeConditions() const;
    void UpdateConditions();
    const RCPtr<LConditionsParam>& GetConditionsParam() const { return mConditionsParam; }
    void SetHoverHighlight(bool highlight);
    bool IsEnabled(bool inherited) const;
    bool IsVisible(bool inherited) const;

    // Values.
    double GetNormalizedValue() const { return mNormalizedValue; }
    double NormalizedToValue(double normalized) const;
    double ValueToNormalized(double value) const;

    // Idle time and motion timers.
    int32_t RequestIdle();
    int32_t ReleaseIdle();
    int32_t GetIdleRequests() const { return mIdleRequests; }
    int32_t StartTimer(int32_t index, double rate, double upper, double lower,
                       const RCPtr<LControl>& target);
    int32_t StopTimer(int32_t index);
    bool IsTimerRunning(int32_t index) const { return mMotionActive[index & 1]; }
    // Pixels per second of a motion timer.
    double GetMotionRate(int32_t index) const { return mMotionVelocity[index & 1]; }
    // The idle handler: advances running motions, then OnIdle.
    int32_t IdleStep(const ConstRCPtr<LNotificationDistributor>& sender,
                     const ConstRCPtr<LNotification>& notification);

    // Text and font.
    const WideString& GetText() const { return mLabelText; }
    // The text of the ID in the control's own string table; empty without a table or entry.
    WideString GetLocalizedText(const WideString& id) const;
    bool SetLabelText(const WideString& text, bool relayout);
    int32_t SetFont(const WideString& name, float size, int32_t style, bool relative);
    int32_t PropagateFont(const RCPtr<LFont>& font);
    const RCPtr<LFont>& GetFont() const { return mFont; }
    void SetFontInheritance(bool inheritsFromParent, bool sizeIsRelative);
    bool IsTextTruncated() const;

    // Creation.
    virtual WideString GetToolTipText() const { return mToolTipText; }
    const ConstRCPtr<LControlDescriptor>& GetControlDescriptor() const
    {
        return mControlDescriptor;
    }
    const KeyBindingTable& GetLocalHotKeys() const { return mLocalHotKeys; }
    bool WantsTab() const { return mWantsTab; }
    bool UsesParentToolTip() const { return mUseParentToolTip; }
    // A composite control lets its parts show its own tool tip.
    void SetUsesParentToolTip(bool uses) { mUseParentToolTip = uses; }
    // A CreateParam of the control's description read as a boolean: true when its text, trimmed
    // of blanks and lower-cased, is "true". Absent: `present` false.
    bool GetBoolProperty(const char16_t* id, bool& present) const;

    bool IsNotFocusable() const { return mNotFocusable; }
    bool IsCreated() const { return mCreated; }
    void SetCreated() { mCreated = true; }
    bool HasFocus() const { return mHasFocus; }
    bool ContainsFocus() const { return mContainsFocus; }

    // Pointer input, in the order of the input interface. Button events answer 0 handled, 1
    // refused (hidden or disabled), E_INVALIDARG for an empty payload or a bad button.
    virtual int32_t OnMouseEnter();
    virtual int32_t OnMouseMove(const ConstRCPtr<LPointWithModifiersParam>& event);
    virtual int32_t OnMouseDown(const ConstRCPtr<LMouseButtonParam>& event);
    virtual int32_t OnMouseUp(const ConstRCPtr<LMouseButtonParam>& event);
    virtual int32_t OnMouseLeave();
    // Takes the capture and starts the press of the button at the point (control coordinates).
    virtual int32_t OnDragStart(int32_t button, int32_t x, int32_t y);
    // 1 when the control held no capture, else the root window's release result.
    virtual int32_t OnCaptureLost();
    virtual void OnKey(const ConstRCPtr<LKeyParam>& key);
    // The first result other than 1 of the controls the wheel step was offered to, else 1;
    // -1 for an empty payload.
    virtual int32_t OnMouseWheel(const ConstRCPtr<LMouseWheelParam>& event);
    virtual bool CanLoseFocus();
    virtual int32_t OnFocusLost();

    // Hit testing: the deepest control under the point (this control's coordinates), the point
    // in its coordinates; z carries the highest effective Z order found so far.
    virtual RCPtr<LControl> HitTest(const PointT<int32_t>& point, bool within,
                                    PointT<int32_t>& localPoint, int32_t& z);
    virtual bool ContainsPoint(const PointT<int32_t>& point) const;
    void SetHitTestExcluded(bool excluded) { mHitTestExcluded = excluded; }

    // Hooks of pointer input; the base bodies do nothing.
    virtual int32_t RequestFocusOnClick(LControl* child);
    virtual void OnLeftButtonDown(const ConstRCPtr<LMouseButtonParam>& event);
    virtual void OnMiddleButtonDown(const ConstRCPtr<LMouseButtonParam>& event);
    virtual void OnRightButtonDown(const ConstRCPtr<LMouseButtonParam>& event);
    virtual void OnLeftButtonUp(const ConstRCPtr<LMouseButtonParam>& event);
    virtual void OnMiddleButtonUp(const ConstRCPtr<LMouseButtonParam>& event);
    virtual void OnRightButtonUp(const ConstRCPtr<LMouseButtonParam>& event);
    virtual void OnPointerMove(const ConstRCPtr<LPointWithModifiersParam>& event);
    // 1: the step was not used.
    virtual int32_t HandleVerticalWheel(const ConstRCPtr<LMouseWheelParam>& event);
    virtual int32_t HandleHorizontalWheel(const ConstRCPtr<LMouseWheelParam>& event);
    virtual int32_t OnClick(const ConstRCPtr<LMouseButtonParam>& event);
    virtual int32_t OnLeftClick(const ConstRCPtr<LMouseButtonParam>& event);
    virtual int32_t OnMiddleClick(const ConstRCPtr<LMouseButtonParam>& event);
    virtual int32_t OnRightClick(const ConstRCPtr<LMouseButtonParam>& event);
    virtual void BeforeLeftClick(const ConstRCPtr<LMouseButtonParam>& event);
    virtual void BeforeMiddleClick(const ConstRCPtr<LMouseButtonParam>& event);
    virtual void BeforeRightClick(const ConstRCPtr<LMouseButtonParam>& event);
    // E_INVALIDARG for a negative threshold.
    int32_t SetDragThreshold(int32_t pixels);
    int32_t GetDragThreshold() const { return mDragThreshold; }
    bool HasCapture() const { return mCapture; }
    bool IsPressed(int32_t index) const { return mPressed[index]; }
    bool IsDragging(int32_t index) const { return mDragging[index]; }
    bool IsPointerOver() const { return mPointerOver; }
    // Creates the named notification with the payload and hands it to the receiver with an
    // empty source; nothing happens when either is empty.
    static void SendNotificationToReceiver(LNotificationReceiver* receiver, const char16_t* name,
                                           const ConstRCPtr<LRefCountedObject>& payload);

    // Dragging with the left button. The control class chooses what a drag does, as a rule in
    // OnConditionsChanged when a press or a drag begins (a left press clears the mode): 0 no
    // drag, 1 drag and drop, 2 move inside the parent, 3 move with the parent scrolling near its
    // edges, 4 resize, 5 resize with that scrolling, 6 and above pan the own content (6 flings
    // on release). Flags: the axes, 1 X and 2 Y; for 4 and 5 the edges that follow the pointer,
    // 4 right, 8 left, 0x10 top, 0x20 bottom. 0, without any check.
    enum : int32_t
    {
        kDragNone = 0,
        kDragDrop = 1,
        kDragMove = 2,
        kDragMoveScrolling = 3,
        kDragResize = 4,
        kDragResizeScrolling = 5,
        kDragKineticPan = 6,
    };
    int32_t SetLayoutMode(int32_t mode, uint32_t flags);
    int32_t GetDragMode() const { return mDragMode; }
    uint32_t GetDragFlags() const { return mDragFlags; }
    // Called when the left drag begins and ends with a mode set.
    virtual void BeginDrag();
    virtual void EndDrag();
    // One pointer move of the drag (the point in the control's own coordinates).
    virtual void DragTo(const ConstRCPtr<LPointWithModifiersParam>& event);
    // Makes the current state the new start of the drag.
    virtual void RebaseDrag();
    // Runs at the end of every DragTo.
    virtual void OnDragMoved(const ConstRCPtr<LPointWithModifiersParam>& event);
    // Asked of the control under the pointer: the first control, going outwards and beneath the
    // overlays, that accepts the drop; empty when none.
    virtual RCPtr<LControl> FindDropTarget(const RCPtr<LControl>& source,
                                           const PointT<double>& rootPoint);
    virtual bool AcceptsDrop(const RCPtr<LControl>& source);
    // The directions in which a drop target scrolls while a control is dragged near its edges:
    // 4 right, 8 left, 0x10 up, 0x20 down.
    virtual uint32_t GetDropScrollDirections(const RCPtr<LControl>& source);
    // Narrows the area (the parent's content coordinates) inside which the press point stays.
    virtual void AdjustDragArea(RectT<double>& area);
    virtual void OnDragEnter(const RCPtr<LControl>& source);
    virtual void OnDragOver(const RCPtr<LControl>& source, const PointT<double>& rootPoint);
    virtual void OnDragLeave(const RCPtr<LControl>& source);
    // E_FAIL in the base; the dragged control does not look at the result.
    virtual int32_t OnDrop(const RCPtr<LControl>& source);
    const RCPtr<LControl>& GetDropTarget() const { return mDropTarget; }
    const PointT<double>& GetDragOffset() const { return mDragOffset; }
    const PointT<double>& GetFlingVelocity() const { return mFlingVelocity; }
    bool IsFlinging(int32_t axis) const { return mFling[axis & 1]; }
    bool IsInDragTo() const { return mInDragTo; }

    // Context menus and the menus of the string table.
    // Asked before a menu shows an entry that the control stands behind: a control that knows
    // the identifier sets the entry's state and answers 0; the base answers 1.
    virtual int32_t UpdateMenuItem(const RCPtr<LMenuDescriptor>& menu, int32_t index,
                                   const WideString& identifier, MenuItemState& state);
    virtual RCPtr<LMenuDescriptor>& GetContextMenu() { return mContextMenu; }
    // Runs after the popup of the context menu is filled, before it shows.
    virtual void OnContextMenuOpening(const RCPtr<LControl>& popup);
    // Replaces the context menu. Its entries that a window or application key binds go the way
    // the key goes; 0.
    int32_t SetContextMenu(const RCPtr<LMenuDescriptor>& menu);
    // Opens the menu at the pointer in a popup made from the skin's "contextMenu"; 0.
    int32_t ShowContextMenu(const RCPtr<LMenuDescriptor>& menu);
    // Appends the menus of the control's string table ("CONTEXT_MENU" keys); 1.
    int32_t ParseContextMenu(RCPtrArray<LMenuDescriptor, 1, 0>& menus);
    // Made on first use; it links back to this control until the control goes.
    RCPtr<LMenuItemUpdater>& GetMenuItemUpdater();
    // Registers (bind) or removes (unbind) OnMenuItemNotification for every entry of the menu,
    // sub-menus included, whose notification a key binds in the window or the application.
    void BindContextMenuItems(const RCPtr<LMenuDescriptor>& menu, bool bind);
    // A context-menu command that a key binds: sent on the way the key would send it; 1.
    int32_t OnMenuItemNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                   const ConstRCPtr<LNotification>& notification);

    // Tool tips, cursors and edit commands.
    // Shows (true) or hides (false) the control's tool tip; 0.
    virtual int32_t ShowToolTip(bool show);
    virtual bool SupportsEdit() const { return false; }
    // The control that handles edit commands: this one when it supports them, else the nearest
    // ancestor that does; empty when none.
    virtual RCPtr<LControl> GetEditTarget();
    virtual bool CanPerformEdit(int32_t operation) const;
    // Throws in the base: callers ask SupportsEdit and CanPerformEdit first.
    virtual int32_t PerformEdit(int32_t operation);
    void SetCursor(svp::HCURSOR cursor);
    // Shows the control's cursor (the arrow without one) in its window; the cursor shown before.
    svp::HCURSOR ApplyCursor();
    svp::HCURSOR GetCursor() const { return mCursor; }

    // Keys and focus.
    // 1 = not used.
    virtual int32_t HandleKey(const ConstRCPtr<LKeyParam>& key);
    // 0 a sibling's local binding used the key, 1 none did.
    virtual int32_t SendSiblingKey(const ConstRCPtr<LKeyParam>& key);
    virtual void BubbleKey(const ConstRCPtr<LKeyParam>& key);
    virtual void NavigateFocus(const ConstRCPtr<LKeyParam>& key);
    virtual RCPtr<LControl> GetNextTabStop(const LControl* child, bool backwards);
    // 0, 1 when nothing in the tree holds the focus, E_FAIL when it cannot move.
    virtual int32_t SetFocus(bool forward);
    virtual bool CanTakeFocus() const;
    bool IsFocusTarget() const;
    bool IsNotFocusable(bool inherited) const;
    bool IsFocusBarrier() const { return mFocusBarrier; }
    void SetFocusBarrier(bool barrier) { mFocusBarrier = barrier; }
    RCPtr<LControl> FindFirstFocusableChild();
    RCPtr<LControl> FindLastFocusableChild();
    RCPtr<LControl> FindFocusedChild() const;
    int32_t DescendFocus(LControl* child);
    // A branch that can no longer take keys (hidden, disabled, shrunk to nothing) gives the
    // focus it holds or contains to its parent; when nothing else in the tree takes it, the
    // branch lets it go.
    void PassFocusToParent();
    // A control that can take the focus again takes it when its parent holds it itself.
    void TakeFocusFromParent();
    int32_t OnSiblingKey(const ConstRCPtr<LNotificationDistributor>& sender,
                         const ConstRCPtr<LNotification>& notification);

    // The notification receiver part: a control hears only once it is created. The handlers of
    // the control's classes (ControlNotificationHandler members) take a notification in turn, the
    // most derived class first, until one answers non-zero; an unregistration drops the pair
    // from all of them.
    void Receive(const ConstRCPtr<LNotificationDistributor>& sender,
                 const ConstRCPtr<LNotification>& notification) override;
    int32_t Unregister(const RCPtr<LNotificationDistributor>& distributor,
                       const char16_t* name) override;
    // The release hook: breaks the cycles with children and registrations.
    int32_t ReleaseHook() override;

protected:
    // Sends the notification, without payload unless one is given, to the control's clients.
    void SendNotification(const char16_t* name,
                          const ConstRCPtr<LRefCountedObject>& payload = nullptr);
    // The window of the tree, else the application's active one, else its first one.
    RCPtr<LRootWindow> FindLayoutWindow() const;

    WideString mName;
    ConstRCPtr<LControlDescriptor> mControlDescriptor;
    RCPtr<LLayoutDescriptor> mLayout;
    RectT<double> mRect;
    PointT<double> mScrollOffset;
    int32_t mUnclippedCount = 0;
    RCPtr<LConditionsParam> mConditionsParam;
    bool mHasFocus = false;
    bool mContainsFocus = false;
    bool mPointerOver = false;
    bool mCapture = false;
    bool mPressed[3] = {false, false, false};
    bool mDragging[3] = {false, false, false};
    bool mHoverHighlight = false;
    PointT<double> mDragStartPoint;
    int32_t mDragMode = 0;
    double mNormalizedValue = 0.0;
    double mValueMinimum = 0.0;
    double mValueMaximum = 0.0;
    int32_t mValueScale = 0;
    RCPtrArray<LLook> mLooks;
    Array<float> mLookAlphas;
    RCPtr<LControl> mParent;
    RCPtr<LRootWindow> mRootWindow;
    RCPtr<LStringTable> mStringTable;
    bool mWantsTab = false;
    KeyBindingTable mLocalHotKeys;
    bool mNotFocusable = true;
    bool mFontInherits = false;
    bool mNameFromBase = false;
    bool mSizeFromBase = false;
    bool mStyleFromBase = false;
    bool mSizeIsRelative = false;
    float mSizeFactor = 1.0f;
    RCPtr<LFont> mFont;
    WideString mLabelText;
    WideString mToolTipText;
    bool mUseParentToolTip = false;
    bool mCreated = false;
    bool mLayoutSuspended = false;
    int32_t mIdleRequests = 0;
    bool mMotionActive[2] = {false, false};
    double mMotionTime[2] = {0.0, 0.0};
    double mMotionVelocity[2] = {0.0, 0.0};
    double mMotionMin[2] = {0.0, 0.0};
    double mMotionMax[2] = {0.0, 0.0};
    RCPtr<LControl> mMotionTarget[2];
    bool mFling[2] = {false, false};
    // The handlers of the control's classes, base class first; declared before LControl's own,
    // which joins it first.
    std::vector<ControlNotificationHandlerLink*> mHandlerChain;
    ControlNotificationHandler<LControl> mNotificationHandler{this};
    RCPtr<LNotificationCenter> mNotificationCenter;
    ChildControlList mChildren;
    bool mHitTestExcluded = false;
    // Set while wheel routing looks beneath the controls it asked: the hit test skips the whole
    // subtree.
    bool mSubtreeExcluded = false;
    bool mFocusBarrier = false;
    int32_t mDragThreshold = 1;
    uint32_t mDragFlags = 0;
    uint32_t mEventTime = 0;
    uint32_t mLastMoveTime = 0;
    uint32_t mReleaseTime = 0;
    // The drag: displacement accepted by the last move, size, parent scroll offset and layout
    // (X position, Y position, X size, Y size offsets) when it began.
    PointT<double> mDragOffset;
    PointT<double> mDragStartSize;
    PointT<double> mDragParentScroll;
    double mDragStartLayout[4] = {0.0, 0.0, 0.0, 0.0};
    // The clipping and docking that drag and drop changes for its duration.
    bool mWasUnclipped = false;
    bool mXWasDocked = false;
    bool mYWasDocked = false;
    RCPtr<LControl> mDropTarget;
    bool mInDragTo = false;
    // Pan velocity in pixels per second, and what a fling loses each second.
    PointT<double> mFlingVelocity;
    double mMotionDeceleration = 1000.0;
    ConstRCPtr<LMouseButtonParam> mLastLeftButtonEvent;
    RCPtr<LMenuDescriptor> mContextMenu;
    RCPtr<LMenuItemUpdater> mMenuItemUpdater;
    svp::HCURSOR mCursor = nullptr;
    svp::HCURSOR mRestoreCursor = nullptr;
    float mOpacity = 1.0f;
    bool mLabelScrolls = false;
    RCPtrArray<LControl> mPendingDetach;

private:
    // The steps of ApplyDescriptor.
    // A created root control: its window placed where OnPlaceRootWindow says, the control placed
    // there in absolute terms.
    void PlaceRootWindowAgain();
    // A created control keeps its visibility and enabled state; its focusability is read anew.
    void KeepVisibleAndEnabled(bool visible, bool enabled);
    // The looks of the skin's look list in place of the current ones, their blend weights kept.
    void ReplaceLooks(const RCPtr<LSkinDescriptor>& skin);
    // The string table's label at creation; later the current label again, for the new looks.
    void ApplyLabel();
    // The previous children that the description names again, attached in its order.
    void ReattachChildren(const LControlDescriptor::Children& childDescriptors,
                          RCPtrArray<LControl>& previous);
    // A root control fills its window's client area.
    void FillRootWindow();

    // Input is taken only by a control that is shown and enabled with its whole chain.
    bool AcceptsInput() const;
    // The pointer step that turns the presses into drags once the pointer has moved far enough.
    void CheckDragThreshold(const LPointWithModifiersParam& event);

    // What one drag step asks of the scrolling: the directions and the depth of the pointer in
    // the scroll zone per axis.
    struct DragScroll
    {
        bool right = false;
        bool left = false;
        bool down = false;
        bool up = false;
        PointT<double> speed;
    };
    // The parent's visible content, and the drag area inside it.
    void GetDragAreas(RectT<double>& visible, RectT<double>& area);
    void ScrollParentNearEdges(const PointT<double>& point, const PointT<double>& displacement,
                               const RectT<double>& visible, const RectT<double>& area,
                               DragScroll& scroll);
    void MoveOrResizeTo(const PointT<double>& displacement);
    void PanTo(const PointT<double>& displacement);
    void OfferDrop(const PointT<double>& rootPoint, DragScroll& scroll);
    // Starts or stops the motion timers of the control that scrolls for this drag.
    void DriveDragScrolling(const DragScroll& scroll);
    // Advances a running motion timer by the time since its last step.
    void StepMotion(int32_t axis);
    // Starts the fling of a kinetic pan at its release.
    void StartFling();
    friend class ChildControlList;
    friend class ControlNotificationHandlerLink;

    bool IsDocked(int axis) const { return mLayout && mLayout->axes[axis].docked; }
    bool IsClipped() const { return !mLayout || mLayout->clipToParent; }
    // Sets the control's own cursor when the pointer comes over it and the one it replaced when
    // the pointer or the capture goes.
    void FollowPointerWithCursor(uint32_t changed, uint32_t mask);
    // Registers the idle handler with the tree's window; the registration result, or 0 without
    // a window.
    int32_t RegisterIdle();
    void LayoutAxisMinimum(int axis, PointT<double>& position, PointT<double>& size,
                           int32_t& result);
    void LayoutAxisMaximum(int axis, PointT<double>& position, PointT<double>& size,
                           int32_t& result);
    // The reference of a named or "Children" limit: origin and extent in the parent's
    // coordinates; false when the axis is left alone.
    bool FindLimitReference(const WideString& name, int axis, bool forMaximum,
                            const PointT<double>& position, PointT<double>& origin,
                            PointT<double>& extent) const;
    void GrowByLookFrame(int axis, bool forMaximum, PointT<double>& size) const;
    int32_t DockedAxisCount() const { return (IsDocked(0) ? 1 : 0) + (IsDocked(1) ? 1 : 0); }
    // Own visibility flag and a size above 0; a control without layout record counts as shown.
    bool IsShown() const;
    // Where the control's corner lies in its parent's local coordinates.
    PointT<double> GetOffsetInParent() const;
    // Draws the run of children from `position` that are clipped and docked on `dockedAxes`
    // axes, under one clip; leaves `position` at the first child after the run.
    void DrawChildRun(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                      RCPtrArray<LControl>& unclipped, const ClipRequest& clip, int32_t& position,
                      int32_t dockedAxes);
    void DrawHookPerRectangle(const RCPtr<LRenderer>& renderer, const RectRegion& dirty,
                              bool overChildren);
};

// The rectangle of the layout rule for a record: position and size of both axes, anchors and
// docking, rounded by its edges. The area, client extent and reference point stand in for the
// parent's frames when there is no parent. 0, or E_INVALIDARG without a record.
int32_t ComputeLayoutRect(const LControl& control, const LControl* parent,
                          const RectT<double>& area, const PointT<double>& clientExtent,
                          const PointT<double>& referencePoint, RectT<double>& rect);

} // namespace SV
