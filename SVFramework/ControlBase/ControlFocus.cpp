// Keys and the keyboard focus of a control: local bindings, the key handler, siblings' bindings,
// the window's and the application's hot keys, Tab navigation and the focus chain.
#include "ControlBase/Control.h"
#include "Notification/NotificationNames.h"

#include "ControlBase/KeyParam.h"
#include "Notification/Notification.h"
#include "Windows/RootWindow.h"
#include "Windows/WindowApplication.h"

#include <algorithm>
#include <vector>

namespace SV {

namespace {

// The key offered to a hot-key manager: the combination code, the side bits and the low byte of
// the previous state.
int32_t OfferToHotKeys(const RCPtr<LRootWindow>& window, const KeyCode& key)
{
    if (window) {
        const RCPtr<LGlobalHotKeyManager>& manager = window->GetHotKeyManager();
        if (manager && manager->HandleKey(key) != S_FALSE) {
            return S_OK;
        }
    }
    if (GetWindowApplication() != nullptr && GetWindowApplication()->GetHotKeyManager()) {
        return GetWindowApplication()->GetHotKeyManager()->HandleKey(key);
    }
    return S_FALSE;
}

bool IsTab(const LKeyParam& key)
{
    const uint32_t code = key.mKey.GetCode();
    return (code & KeyCode::kNoKey) == 0 && (code & KeyCode::kKeyDown) != 0 &&
           key.mKey.GetVirtualKey() == VK_TAB;
}

bool HasCtrl(const LKeyParam& key)
{
    return (key.mKey.GetCode() & KeyCode::kCtrl) != 0;
}

bool HasShift(const LKeyParam& key)
{
    return (key.mKey.GetCode() & KeyCode::kShift) != 0;
}

// A key travels as a const payload but collects the controls that pass it on; the payload is
// always made by CreateKeyParam, never const itself.
RCPtrArray<LControl>& PassedBy(const LKeyParam& key)
{
    return const_cast<LKeyParam&>(key).mPassed;
}

RCPtr<LControl> LastPassed(const LKeyParam& key)
{
    const int32_t count = key.mPassed.GetCount();
    return count > 0 ? *key.mPassed.At(count - 1) : nullptr;
}

} // namespace

void LControl::OnKey(const ConstRCPtr<LKeyParam>& key)
{
    if (!key || !AcceptsInput()) {
        return;
    }
    const RCPtr<LControl> keepAlive(this);
    const RCPtr<LSiblingKeyParam> sibling = CreateSiblingKeyParam(key->mKey, RCPtr<LControl>(this));
    SendNotificationToReceiver(this, kNidSiblingKey, sibling);
    if (sibling->mResult == 0) {
        return;
    }
    if (HandleKey(key) != S_FALSE) {
        return;
    }
    PassedBy(*key).Add(RCPtr<LControl>(this));
    if (!IsTab(*key)) {
        if (mParent) {
            mParent->BubbleKey(key);
        } else {
            OfferToHotKeys(GetRootWindowRef(), key->mKey);
        }
        return;
    }
    if (mWantsTab) {
        return;
    }
    if (mParent) {
        mParent->NavigateFocus(key);
    } else if (const RCPtr<LRootWindow>& window = GetRootWindowRef()) {
        window->TabToNextWindow(key);
    }
}

int32_t LControl::HandleKey(const ConstRCPtr<LKeyParam>& /*key*/)
{
    return S_FALSE;
}

int32_t LControl::OnSiblingKey(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                               const ConstRCPtr<LNotification>& notification)
{
    if (!AcceptsInput() || !notification) {
        return S_FALSE;
    }
    const auto* param = dynamic_cast<const LSiblingKeyParam*>(notification->GetPayload().Get());
    if (param == nullptr) {
        return S_FALSE;
    }
    const WideString name = mLocalHotKeys.FindNameForKey(param->mKey);
    if (!name.IsEmpty()) {
        // The result is the payload's answer to its sender, written by whoever uses the key.
        const_cast<LSiblingKeyParam*>(param)->mResult = 0;
        SendNotificationToReceiver(this, name.GetText(), notification->GetPayload());
    }
    return S_FALSE;
}

int32_t LControl::SendSiblingKey(const ConstRCPtr<LKeyParam>& key)
{
    const RCPtr<LNotificationClientPool> pool = FindClientPool(GetNotificationID(kNidSiblingKey));
    if (!pool || pool->GetClientCount() == 0) {
        return S_FALSE;
    }
    Array<LNotificationReceiver*> receivers;
    for (int32_t i = 0; i < pool->GetClientCount(); ++i) {
        receivers.Add(pool->GetClient(i)->mReceiver.Get());
    }
    Array<int32_t> order;
    SortByTabOrder(*key, receivers, order);
    const RCPtr<LControl> sender = LastPassed(*key);
    const RCPtr<LSiblingKeyParam> param = CreateSiblingKeyParam(key->mKey, sender);
    const RCPtr<LNotification> notification = CreateNotification(kNidSiblingKey, param);
    for (int32_t i = order.GetCount() - 1; i >= 0; --i) {
        const int32_t index = *order.At(i);
        if (index >= pool->GetClientCount()) {
            continue;
        }
        const LNotificationReceiver* receiver = pool->GetClient(index)->mReceiver.Get();
        if (sender && static_cast<const LNotificationReceiver*>(sender.Get()) == receiver) {
            continue;
        }
        pool->SendToClient(this, index, notification);
        if (param->mResult == 0) {
            return S_OK;
        }
    }
    return S_FALSE;
}

void LControl::BubbleKey(const ConstRCPtr<LKeyParam>& key)
{
    if (!key || SendSiblingKey(key) != S_FALSE) {
        return;
    }
    OfferToHotKeys(GetRootWindowRef(), key->mKey);
}

void LControl::NavigateFocus(const ConstRCPtr<LKeyParam>& key)
{
    if (!key) {
        return;
    }
    const RCPtr<LControl> keepAlive(this);
    auto passUp = [this](const ConstRCPtr<LKeyParam>& k) {
        PassedBy(*k).Add(RCPtr<LControl>(this));
        if (mParent) {
            mParent->NavigateFocus(k);
        } else if (const RCPtr<LRootWindow>& window = GetRootWindowRef()) {
            window->TabToNextWindow(k);
        }
    };
    if (HasCtrl(*key)) {
        const uint32_t code = HasShift(*key) ? 0x2000009u : 9u;
        passUp(CreateKeyParam(KeyCode::FromWords(code, 0, 0), 0));
        return;
    }
    const bool backwards = HasShift(*key);
    RCPtr<LControl> current = LastPassed(*key);
    if (!current) {
        return;
    }
    RCPtr<LControl> next = GetNextTabStop(current.Get(), backwards);
    while (next && next.Get() != current.Get()) {
        if (key->mDown == 0) {
            const int32_t from = mChildren.IndexOf(current.Get(), kTabOrder);
            const int32_t to = mChildren.IndexOf(next.Get(), kTabOrder);
            if (backwards ? to >= from : to <= from) {
                passUp(key);
                return;
            }
        }
        if (next->IsFocusTarget() || next->CanTakeFocus()) {
            next->SetFocus(!backwards);
            return;
        }
        if (!current->AcceptsInput()) {
            current = next;
        }
        next = GetNextTabStop(next.Get(), backwards);
    }
    if (key->mDown == 0) {
        passUp(key);
    }
}

RCPtr<LControl> LControl::GetNextTabStop(const LControl* child, bool backwards)
{
    const int32_t count = mChildren.GetCount();
    const int32_t start = child != nullptr ? mChildren.IndexOf(child, kTabOrder) : -1;
    if (start < 0) {
        return nullptr;
    }
    int32_t index = start;
    do {
        index = backwards ? (index == 0 ? count - 1 : index - 1) : (index + 1) % count;
        const RCPtr<LControl>& candidate = mChildren.GetAt(index, kTabOrder);
        if (candidate->AcceptsInput()) {
            return candidate;
        }
    } while (index != start);
    return nullptr;
}

bool LControl::IsNotFocusable(bool inherited) const
{
    for (const LControl* control = this; control != nullptr; control = control->mParent.Get()) {
        if (control->mNotFocusable) {
            return true;
        }
        if (!inherited || control->mFocusBarrier) {
            break;
        }
    }
    return false;
}

bool LControl::CanTakeFocus() const
{
    if (!AcceptsInput() || mNotFocusable) {
        return false;
    }
    for (int32_t i = mChildren.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LControl>& child = mChildren.GetAt(i, kStoredOrder);
        if (child->IsFocusTarget() || child->CanTakeFocus()) {
            return true;
        }
    }
    return false;
}

bool LControl::IsFocusTarget() const
{
    if (!AcceptsInput() || mNotFocusable || CanTakeFocus()) {
        return false;
    }
    return !mParent || mFocusBarrier || !mParent->IsNotFocusable(true);
}

RCPtr<LControl> LControl::FindFirstFocusableChild()
{
    const int32_t count = mChildren.GetCount();
    if (count == 0) {
        return nullptr;
    }
    const RCPtr<LControl> first = mChildren.GetAt(0, kTabOrder);
    RCPtr<LControl> candidate = first;
    while (candidate) {
        if (candidate->IsFocusTarget() || candidate->CanTakeFocus()) {
            return candidate;
        }
        candidate = GetNextTabStop(candidate.Get(), false);
        if (candidate.Get() == first.Get()) {
            break;
        }
    }
    return nullptr;
}

RCPtr<LControl> LControl::FindLastFocusableChild()
{
    const int32_t count = mChildren.GetCount();
    if (count == 0) {
        return nullptr;
    }
    const RCPtr<LControl> last = mChildren.GetAt(count - 1, kTabOrder);
    RCPtr<LControl> candidate = last;
    while (candidate) {
        if (candidate->IsFocusTarget() || candidate->CanTakeFocus()) {
            return candidate;
        }
        candidate = GetNextTabStop(candidate.Get(), true);
        if (candidate.Get() == last.Get()) {
            break;
        }
    }
    return nullptr;
}

RCPtr<LControl> LControl::FindFocusedChild() const
{
    for (int32_t i = mChildren.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LControl>& child = mChildren.GetAt(i, kStoredOrder);
        if (child->mHasFocus || child->mContainsFocus) {
            return child;
        }
    }
    return nullptr;
}

bool LControl::CanLoseFocus()
{
    return true;
}

int32_t LControl::SetFocus(bool forward)
{
    const RCPtr<LControl> keepAlive(this);
    const RCPtr<LRootWindow> window = GetRootWindowRef();
    if (!mHasFocus && window) {
        const RCPtr<LControl> holder = window->GetFocusedControl();
        if (holder && !holder->CanLoseFocus()) {
            return E_FAIL;
        }
    }
    const bool target = IsFocusTarget();
    if (mHasFocus && target) {
        return S_OK;
    }
    if (CanTakeFocus()) {
        RCPtr<LControl> child;
        if (mContainsFocus) {
            child = FindFocusedChild();
            if (child && !(child->IsFocusTarget() || child->CanTakeFocus())) {
                child = nullptr;
            }
        }
        if (!child) {
            child = forward ? FindFirstFocusableChild() : FindLastFocusableChild();
        }
        return child ? child->SetFocus(forward) : E_FAIL;
    }
    if (target) {
        int32_t result = S_OK;
        if (mContainsFocus) {
            mHasFocus = true;
            mContainsFocus = false;
            const RCPtr<LControl> child = FindFocusedChild();
            result = child ? child->OnFocusLost() : E_FAIL;
        } else {
            mHasFocus = true;
            if (mParent) {
                result = mParent->DescendFocus(this);
            }
        }
        if (window) {
            window->SetFocusedControl(RCPtr<LControl>(this));
        }
        UpdateConditions();
        return result;
    }
    if (mHasFocus) {
        return E_FAIL;
    }
    const RCPtr<LControl> top = GetRootControl();
    if (!top || top.Get() == this) {
        return top ? S_FALSE : E_FAIL;
    }
    if (!top->mHasFocus && !top->mContainsFocus) {
        return S_FALSE;
    }
    return top->SetFocus(true);
}

void LControl::PassFocusToParent()
{
    if (!mHasFocus && !mContainsFocus) {
        return;
    }
    const RCPtr<LControl> keepAlive(this);
    if (mParent) {
        const RCPtr<LControl> parent = mParent;
        parent->SetFocus(true);
    }
    if ((!mHasFocus && !mContainsFocus) || AcceptsInput()) {
        return;
    }
    // Nothing else in the tree could take the focus: a hidden or disabled control never holds
    // it, so the whole focus chain lets it go, as when the window loses the keyboard.
    LControl* top = this;
    while (top->mParent && (top->mParent->mHasFocus || top->mParent->mContainsFocus)) {
        top = top->mParent.Get();
    }
    const RCPtr<LControl> topKeepAlive(top);
    top->OnFocusLost();
}

void LControl::TakeFocusFromParent()
{
    // A control still being built from its description is not shown yet in this sense: it takes
    // the focus once its owner shows it.
    if (mCreated && mParent && mParent->mHasFocus && (IsFocusTarget() || CanTakeFocus())) {
        SetFocus(true);
    }
}

int32_t LControl::DescendFocus(LControl* child)
{
    if (mContainsFocus) {
        for (int32_t i = mChildren.GetCount() - 1; i >= 0; --i) {
            const RCPtr<LControl> other = mChildren.GetAt(i, kStoredOrder);
            if (other.Get() != child && (other->mHasFocus || other->mContainsFocus)) {
                return other->OnFocusLost() >= 0 ? 1 : 0;
            }
        }
        return 0;
    }
    mContainsFocus = true;
    if (mHasFocus) {
        mHasFocus = false;
        UpdateConditions();
        return 1;
    }
    int32_t result = 1;
    if (mParent) {
        result = mParent->DescendFocus(this) >= 0 ? 1 : 0;
    }
    UpdateConditions();
    return result;
}

int32_t LControl::OnFocusLost()
{
    const RCPtr<LControl> keepAlive(this);
    if (mHasFocus) {
        mHasFocus = false;
        UpdateConditions();
        if (const RCPtr<LRootWindow>& window = GetRootWindowRef()) {
            window->ClearFocusedControl();
        }
        return 1;
    }
    if (!mContainsFocus) {
        return 0;
    }
    mContainsFocus = false;
    const RCPtr<LControl> child = FindFocusedChild();
    const int32_t result = child ? child->OnFocusLost() : E_FAIL;
    UpdateConditions();
    return result >= 0 ? 1 : 0;
}

} // namespace SV
