#include "Controls/ListBox.h"

#include "ControlBase/ControlApplication.h"
#include "ControlBase/ControlCreator.h"
#include "ControlBase/ControlFactory.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/StringWrapper.h"
#include "Renderer/MeasurementRenderer.h"
#include "ResultCodes.h"
#include "Utilities/Graphics/Rect.h"
#include "Utilities/Storage/StringTable.h"
#include "Utilities/Storage/WideText.h"
#include "Windows/RootWindow.h"

#include <algorithm>
#include <cmath>

namespace SV {

namespace {

const WideString kTemplateName(u"templateItem");
const WideString kItemPrefix(u"ITEM.");

WideString NumberedName(const char16_t* format, int32_t number)
{
    WideString name;
    name.Format(format, number);
    return name;
}

// The n of a name made by "item%d" (n from 1); 0 for any other name.
int32_t FixedRowNumber(const WideString& name)
{
    if (name.GetLength() < 5 || !(name.Left(4) == WideString(u"item"))) {
        return 0;
    }
    const WideString digits = name.MidFrom(4);
    for (int32_t i = 0; i < digits.GetLength(); ++i) {
        if (digits.GetText()[i] < u'0' || digits.GetText()[i] > u'9') {
            return 0;
        }
    }
    const int32_t n = WideToInt(digits.GetText());
    return NumberedName(u"item%d", n) == name ? n : 0;
}

RCPtr<LControlFactory> Factory()
{
    IControlApplication* application = GetControlApplication();
    return application != nullptr ? application->GetControlFactory() : nullptr;
}

int32_t RoundToInt(double v)
{
    return int32_t(RoundHalf(std::clamp(v, -2147483648.0, 2147483647.0)));
}

} // namespace

LListBox::LListBox(const RCPtr<LControl>& parent, const WideString& name, bool mostDerived)
    : LScrollView(parent, name, mostDerived)
{}

LListBox::~LListBox()
{}

RCPtr<LControl> LListBox::CreateControl(const RCPtr<LControl>& parent,
                                        const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LListBox>(parent, descriptor);
}

// Record slots --------------------------------------------------------------------------------

uint32_t LListBox::GetItemCount() const
{
    return uint32_t(mItems.size());
}

LListBox::ItemRecord& LListBox::GetItemRecord(uint32_t item)
{
    return mItems[item];
}

const LListBox::ItemRecord& LListBox::GetItemRecord(uint32_t item) const
{
    return mItems[item];
}

int32_t LListBox::InsertItemRecord(uint32_t item)
{
    mItems.insert(mItems.begin() + item, ItemRecord());
    return S_OK;
}

int32_t LListBox::RemoveItemRecord(uint32_t item)
{
    mItems.erase(mItems.begin() + item);
    return S_OK;
}

int32_t LListBox::SwapItems(uint32_t a, uint32_t b)
{
    std::swap(GetItemRecord(a), GetItemRecord(b));
    return S_OK;
}

// Creation ------------------------------------------------------------------------------------

int32_t LListBox::Initialize()
{
    const int32_t result = LScrollView::Initialize();
    if (result < 0) {
        return result;
    }
    mHandler.Create();
    SetAutoClientExtent(0, 0, 0);
    const RCPtr<LControl> templateRow = FindChildControl(kTemplateName);
    if (templateRow) {
        mTemplate = templateRow->GetControlDescriptor();
        MeasureItemHeight(*templateRow);
        templateRow->Detach();
        SetStepMode(true, mItemHeight);
        UpdateScrollBars();
        if (const RCPtr<LStringTable>& table = GetStringTable()) {
            LoadItemsFromStringTable(table);
        }
        return result;
    }
    int32_t n = 1;
    for (;; ++n) {
        auto* row = dynamic_cast<LListBoxItem*>(FindChildControl(NumberedName(u"item%d", n)).Get());
        if (row == nullptr) {
            break;
        }
        if (n == 1) {
            MeasureItemHeight(*row);
        }
        mRowPool.push_back(uint32_t(mChildren.IndexOf(row, kStoredOrder)));
        InsertItemRecord(uint32_t(n - 1));
        GetItemRecord(uint32_t(n - 1)).label = MakeTextLabel(row->GetText());
        WireRow(*row);
    }
    if (n > 1) {
        RefreshRowsFrom(0);
        if (mDropDownMode) {
            SetHeightToContent(std::max(GetContentHeight(), mItemHeight));
        }
        UpdateClientExtent();
    }
    return result;
}

void LListBox::WireRow(LListBoxItem& row)
{
    const RCPtr<LNotificationDistributor> source(&row);
    mHandler->RegisterHandler(&LListBox::OnRowMouseDown, source, kNidMouseDown);
    mHandler->RegisterHandler(&LListBox::OnRowLeftDragChange, source, kNidLeftDragConditionChange);
    mHandler->RegisterHandler(&LListBox::OnRowHoverChange, source, kNidHoverConditionChange);
    row.mDropDownMode = mDropDownMode;
}

void LListBox::UnwireRow(LControl& row)
{
    const RCPtr<LNotificationDistributor> source(&row);
    for (const char16_t* name :
         {kNidMouseDown, kNidLeftDragConditionChange, kNidHoverConditionChange}) {
        Unregister(source, name);
    }
}

int32_t LListBox::ApplyDescriptor(const ConstRCPtr<LControlDescriptor>& descriptor)
{
    mApplying = true;
    mTemplate = nullptr;
    const int32_t result = LScrollView::ApplyDescriptor(descriptor);
    // The control's own application re-attaches only the children the new skin names; the
    // template row is not among the children any more, so it is taken from the skin here.
    if (mCreated && descriptor && !mTemplate) {
        const LControlDescriptor::Children& children = descriptor->GetChildren();
        for (int32_t i = 0; i < children.GetCount(); ++i) {
            if ((*children.At(i))->GetName() == kTemplateName) {
                AttachChild(nullptr, *children.At(i));
                break;
            }
        }
    }
    mApplying = false;
    EnsureRowsCoverView();
    RefreshRowsFrom(mFirstVisible);
    if (mCreated) {
        RecomputeWidestItem();
    }
    return result;
}

int32_t LListBox::AttachChild(const RCPtr<LControl>& child,
                              const ConstRCPtr<LControlDescriptor>& descriptor)
{
    if (!child) {
        if (!descriptor || !(descriptor->GetName() == kTemplateName)) {
            return E_FAIL;
        }
        const RCPtr<LControlFactory> factory = Factory();
        if (!factory) {
            return E_FAIL;
        }
        mTemplate = descriptor;
        const RCPtr<LControl> row = factory->CreateControl(RCPtr<LControl>(this), descriptor);
        if (row) {
            MeasureItemHeight(*row);
            row->Detach();
            SetStepMode(true, mItemHeight);
            UpdateScrollBars();
        }
        return S_OK;
    }
    if (!child->GetControlDescriptor()) {
        return S_OK;
    }
    const int32_t result = LScrollView::AttachChild(child, descriptor);
    const int32_t n = FixedRowNumber(child->GetName());
    auto* row = dynamic_cast<LListBoxItem*>(child.Get());
    if (n > 0 && row != nullptr && row->GetParent().Get() == this) {
        if (mRowPool.size() < size_t(n)) {
            mRowPool.resize(size_t(n), 0);
        }
        mRowPool[size_t(n - 1)] = uint32_t(mChildren.IndexOf(row, kStoredOrder));
        // The row left the list for a moment and took its registrations along.
        if (mHandler) {
            WireRow(*row);
        }
    }
    return result;
}

void LListBox::OnChildRemoved(LControl* child, int32_t formerIndex)
{
    if (!mRowPool.empty() && child != nullptr && formerIndex >= 0) {
        // Only the row that left is dropped from the pool, wherever it stood; the positions of
        // the children after it move down by one. A child that is no row (the template row of
        // a new skin among them) leaves the pool's rows alone.
        const auto gone = std::find(mRowPool.begin(), mRowPool.end(), uint32_t(formerIndex));
        if (gone != mRowPool.end()) {
            mRowPool.erase(gone);
            UnwireRow(*child);
        }
        for (uint32_t& position : mRowPool) {
            if (position > uint32_t(formerIndex)) {
                --position;
            }
        }
    }
    LScrollView::OnChildRemoved(child, formerIndex);
}

// Rows ----------------------------------------------------------------------------------------

int32_t LListBox::CreateItemControl()
{
    const RCPtr<LControlFactory> factory = Factory();
    if (!mTemplate || !mTemplate->GetLayout() || !factory) {
        return E_FAIL;
    }
    const RCPtr<LLayoutDescriptor> layout = mTemplate->GetLayout()->Clone();
    LLayoutDescriptor::Axis& y = layout->axes[1];
    y.docked = true;
    y.anchor = 0.0f;
    y.position.absolute = 0.0;
    layout->textOverflowX = kTextOverflowClip;
    const RCPtr<LListBoxItem> last = mRowPool.empty() ? nullptr : GetRowControl(GetRowCount() - 1);
    if (last) {
        y.position.kind = kPositionToControl;
        y.position.reference = last->GetName();
        y.position.relative = 1.0f;
    } else {
        y.position.kind = kPositionToClient;
        y.position.reference.Clear();
        y.position.relative = 0.0f;
    }
    int32_t number = int32_t(GetRowCount()) + 1;
    while (FindChildControl(NumberedName(u"ItemControl%d", number))) {
        ++number;
    }
    const WideString name = NumberedName(u"ItemControl%d", number);
    const RCPtr<LControl> control = factory->CreateControl(
        RCPtr<LControl>(this), factory->CloneDescriptor(mTemplate, layout, name));
    auto* row = dynamic_cast<LListBoxItem*>(control.Get());
    if (row == nullptr) {
        if (control) {
            control->Detach();
        }
        return E_FAIL;
    }
    WireRow(*row);
    row->SetUsesParentToolTip(true);
    mRowPool.push_back(uint32_t(mChildren.IndexOf(row, kStoredOrder)));
    int32_t shown = -1;
    RefreshItemRow(ItemAtRowSteps(GetRowCount() - 1), shown);
    return S_OK;
}

int32_t LListBox::EnsureRowsCoverView()
{
    if (mBusy || mApplying) {
        return S_OK;
    }
    if (!mMeasured || !mTemplate) {
        return S_FALSE;
    }
    mBusy = true;
    const RectT<double> client = GetLookRect(-1);
    const double bottom = client.y + client.height + GetScrollOffset().y;
    for (;;) {
        const RCPtr<LListBoxItem> last =
            mRowPool.empty() ? nullptr : GetRowControl(GetRowCount() - 1);
        const double edge = last ? last->GetRect().y + last->GetRect().height : 0.0;
        if (edge >= bottom) {
            break;
        }
        const uint32_t before = GetRowCount();
        // A row that cannot be made, or that adds no height, would make this loop endless.
        if (CreateItemControl() < 0 || GetRowCount() == before) {
            break;
        }
        const RCPtr<LListBoxItem> added = GetRowControl(GetRowCount() - 1);
        if (!added || added->GetRect().y + added->GetRect().height <= edge) {
            break;
        }
    }
    mBusy = false;
    return S_OK;
}

RCPtr<LListBoxItem> LListBox::GetRowControl(uint32_t row) const
{
    if (row >= GetRowCount() || mRowPool[row] >= uint32_t(mChildren.GetCount())) {
        return nullptr;
    }
    return RCPtr<LListBoxItem>(
        dynamic_cast<LListBoxItem*>(mChildren.GetAt(int32_t(mRowPool[row]), kStoredOrder).Get()));
}

uint32_t LListBox::ItemAtRowSteps(uint32_t steps) const
{
    const uint32_t count = GetItemCount();
    uint32_t item = mFirstVisible;
    while (item < count && GetItemRecord(item).hidden) {
        ++item;
    }
    for (uint32_t s = 0; s < steps; ++s) {
        ++item;
        while (item < count && GetItemRecord(item).hidden) {
            ++item;
        }
    }
    return item;
}

int32_t LListBox::ItemRowFromIndex(uint32_t item) const
{
    if (item < mFirstVisible || item >= GetItemCount() || GetItemRecord(item).hidden) {
        return -1;
    }
    uint32_t row = 0;
    for (uint32_t i = mFirstVisible; i < item; ++i) {
        if (!GetItemRecord(i).hidden) {
            ++row;
        }
    }
    return row < GetRowCount() ? int32_t(row) : -1;
}

int32_t LListBox::ItemIndexFromControl(const LControl* control) const
{
    if (control == nullptr) {
        return -1;
    }
    for (int32_t row = int32_t(GetRowCount()) - 1; row >= 0; --row) {
        if (GetRowControl(uint32_t(row)).Get() == control) {
            return int32_t(ItemAtRowSteps(uint32_t(row)));
        }
    }
    return -1;
}

int32_t LListBox::RefreshItemRow(uint32_t item, int32_t& row)
{
    row = -1;
    const uint32_t count = GetItemCount();
    if (item < mFirstVisible || (item < count && GetItemRecord(item).hidden)) {
        return S_FALSE;
    }
    uint32_t number = 0;
    for (uint32_t i = mFirstVisible; i < item; ++i) {
        if (i >= count || !GetItemRecord(i).hidden) {
            ++number;
        }
    }
    const RCPtr<LListBoxItem> control = number < GetRowCount() ? GetRowControl(number) : nullptr;
    if (!control) {
        return S_FALSE;
    }
    row = int32_t(number);
    const ItemRecord& record = GetItemRecordOrEmpty(item);
    control->SetText(record.label ? record.label->ToString() : WideString());
    control->SetNormalizedValue(record.value);
    if (control->mAlternate != record.alternate) {
        control->mAlternate = record.alternate;
        control->UpdateStateLook();
    }
    control->SetEnabled(item < count);
    control->SetBlank(record.blank);
    return S_OK;
}

int32_t LListBox::RefreshRowsFrom(uint32_t index)
{
    if (mRowPool.empty()) {
        return S_FALSE;
    }
    const uint32_t last = ItemAtRowSteps(GetRowCount() - 1);
    for (uint32_t item = std::max(index, mFirstVisible); item <= last; ++item) {
        int32_t row = -1;
        if (item < GetItemCount() && GetItemRecord(item).hidden) {
            continue;
        }
        if (RefreshItemRow(item, row) < 0) {
            return E_FAIL;
        }
    }
    return S_OK;
}

int32_t LListBox::RefreshItemText(uint32_t index)
{
    if (index >= GetItemCount()) {
        return E_INVALIDARG;
    }
    int32_t row = ItemRowFromIndex(index);
    if (row >= 0) {
        const ItemRecord& record = GetItemRecord(index);
        GetRowControl(uint32_t(row))
            ->SetText(record.label ? record.label->ToString() : WideString());
    }
    RefreshItemRow(index, row);
    if (mDropDownMode) {
        UpdateClientExtent();
        SetHeightToContent(std::max(GetContentHeight(), mItemHeight));
    }
    return S_OK;
}

// Measuring and fitting -----------------------------------------------------------------------

bool LListBox::TemplateExpands() const
{
    return mTemplate && mTemplate->GetLayout() &&
           mTemplate->GetLayout()->textOverflowX == kTextOverflowExpand;
}

bool LListBox::TemplateSizesSelf() const
{
    return !mTemplate || !mTemplate->GetLayout() ||
           mTemplate->GetLayout()->axes[0].size.kind == kSizeToSelf;
}

int32_t LListBox::MeasureItemHeight(LControl& row)
{
    const double listWidth = mRect.width;
    LayoutSpec minimum;
    LayoutSpec maximum;
    const bool haveLimits = mLayout && mLayout->GetAxisLimits(0, minimum, maximum) == S_OK;
    if (haveLimits) {
        // The row lays out at its smallest while it is measured.
        SetSizeLimits(0, {kSizeToSelf, {}, 0.0f, 0.0}, maximum);
        RectT<double> area;
        GetClientArea(area);
        SetWidthToContent(mRect.width - area.width);
    }
    const WideString text = row.GetText();
    row.SetText(WideString());
    mTextMargin = RoundToInt(row.GetRect().width);
    row.SetText(WideString(u"{WXyg|}"));
    mItemHeight = RoundToInt(row.GetRect().height);
    if (mItemHeight < 1) {
        mItemHeight = kDefaultItemHeight;
    }
    row.SetText(text);
    if (haveLimits) {
        const RCPtr<LLayoutDescriptor>& rowLayout =
            row.GetControlDescriptor() ? row.GetControlDescriptor()->GetLayout() : nullptr;
        if (rowLayout && rowLayout->textOverflowX == kTextOverflowExpand &&
            minimum.absolute == 0.0) {
            minimum.absolute = std::trunc(listWidth);
        }
        SetSizeLimits(0, minimum, maximum);
        const RCPtr<LLayoutDescriptor>& own =
            mControlDescriptor ? mControlDescriptor->GetLayout() : nullptr;
        LayoutPositionSpec position;
        LayoutSpec size;
        LayoutPositionSpec skinPosition;
        LayoutSpec skinSize;
        if (own && mLayout->GetAxisSpec(0, position, size) == S_OK &&
            own->GetAxisSpec(0, skinPosition, skinSize) == S_OK) {
            SetLayoutSpec(0, position, skinSize);
        }
    }
    if (mDropDownMode) {
        SetHeightToContent(std::max(GetContentHeight(), mItemHeight));
    }
    mMeasured = true;
    return S_OK;
}

int32_t LListBox::MeasureItemWidth(uint32_t item) const
{
    if (item >= GetItemCount() || mRowPool.empty()) {
        return 0;
    }
    IControlApplication* application = GetControlApplication();
    const RCPtr<LMeasurementRenderer> measurer =
        application != nullptr ? application->GetMeasurementRenderer() : nullptr;
    const RCPtr<LListBoxItem> row = GetRowControl(0);
    if (!measurer || !row) {
        return 0;
    }
    const WideString text = GetItemText(item);
    const float width = measurer->MeasureText(text, ConstRCPtr<LFont>(row->GetFont())).width;
    return int32_t(float(mTextMargin) + (width + 0.5f));
}

int32_t LListBox::GetContentHeight() const
{
    int32_t shown = 0;
    for (uint32_t i = 0; i < GetItemCount(); ++i) {
        if (!GetItemRecord(i).hidden) {
            ++shown;
        }
    }
    return mItemHeight * shown;
}

void LListBox::SetWidestItemWidth(int32_t width)
{
    if (mLoading || width == mWidestItemWidth) {
        return;
    }
    mWidestItemWidth = width;
    UpdateClientExtent();
    FitWidthToWidest();
}

void LListBox::FitWidthToWidest()
{
    if (TemplateExpands()) {
        SetWidthToContent(GetScrollBarSizes().x + mWidestItemWidth);
    }
}

void LListBox::RecomputeWidestItem()
{
    int32_t widest = 0;
    for (uint32_t i = 0; i < GetItemCount(); ++i) {
        widest = std::max(widest, MeasureItemWidth(i));
    }
    SetWidestItemWidth(widest);
}

void LListBox::OnScrollBarShown(int32_t axis)
{
    LScrollView::OnScrollBarShown(axis);
    if (axis == 1) {
        FitWidthToWidest();
    }
}

int32_t LListBox::SetWidthToContent(double width)
{
    LayoutPositionSpec position;
    LayoutSpec size;
    if (!mLayout || mLayout->GetAxisSpec(0, position, size) != S_OK) {
        return S_FALSE;
    }
    const double frame = mRect.width - GetLookRect(-1).width;
    return SetLayoutSpec(0, position, {kSizeToSelf, {}, 0.0f, RoundHalf(frame + width)});
}

int32_t LListBox::SetHeightToContent(double height)
{
    LayoutPositionSpec position;
    LayoutSpec size;
    if (mLoading || !mLayout || mLayout->GetAxisSpec(1, position, size) != S_OK) {
        return S_FALSE;
    }
    const double frame = mRect.height - GetLookRect(-1).height;
    return SetLayoutSpec(1, position, {kSizeToSelf, {}, 0.0f, RoundHalf(frame + height)});
}

int32_t LListBox::SnapHeightToRows()
{
    if (!mLayout || mItemHeight <= 0) {
        return S_FALSE;
    }
    const double frame = mRect.height - GetLookRect(-1).height;
    const double row = mItemHeight;
    const auto snap = [&](double m) {
        return std::max(std::trunc((m - frame) / row) * row + frame, row + frame);
    };
    LayoutSpec minimum;
    LayoutSpec maximum;
    mLayout->GetAxisLimits(1, minimum, maximum);
    bool changed = false;
    for (LayoutSpec* limit : {&minimum, &maximum}) {
        if (limit->absolute > frame) {
            limit->absolute = snap(limit->absolute);
            changed = true;
        }
    }
    if (minimum.absolute > 0.0 || maximum.absolute > 0.0 || changed) {
        SetSizeLimits(1, minimum, maximum);
    }
    LayoutPositionSpec position;
    LayoutSpec size;
    mLayout->GetAxisSpec(1, position, size);
    if (size.absolute > 0.0) {
        size.absolute = std::max(std::trunc(size.absolute / row) * row + frame, row + frame);
        SetLayoutSpec(1, position, size);
    }
    return S_OK;
}

void LListBox::UpdateClientExtent()
{
    if (mLoading) {
        return;
    }
    const bool selfSized = TemplateSizesSelf();
    const double width = selfSized ? mWidestItemWidth : 0.0;
    SetClientExtent(width, GetContentHeight());
    if (!selfSized || mRowPool.empty()) {
        return;
    }
    // Rows centred in the client area, all as wide as the widest item.
    for (uint32_t r = 0; r < GetRowCount(); ++r) {
        const RCPtr<LListBoxItem> row = GetRowControl(r);
        if (!row || !row->GetLayout()) {
            continue;
        }
        LayoutPositionSpec position;
        LayoutSpec size;
        row->GetLayout()->GetAxisSpec(0, position, size);
        position.anchor = 0.5f;
        position.kind = kPositionToClient;
        position.reference.Clear();
        position.relative = 0.5f;
        position.absolute = 0.0;
        size = {kSizeToSelf, {}, 0.0f, double(mWidestItemWidth)};
        row->SetLayoutSpec(0, position, size);
    }
}

// Items ---------------------------------------------------------------------------------------

RCPtr<LRefCountedObject> LListBox::MakeTextLabel(const WideString& text)
{
    return RCPtr<LRefCountedObject>(CreateStringWrapper(text));
}

const LListBox::ItemRecord& LListBox::GetItemRecordOrEmpty(uint32_t index) const
{
    static const ItemRecord kEmpty;
    return index < GetItemCount() ? GetItemRecord(index) : kEmpty;
}

WideString LListBox::GetItemText(uint32_t index) const
{
    const ItemRecord& record = GetItemRecordOrEmpty(index);
    return record.label ? record.label->ToString() : WideString();
}

int32_t LListBox::InsertItem(uint32_t index, const RCPtr<LRefCountedObject>& label)
{
    if (index > GetItemCount()) {
        return E_INVALIDARG;
    }
    InsertItemRecord(index);
    GetItemRecord(index).label = label;
    EnsureRowsCoverView();
    RefreshRowsFrom(index);
    UpdateClientExtent();
    if (!mLoading) {
        const int32_t width = MeasureItemWidth(index);
        if (width > mWidestItemWidth) {
            SetWidestItemWidth(width);
        }
        if (mDropDownMode) {
            SetHeightToContent(std::max(GetContentHeight(), mItemHeight));
        }
    }
    return int32_t(index);
}

int32_t LListBox::RemoveItem(uint32_t index)
{
    if (index >= GetItemCount()) {
        return E_INVALIDARG;
    }
    const int32_t width = mLoading ? 0 : MeasureItemWidth(index);
    DeselectItem(index);
    RemoveItemRecord(index);
    const uint32_t count = GetItemCount();
    if ((mAnchor >= 0 && uint32_t(mAnchor) >= count) ||
        (mCaret >= 0 && uint32_t(mCaret) >= count)) {
        mAnchor = -1;
        mCaret = -1;
    }
    EnsureRowsCoverView();
    RefreshRowsFrom(index);
    UpdateClientExtent();
    if (!mLoading) {
        if (width == mWidestItemWidth) {
            RecomputeWidestItem();
        }
        if (mDropDownMode) {
            SetHeightToContent(std::max(GetContentHeight(), mItemHeight));
        }
    }
    if (count > 0) {
        EnsureItemVisible(count - 1 <= mFirstVisible ? count - 1 : mFirstVisible);
    }
    return int32_t(count);
}

int32_t LListBox::RemoveAllItems()
{
    // Widths, extent and height are worked out once at the end, not once per item.
    const bool wasLoading = mLoading;
    mLoading = true;
    int32_t result = S_OK;
    for (uint32_t i = GetItemCount(); i > 0; --i) {
        if (RemoveItem(i - 1) < 0) {
            result = E_FAIL;
        }
    }
    mLoading = wasLoading;
    mAnchor = -1;
    mCaret = -1;
    if (!mLoading) {
        UpdateClientExtent();
        RecomputeWidestItem();
        if (mDropDownMode) {
            SetHeightToContent(std::max(GetContentHeight(), mItemHeight));
        }
    }
    return result;
}

int32_t LListBox::SetItemCount(uint32_t count)
{
    if (GetItemCount() == count) {
        return int32_t(count);
    }
    const bool wasLoading = mLoading;
    mLoading = true;
    while (GetItemCount() < count) {
        if (InsertItem(GetItemCount(), nullptr) < 0) {
            break;
        }
    }
    while (GetItemCount() > count) {
        if (RemoveItem(GetItemCount() - 1) < 0) {
            break;
        }
    }
    mLoading = wasLoading;
    if (!mLoading) {
        UpdateClientExtent();
        RecomputeWidestItem();
        if (mDropDownMode) {
            SetHeightToContent(std::max(GetContentHeight(), mItemHeight));
        }
    }
    return GetItemCount() == count ? int32_t(count) : -int32_t(GetItemCount());
}

int32_t LListBox::SetItemLabel(uint32_t index, const RCPtr<LRefCountedObject>& label)
{
    if (index >= GetItemCount()) {
        return E_INVALIDARG;
    }
    const int32_t before = mLoading ? 0 : MeasureItemWidth(index);
    GetItemRecord(index).label = label;
    RefreshItemText(index);
    if (mLoading) {
        return S_OK;
    }
    if (before == mWidestItemWidth) {
        RecomputeWidestItem();
    } else {
        const int32_t width = MeasureItemWidth(index);
        if (width > mWidestItemWidth) {
            SetWidestItemWidth(width);
        }
    }
    return S_OK;
}

int32_t LListBox::SetItemData(uint32_t index, const RCPtr<LRefCountedObject>& label, double value,
                              bool alternate, bool blank)
{
    if (index >= GetItemCount()) {
        return E_INVALIDARG;
    }
    ItemRecord& record = GetItemRecord(index);
    record.label = label;
    record.value = value;
    record.alternate = alternate;
    record.blank = blank;
    return RefreshItemText(index);
}

int32_t LListBox::SetItemValue(uint32_t index, double value)
{
    if (index >= GetItemCount()) {
        return E_INVALIDARG;
    }
    ItemRecord& record = GetItemRecord(index);
    const bool was = record.value >= 0.5;
    const bool now = value >= 0.5;
    if (was != now) {
        mSelectedCount += now ? 1 : -1;
    }
    record.value = value;
    int32_t row = -1;
    RefreshItemRow(index, row);
    return S_OK;
}

bool LListBox::SetItemAlternate(uint32_t index, bool alternate)
{
    if (index >= GetItemCount()) {
        return false;
    }
    GetItemRecord(index).alternate = alternate;
    int32_t row = -1;
    RefreshItemRow(index, row);
    return true;
}

bool LListBox::SetItemBlank(uint32_t index, bool blank)
{
    if (index >= GetItemCount()) {
        return false;
    }
    GetItemRecord(index).blank = blank;
    int32_t row = -1;
    if (RefreshItemRow(index, row) == S_OK && !blank) {
        // Clearing the flag does not bring the text back by itself.
        GetRowControl(uint32_t(row))->SetText(GetItemText(index));
    }
    return true;
}

bool LListBox::SetItemHidden(uint32_t index, bool hidden)
{
    if (index >= GetItemCount()) {
        return false;
    }
    GetItemRecord(index).hidden = hidden;
    EnsureRowsCoverView();
    RefreshRowsFrom(mFirstVisible);
    UpdateClientExtent();
    return true;
}

bool LListBox::IsItemAlternate(uint32_t index) const
{
    return index < GetItemCount() && GetItemRecord(index).alternate;
}

double LListBox::GetItemValue(uint32_t index) const
{
    return index < GetItemCount() ? GetItemRecord(index).value : 0.0;
}

int32_t LListBox::FindItemByText(const WideString& text, bool caseSensitive) const
{
    for (uint32_t i = GetItemCount(); i > 0; --i) {
        const ItemRecord& record = GetItemRecord(i - 1);
        if (!record.label) {
            continue;
        }
        const WideString itemText = record.label->ToString();
        if (caseSensitive ? itemText == text
                          : WideCompareIgnoreCase(itemText.GetText(), text.GetText()) == 0) {
            return int32_t(i - 1);
        }
    }
    return -1;
}

RectT<double> LListBox::GetItemRect(uint32_t index) const
{
    const int32_t row = ItemRowFromIndex(index);
    const RCPtr<LListBoxItem> control = row >= 0 ? GetRowControl(uint32_t(row)) : nullptr;
    return control ? control->GetRect() : RectT<double>{};
}

int32_t LListBox::SetItemHoverHighlight(uint32_t index, bool highlight)
{
    const int32_t row = ItemRowFromIndex(index);
    const RCPtr<LListBoxItem> control = row >= 0 ? GetRowControl(uint32_t(row)) : nullptr;
    if (!control) {
        return S_FALSE;
    }
    control->SetHoverHighlight(highlight);
    return S_OK;
}

int32_t LListBox::ShowItemLook(uint32_t index, int32_t look)
{
    const int32_t row = ItemRowFromIndex(index);
    const RCPtr<LListBoxItem> control = row >= 0 ? GetRowControl(uint32_t(row)) : nullptr;
    if (!control || look < 0 || look >= control->GetLooks().GetCount()) {
        return S_FALSE;
    }
    return control->ShowLook(look);
}

int32_t LListBox::LoadItemsFromStringTable(const RCPtr<LStringTable>& table)
{
    if (!table) {
        return E_INVALIDARG;
    }
    RemoveAllItems();
    LStringTable::Entries entries;
    table->GetSortedEntries(entries);
    std::vector<WideString> texts;
    for (int32_t i = 0; i < entries.GetCount(); ++i) {
        const auto& entry = *entries.At(i);
        if (entry.first.GetLength() < kItemPrefix.GetLength() ||
            !(entry.first.Left(kItemPrefix.GetLength()) == kItemPrefix)) {
            continue;
        }
        const int32_t n = WideToInt(entry.first.MidFrom(kItemPrefix.GetLength()).GetText());
        // A negative or absurd number names no item a list could show.
        if (n < 0 || n > 65535) {
            continue;
        }
        if (texts.size() < size_t(n) + 1) {
            texts.resize(size_t(n) + 1);
        }
        texts[size_t(n)] = entry.second;
    }
    const bool wasLoading = mLoading;
    mLoading = true;
    SetItemCount(uint32_t(texts.size()));
    mLoading = true;
    for (size_t i = 0; i < texts.size(); ++i) {
        SetItemLabel(uint32_t(i), MakeTextLabel(texts[i]));
    }
    mLoading = wasLoading;
    UpdateClientExtent();
    RecomputeWidestItem();
    if (mDropDownMode) {
        SetHeightToContent(std::max(GetContentHeight(), mItemHeight));
    }
    return S_OK;
}

// Sorting -------------------------------------------------------------------------------------

bool LListBox::SortAllItems()
{
    return SortItems(0, GetItemCount()) >= 0;
}

int32_t LListBox::SortItems(uint32_t first, uint32_t count)
{
    if (count == 0) {
        return S_FALSE;
    }
    if (uint64_t(first) + count > GetItemCount()) {
        return E_INVALIDARG;
    }
    struct Entry
    {
        uint32_t item;
        const LRefCountedObject* label;
        WideString text;
    };
    std::vector<Entry> entries;
    entries.reserve(count);
    for (uint32_t i = first; i < first + count; ++i) {
        const ItemRecord& record = GetItemRecord(i);
        entries.push_back({i, record.label.Get(), GetItemText(i)});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.label != nullptr && a.label == b.label) {
            return false;
        }
        return WideCompareIgnoreCase(a.text.GetText(), b.text.GetText()) < 0;
    });
    // Anchor and caret follow the items they named.
    int32_t anchor = mAnchor;
    int32_t caret = mCaret;
    for (uint32_t p = 0; p < count; ++p) {
        if (mAnchor >= 0 && uint32_t(mAnchor) == entries[p].item) {
            anchor = int32_t(first + p);
        }
        if (mCaret >= 0 && uint32_t(mCaret) == entries[p].item) {
            caret = int32_t(first + p);
        }
    }
    mAnchor = anchor;
    mCaret = caret;
    for (uint32_t p = 0; p < count; ++p) {
        const uint32_t target = first + p;
        const uint32_t source = entries[p].item;
        if (source != target) {
            SwapItems(target, source);
            // The item that stood at `target` is now at `source`.
            for (uint32_t q = p + 1; q < count; ++q) {
                if (entries[q].item == target) {
                    entries[q].item = source;
                    break;
                }
            }
        }
    }
    RefreshRowsFrom(mFirstVisible);
    if (mCaret >= 0) {
        EnsureItemVisible(uint32_t(mCaret));
    }
    return S_OK;
}

