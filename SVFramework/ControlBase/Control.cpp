#include "ControlBase/Control.h"

#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/KeyParam.h"
#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/MenuItemUpdater.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenter.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "Utilities/Storage/ArrayUtils.h"
#include "Windows/RootWindow.h"

#include <algorithm>
#include <vector>

namespace SV {

namespace {

const RCPtr<LControl>& EmptyControl()
{
    static const RCPtr<LControl> empty;
    return empty;
}

struct OrderKeys
{
    bool clipped = true;
    int32_t docked = 0;
    int32_t zOrder = 0;
    int32_t tabStop = 0;
};

OrderKeys KeysOf(const LControl& control)
{
    OrderKeys keys;
    if (const RCPtr<LLayoutDescriptor>& layout = control.GetLayout()) {
        keys.clipped = layout->clipToParent;
        keys.docked = int32_t(layout->axes[0].docked) + int32_t(layout->axes[1].docked);
        keys.zOrder = layout->zOrder;
        keys.tabStop = layout->tabStop;
    }
    return keys;
}

} // namespace

// ChildControlList -----------------------------------------------------------------------------

int32_t LControl::ChildControlList::Add(const RCPtr<LControl>& child)
{
    return AddControl(child.Get());
}

int32_t LControl::ChildControlList::AddControl(LControl* c)
{
    // No pointer to the child is made before it is accepted: a child being constructed has no
    // holder yet, and a refused one must not be destroyed by a temporary's release.
    if (c == nullptr) {
        return E_INVALIDARG;
    }
    for (int32_t i = mItems.GetCount() - 1; i >= 0; --i) {
        if ((*mItems.At(i))->mName == c->mName) {
            return E_FAIL;
        }
    }
    int32_t gained = c->mUnclippedCount;
    if (c->mLayout && !c->mLayout->clipToParent) {
        ++gained;
    }
    for (int32_t i = 0; i < gained; ++i) {
        mOwner->IncrementAncestorCounter();
    }
    c->mParent = RCPtr<LControl>(mOwner);
    mOwner->AddInternalRef();
    mItems.Add(RCPtr<LControl>(c));
    ++mModificationCount;
    return S_OK;
}

void LControl::ChildControlList::RemoveAt(int32_t index)
{
    RCPtr<LControl> child = *mItems.At(index);
    int32_t lost = child->mUnclippedCount;
    if (!child->IsClipped()) {
        ++lost;
    }
    for (int32_t i = 0; i < lost; ++i) {
        mOwner->DecrementAncestorCounter();
    }
    mOwner->ReleaseInternalRef();
    child->mParent = nullptr;
    // A control that leaves the tree in the middle of a drag (its window went) lets go of it:
    // the dragged control and the control that scrolls for it would otherwise hold each other.
    child->mDropTarget = nullptr;
    child->StopTimer(0);
    child->StopTimer(1);
    mItems.RemoveAt(index, 1);
    ++mModificationCount;
    mOwner->OnChildRemoved(child.Get(), index);
}

int32_t LControl::ChildControlList::Remove(const RCPtr<LControl>& child)
{
    for (int32_t i = mItems.GetCount() - 1; i >= 0; --i) {
        if (mItems.At(i)->Get() == child.Get()) {
            RemoveAt(i);
            return i;
        }
    }
    return -1;
}

int32_t LControl::ChildControlList::RemoveAll()
{
    if (mItems.GetCount() == 0) {
        return S_FALSE;
    }
    for (int32_t i = mItems.GetCount() - 1; i >= 0; --i) {
        // A removal hook may take further children out; only those still there are removed.
        if (i < mItems.GetCount()) {
            RemoveAt(i);
        }
    }
    return S_OK;
}

void LControl::ChildControlList::EnsureSorted() const
{
    if (mChildrenSorted == mModificationCount) {
        return;
    }
    const uint32_t count = static_cast<uint32_t>(mItems.GetCount());
    const auto keyAt = [this](uint32_t index) { return KeysOf(**mItems.At(int32_t(index))); };
    // Ties fall back to the stored index, which keeps both orders stable.
    ArrayUtils::SortIndecies(mTabOrder, mItems, 0, count, [&](uint32_t a, uint32_t b) {
        const int32_t ta = keyAt(a).tabStop;
        const int32_t tb = keyAt(b).tabStop;
        return ta != tb ? ta < tb : a < b;
    });
    ArrayUtils::SortIndecies(mDrawOrder, mItems, 0, count, [&](uint32_t a, uint32_t b) {
        const OrderKeys ka = keyAt(a);
        const OrderKeys kb = keyAt(b);
        if (ka.clipped != kb.clipped) {
            return ka.clipped;
        }
        if (ka.docked != kb.docked) {
            return ka.docked < kb.docked;
        }
        if (ka.zOrder != kb.zOrder) {
            return ka.zOrder < kb.zOrder;
        }
        return a < b;
    });
    mChildrenSorted = mModificationCount;
}

int32_t LControl::ChildControlList::UpdateOrder()
{
    mChildrenSorted = mModificationCount - 1;
    EnsureSorted();
    return S_OK;
}

int32_t LControl::ChildControlList::StoredIndexAt(int32_t index, int32_t order,
                                                  const char* rangeError,
                                                  const char* orderError) const
{
    if (static_cast<uint32_t>(index) >= static_cast<uint32_t>(mItems.GetCount())) {
        throw Exception<std::runtime_error>(rangeError);
    }
    switch (order) {
    case kStoredOrder:
        return index;
    case kDrawOrder:
        EnsureSorted();
        return int32_t(*mDrawOrder.At(index));
    case kTabOrder:
        EnsureSorted();
        return int32_t(*mTabOrder.At(index));
    default:
        throw Exception<std::runtime_error>(orderError);
    }
}

RCPtr<LControl>& LControl::ChildControlList::GetAt(int32_t index, int32_t order)
{
    return *mItems.At(StoredIndexAt(
        index, order,
        "Runtime Error : SV::LControl::ChildControlList::GetAt : ControlBase\\Control : Line 3276",
        "Runtime Error : SV::LControl::ChildControlList::GetAt"
        " : ControlBase\\Control : Line 3296"));
}

const RCPtr<LControl>& LControl::ChildControlList::GetAt(int32_t index, int32_t order) const
{
    return *mItems.At(StoredIndexAt(
        index, order,
        "Runtime Error : SV::LControl::ChildControlList::GetAt : ControlBase\\Control : Line 3304",
        "Runtime Error : SV::LControl::ChildControlList::GetAt"
        " : ControlBase\\Control : Line 3324"));
}

int32_t LControl::ChildControlList::IndexOf(const LControl* child, int32_t order) const
{
    for (int32_t i = mItems.GetCount() - 1; i >= 0; --i) {
        if (GetAt(i, order).Get() == child) {
            return i;
        }
    }
    return -1;
}

// Construction and the tree -------------------------------------------------------------------

LControl::LControl(const RCPtr<LControl>& parent, const WideString& name, bool /*mostDerived*/)
    : mName(name), mConditionsParam(new LConditionsParam()), mChildren(this)
{
    if (parent) {
        SetParent(parent);
    }
    IControlApplication* application = GetControlApplication();
    if (RCPtr<LControlFactory> factory =
            application != nullptr ? application->GetControlFactory() : nullptr) {
        mStringTable = factory->GetStringTable(
            mParent ? mParent->mControlDescriptor : ConstRCPtr<LControlDescriptor>(), mName);
    }
}

LControl::~LControl() = default;

const RCPtr<LControl>& LControl::FindChildControl(const WideString& name) const
{
    for (int32_t i = mChildren.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LControl>& child = mChildren.GetAt(i, kStoredOrder);
        if (child->mName == name) {
            return child;
        }
    }
    return EmptyControl();
}

int32_t LControl::SetParent(const RCPtr<LControl>& parent)
{
    if (parent.Get() == mParent.Get()) {
        return S_FALSE;
    }
    // During construction nobody holds the control yet, and a keep-alive reference would destroy
    // it on its release when the new parent refuses it.
    RCPtr<LControl> keepAlive;
    if (GetRefCount() > 0) {
        keepAlive = RCPtr<LControl>(this);
    }
    if (mParent) {
        // The area it leaves is drawn again without it.
        InvalidateSelf();
        RCPtr<LControl> oldParent = mParent;
        oldParent->mChildren.Remove(RCPtr<LControl>(this));
    } else {
        mRootWindow = nullptr;
    }
    if (parent) {
        // A child queued for detaching leaves before a new one joins.
        parent->DetachPendingChildren();
        parent->mChildren.AddControl(this);
        // And it is drawn where it arrives.
        if (mParent.Get() == parent.Get()) {
            InvalidateSelf();
        }
    }
    return S_OK;
}

int32_t LControl::SetRootWindow(const RCPtr<LRootWindow>& window)
{
    if (mParent) {
        return E_FAIL;
    }
    mRootWindow = window;
    if (window) {
        if (const RCPtr<LControl>& mainControl = window->GetMainControl()) {
            if (mainControl.Get() != this) {
                mainControl->SetText(mLabelText);
            }
        }
        window->SetTitle(mLabelText);
        OnRootAttached();
    }
    return S_OK;
}

RCPtr<LControl> LControl::GetRootControl()
{
    LControl* control = this;
    while (control->mParent) {
        control = control->mParent.Get();
    }
    return RCPtr<LControl>(control);
}

const RCPtr<LRootWindow>& LControl::GetRootWindowRef() const
{
    const LControl* control = this;
    while (control->mParent) {
        control = control->mParent.Get();
    }
    return control->mRootWindow;
}

int32_t LControl::Detach()
{
    const RCPtr<LControl> keepAlive(this);
    // A drag in progress ends here: its drop target and scrolling owner let go of this control.
    if (mCapture) {
        OnCaptureLost();
    }
    StopTimer(0);
    StopTimer(1);
    SetVisible(false);
    SetClipToParent(true);
    // Unbalanced releases must not keep this loop going: ReleaseIdle never goes below 0.
    while (mIdleRequests > 0) {
        ReleaseIdle();
    }
    if (mParent) {
        return SetParent(nullptr);
    }
    return SetRootWindow(nullptr);
}

int32_t LControl::RenameChild(const RCPtr<LControl>& child, const WideString& newName)
{
    if (child && child->mName == newName) {
        return S_FALSE;
    }
    int32_t index = -1;
    for (int32_t i = mChildren.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LControl>& item = mChildren.GetAt(i, kStoredOrder);
        if (item->mName == newName) {
            return E_FAIL;
        }
        if (item.Get() == child.Get()) {
            index = i;
        }
    }
    if (index < 0) {
        return E_INVALIDARG;
    }
    const WideString oldName = child->mName;
    child->mName = newName;
    for (int32_t i = index + 1; i < mChildren.GetCount(); ++i) {
        if (const RCPtr<LLayoutDescriptor>& layout = mChildren.GetAt(i, kStoredOrder)->mLayout) {
            layout->RenameReference(oldName, newName);
        }
    }
    return S_OK;
}

bool LControl::SetClipToParent(bool clip)
{
    if (!mLayout) {
        return true;
    }
    const bool old = mLayout->clipToParent;
    if (clip == old) {
        return old;
    }
    // The area outside the parent is invalidated while the control is drawn there: before it
    // is clipped, after it is unclipped.
    const RectT<double> area{0.0, 0.0, mRect.width, mRect.height};
    if (clip) {
        Invalidate(area, false);
    }
    mLayout->clipToParent = clip;
    if (mParent) {
        mParent->mChildren.MarkStale();
        if (clip) {
            mParent->DecrementAncestorCounter();
        } else {
            mParent->IncrementAncestorCounter();
        }
    }
    if (!clip) {
        Invalidate(area, false);
    }
    return clip;
}

int32_t LControl::SortByTabOrder(const LKeyParam& key,
                                 const Array<LNotificationReceiver*>& receivers,
                                 Array<int32_t>& order) const
{
    struct Record
    {
        int32_t receiver;
        int32_t position;
        bool focusable;
    };
    order.RemoveAll();
    std::vector<Record> records;
    int32_t stranger = INT32_MIN;
    for (int32_t e = 0; e < receivers.GetCount(); ++e) {
        const auto* control = dynamic_cast<const LControl*>(*receivers.At(e));
        const int32_t position = control != nullptr ? mChildren.IndexOf(control, kTabOrder) : -1;
        if (position < 0) {
            // Receivers that are not children hear the key first, in the order met.
            records.push_back({e, stranger++, false});
        } else {
            records.push_back({e, position, !control->mNotFocusable});
        }
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const Record& a, const Record& b) { return a.position < b.position; });
    const auto count = static_cast<int32_t>(records.size());
    int32_t k = 0;
    while (k < count && !records[size_t(k)].focusable) {
        order.Add(records[size_t(k)].receiver);
        ++k;
    }
    const LControl* last =
        key.mPassed.GetCount() > 0 ? key.mPassed.At(key.mPassed.GetCount() - 1)->Get() : nullptr;
    const int32_t b = last != nullptr ? mChildren.IndexOf(last, kTabOrder) : -1;
    int32_t n = k;
    while (n < count && records[size_t(n)].position <= b) {
        ++n;
    }
    for (int32_t i = n; i < count; ++i) {
        order.Add(records[size_t(i)].receiver);
    }
    for (int32_t i = k; i < n; ++i) {
        order.Add(records[size_t(i)].receiver);
    }
    return S_OK;
}