// Scrolling -----------------------------------------------------------------------------------

void LListBox::OnScrollOffsetChanged(const PointT<double>& oldOffset,
                                     const PointT<double>& newOffset)
{
    if (newOffset.y != oldOffset.y && mItemHeight > 0) {
        const double step = mItemHeight;
        int64_t f = int64_t(std::llround(newOffset.y / step));
        f = std::max<int64_t>(f, 0);
        for (int64_t i = 0; i <= f && i < int64_t(GetItemCount()); ++i) {
            if (GetItemRecord(uint32_t(i)).hidden) {
                ++f;
            }
        }
        const uint32_t first = uint32_t(std::min<int64_t>(f, 0xFFFFFFFF));
        if (first != mFirstVisible) {
            mFirstVisible = first;
            RefreshRowsFrom(first);
            // The row under the pointer shows another item now: its hover state is taken anew.
            const RCPtr<LRootWindow>& window = GetRootWindowRef();
            LControl* hover = window ? window->GetHoverControl().Get() : nullptr;
            if (hover != nullptr && hover->GetParent().Get() == this &&
                ItemIndexFromControl(hover) >= 0) {
                hover->SetVisible(false);
                hover->SetVisible(true);
            }
        }
    }
    LScrollView::OnScrollOffsetChanged(oldOffset, newOffset);
}

int32_t LListBox::CountFullyVisibleRows() const
{
    const RectT<double> client = GetLookRect(-1);
    const double bottom = client.y + client.height + GetScrollOffset().y;
    int32_t k = 0;
    for (uint32_t r = 0; r < GetRowCount(); ++r) {
        const RCPtr<LListBoxItem> row = GetRowControl(r);
        if (!row || row->GetRect().y + row->GetRect().height > bottom) {
            break;
        }
        ++k;
    }
    return k;
}

int32_t LListBox::EnsureItemVisible(uint32_t index)
{
    const uint32_t count = GetItemCount();
    if (index >= count) {
        return E_INVALIDARG;
    }
    uint32_t item = index;
    if (GetItemRecord(item).hidden) {
        uint32_t found = count;
        for (uint32_t i = item; i > 0; --i) {
            if (!GetItemRecord(i - 1).hidden) {
                found = i - 1;
                break;
            }
        }
        if (found == count) {
            for (uint32_t i = item + 1; i < count; ++i) {
                if (!GetItemRecord(i).hidden) {
                    found = i;
                    break;
                }
            }
        }
        if (found == count) {
            return S_FALSE;
        }
        item = found;
    }
    if (mRowPool.empty()) {
        return S_FALSE;
    }
    const uint32_t n = uint32_t(std::max(CountFullyVisibleRows(), 1) - 1);
    // Moves back over n shown items; the first shown item when they run out.
    const auto back = [&](uint32_t from) {
        uint32_t at = from;
        uint32_t steps = n;
        for (uint32_t i = from; i > 0 && steps > 0; --i) {
            if (!GetItemRecord(i - 1).hidden) {
                at = i - 1;
                --steps;
            }
        }
        return at;
    };
    uint32_t lastShown = count - 1;
    while (lastShown > 0 && GetItemRecord(lastShown).hidden) {
        --lastShown;
    }
    const uint32_t last = back(lastShown);
    uint32_t target = 0;
    if (item > last) {
        target = last;
    } else if (item < mFirstVisible) {
        target = item;
    } else if (ItemAtRowSteps(n) >= item) {
        return S_OK;
    } else {
        target = back(item);
    }
    uint32_t p = 0;
    for (uint32_t i = 0; i < target; ++i) {
        if (!GetItemRecord(i).hidden) {
            ++p;
        }
    }
    if (p != mFirstVisible) {
        SetScrollOffset({GetScrollOffset().x, double(p) * mItemHeight});
    }
    return S_OK;
}

// Geometry and looks --------------------------------------------------------------------------

void LListBox::EndResize()
{
    LScrollView::EndResize();
    EnsureRowsCoverView();
    if (mFirstVisible < GetItemCount()) {
        EnsureItemVisible(mFirstVisible);
    }
}

void LListBox::OnChildRectChanged(LControl* child)
{
    LScrollView::OnChildRectChanged(child);
    EnsureRowsCoverView();
}

void LListBox::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LScrollView::OnConditionsChanged(conditions);
    if (!conditions) {
        return;
    }
    const uint32_t changed = conditions->mOldMask ^ conditions->mNewMask;
    if ((changed & (kConditionEnabled | kConditionHasFocus)) == 0) {
        return;
    }
    int32_t look = 0;
    if (!IsEnabled(true)) {
        look = 1;
    } else if (HasFocus()) {
        look = 2;
    }
    if (look >= GetLooks().GetCount()) {
        look = 0;
    }
    if (look < GetLooks().GetCount()) {
        ShowLook(look);
    }
}

// Notifications -------------------------------------------------------------------------------

} // namespace SV