void LControl::IncrementAncestorCounter()
{
    for (LControl* control = this; control != nullptr; control = control->mParent.Get()) {
        ++control->mUnclippedCount;
    }
}

void LControl::DecrementAncestorCounter()
{
    for (LControl* control = this; control != nullptr; control = control->mParent.Get()) {
        --control->mUnclippedCount;
    }
}

void LControl::OnChildRemoved(LControl* /*child*/, int32_t /*formerIndex*/)
{}

void LControl::SetFocusable(bool notFocusable)
{
    const bool signAgrees = !mLayout || ((mLayout->tabStop < 0) == notFocusable);
    if (mNotFocusable == notFocusable && signAgrees) {
        return;
    }
    mNotFocusable = notFocusable;
    if (!signAgrees) {
        mLayout->tabStop = mLayout->tabStop == 0 ? -1 : -mLayout->tabStop;
    }
    if (mParent) {
        mParent->mChildren.MarkStale();
    }
    const RCPtr<LControl> keepAlive(this);
    if (!notFocusable) {
        TakeFocusFromParent();
    } else if (mHasFocus) {
        PassFocusToParent();
    }
}

// Notifications -------------------------------------------------------------------------------

void LControl::SendNotification(const char16_t* name, const ConstRCPtr<LRefCountedObject>& payload)
{
    Notify(CreateNotification(name, payload));
}

void LControl::Receive(const ConstRCPtr<LNotificationDistributor>& sender,
                       const ConstRCPtr<LNotification>& notification)
{
    if (!mCreated) {
        return;
    }
    // The most derived class first; LControl's own handlers are the last link.
    for (size_t link = mHandlerChain.size(); link > 0; --link) {
        if (mHandlerChain[link - 1]->HandleNotification(sender, notification) != 0) {
            return;
        }
    }
}

int32_t LControl::Unregister(const RCPtr<LNotificationDistributor>& distributor,
                             const char16_t* name)
{
    for (ControlNotificationHandlerLink* link : mHandlerChain) {
        link->UnregisterHandler(distributor, name);
    }
    return LNotificationClient::Unregister(distributor, name);
}

int32_t LControl::ReleaseHook()
{
    UnregisterAllClients();
    if (const RCPtr<LMenuItemUpdater> updater = mMenuItemUpdater) {
        mMenuItemUpdater = nullptr;
        updater->CutLink();
        ReleaseInternalRef();
    }
    mChildren.RemoveAll();
    UnregisterAll();
    return (GetInternalRefCount() == 0 && GetRefCount() == 1) ? S_OK : E_FAIL;
}

} // namespace SV
