#include "Controls/CheckedListBox.h"

#include "ControlBase/ControlCreator.h"
#include "ControlBase/DockedPart.h"
#include "ControlBase/LookDescriptor.h"
#include "ControlBase/VisualPart.h"
#include "Controls/Button.h"
#include "Controls/CheckedListBoxParams.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ResultCodes.h"
#include "Utilities/Graphics/Bitmap.h"

#include <cstring>
#include <typeinfo>

namespace SV {

namespace {

constexpr int32_t kIconLook = 3;

} // namespace

LCheckedListBox::LCheckedListBox(const RCPtr<LControl>& parent, const WideString& name,
                                 bool mostDerived)
    : LListBox(parent, name, mostDerived)
{}

LCheckedListBox::~LCheckedListBox()
{
    mIcons.clear();
    mRecords.clear();
}

RCPtr<LControl> LCheckedListBox::CreateControl(const RCPtr<LControl>& parent,
                                               const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LCheckedListBox>(parent, descriptor);
}

// Records -------------------------------------------------------------------------------------

uint32_t LCheckedListBox::GetItemCount() const
{
    return uint32_t(mRecords.size());
}

LListBox::ItemRecord& LCheckedListBox::GetItemRecord(uint32_t item)
{
    return mRecords[item];
}

const LListBox::ItemRecord& LCheckedListBox::GetItemRecord(uint32_t item) const
{
    return mRecords[item];
}

LCheckedListBox::CheckedItemRecord& LCheckedListBox::GetCheckedItemRecord(uint32_t item)
{
    return mRecords[item];
}

int32_t LCheckedListBox::InsertItemRecord(uint32_t item)
{
    mRecords.insert(mRecords.begin() + item, CheckedItemRecord());
    return S_OK;
}

int32_t LCheckedListBox::RemoveItemRecord(uint32_t item)
{
    mRecords.erase(mRecords.begin() + item);
    return S_OK;
}

int32_t LCheckedListBox::SwapItems(uint32_t a, uint32_t b)
{
    std::swap(mRecords[a], mRecords[b]);
    return S_OK;
}

int32_t LCheckedListBox::SetItemCount(uint32_t count)
{
    const int32_t result = LListBox::SetItemCount(count);
    RecountCheckedItems();
    return result;
}

void LCheckedListBox::RecountCheckedItems()
{
    int32_t checked = 0;
    for (uint32_t i = GetItemCount(); i > 0; --i) {
        checked += GetCheckedItemRecord(i - 1).checked ? 1 : 0;
    }
    mCheckedCount = checked;
}

bool LCheckedListBox::IsItemChecked(uint32_t index) const
{
    return index < GetItemCount() && CheckedRecord(index).checked;
}

void LCheckedListBox::SetItemChecked(uint32_t index, bool checked)
{
    if (index >= GetItemCount() || GetCheckedItemRecord(index).checked == checked) {
        return;
    }
    GetCheckedItemRecord(index).checked = checked;
    mCheckedCount += checked ? 1 : -1;
    int32_t row = -1;
    RefreshItemRow(index, row);
}

const LCheckedListBox::CheckedItemRecord& LCheckedListBox::CheckedRecord(uint32_t item) const
{
    // Every list built on this one keeps records that begin with a checked record.
    return static_cast<const CheckedItemRecord&>(GetItemRecord(item));
}

RCPtr<LBitmap> LCheckedListBox::GetItemIcon(uint32_t index) const
{
    if (index >= GetItemCount()) {
        return nullptr;
    }
    if (mIcons.empty()) {
        return CheckedRecord(index).icon;
    }
    return mIcons[index % mIcons.size()];
}

// Creation ------------------------------------------------------------------------------------

int32_t LCheckedListBox::Initialize()
{
    // The handler is there before the list's own initialisation, which may already make rows
    // (items from the string table), so that those rows are wired like every later one.
    mCheckHandler.Create();
    const int32_t result = LListBox::Initialize();
    if (result < 0) {
        return result;
    }
    // Look 3 of the list itself (not of a popup menu or tree view built on it) holds the icon
    // pictures, not a state look.
    if (std::strstr(typeid(*this).name(), "LCheckedListBox") != nullptr &&
        GetLooks().GetCount() > kIconLook && *GetLooks().At(kIconLook)) {
        LoadIcons();
        SetCheckBoxesPassThrough(true);
    }
    return result;
}

void LCheckedListBox::LoadIcons()
{
    const RCPtr<LLook>& look = *GetLooks().At(kIconLook);
    if (!look->GetDescriptor()) {
        return;
    }
    const RCPtrArray<LDockedPart>& parts = look->GetDescriptor()->nonClientParts;
    for (int32_t i = 0; i < parts.GetCount(); ++i) {
        const RCPtr<LDockedPart>& part = *parts.At(i);
        const RCPtr<LVisualPart> visual = part ? part->GetVisualPart() : nullptr;
        if (visual && visual->GetBitmap()) {
            mIcons.push_back(visual->GetBitmap());
        }
    }
}

RCPtr<LCheckedListBoxItem> LCheckedListBox::GetRowControl(uint32_t row) const
{
    return RCPtr<LCheckedListBoxItem>(
        dynamic_cast<LCheckedListBoxItem*>(LListBox::GetRowControl(row).Get()));
}

void LCheckedListBox::WireCheckBox(LControl& checkBox)
{
    if (!mCheckHandler) {
        return;
    }
    const RCPtr<LNotificationDistributor> source(&checkBox);
    if (mAutoCheck) {
        mCheckHandler->RegisterHandler(&LCheckedListBox::OnCheckBoxValueChange, source,
                                       kNidValueChange);
    } else {
        mCheckHandler->RegisterHandler(&LCheckedListBox::OnCheckBoxClicked, source, kNidLeftClick);
    }
}

int32_t LCheckedListBox::CreateItemControl()
{
    const int32_t result = LListBox::CreateItemControl();
    if (result < 0) {
        return result;
    }
    const RCPtr<LCheckedListBoxItem> row = GetRowControl(GetRowCount() - 1);
    const RCPtr<LControl> checkBox = row ? row->GetCheckBox() : nullptr;
    if (checkBox) {
        if (auto* button = dynamic_cast<LButton*>(checkBox.Get())) {
            button->SetPassThrough(mPassThrough);
            button->SetAutoValueSet(mAutoCheck);
        }
        WireCheckBox(*checkBox);
    }
    return result;
}

void LCheckedListBox::OnChildRemoved(LControl* child, int32_t formerIndex)
{
    // A row that leaves (a new skin drops the cloned rows) takes its check box's registrations
    // with it; they would otherwise keep the row alive as long as the list.
    if (auto* row = dynamic_cast<LCheckedListBoxItem*>(child)) {
        if (const RCPtr<LControl> checkBox = row->GetCheckBox()) {
            const RCPtr<LNotificationDistributor> source(checkBox);
            Unregister(source, kNidValueChange);
            Unregister(source, kNidLeftClick);
        }
    }
    LListBox::OnChildRemoved(child, formerIndex);
}

// Check modes ---------------------------------------------------------------------------------

void LCheckedListBox::SetCheckBoxesPassThrough(bool passThrough)
{
    mPassThrough = passThrough;
    for (uint32_t r = GetRowCount(); r > 0; --r) {
        const RCPtr<LCheckedListBoxItem> row = GetRowControl(r - 1);
        if (auto* button = row ? dynamic_cast<LButton*>(row->GetCheckBox().Get()) : nullptr) {
            button->SetPassThrough(passThrough);
        }
    }
}

void LCheckedListBox::SetAutoCheck(bool autoCheck)
{
    if (autoCheck == mAutoCheck) {
        return;
    }
    mAutoCheck = autoCheck;
    for (uint32_t r = GetRowCount(); r > 0; --r) {
        const RCPtr<LCheckedListBoxItem> row = GetRowControl(r - 1);
        const RCPtr<LControl> checkBox = row ? row->GetCheckBox() : nullptr;
        if (!checkBox) {
            continue;
        }
        if (auto* button = dynamic_cast<LButton*>(checkBox.Get())) {
            button->SetAutoValueSet(autoCheck);
        }
        const RCPtr<LNotificationDistributor> source(checkBox);
        Unregister(source, autoCheck ? kNidLeftClick : kNidValueChange);
        WireCheckBox(*checkBox);
    }
}

// Rows ----------------------------------------------------------------------------------------

void LCheckedListBox::SetRowCheckedQuietly(LCheckedListBoxItem& row, bool checked)
{
    const RCPtr<LControl> checkBox = row.GetCheckBox();
    if (!checkBox) {
        return;
    }
    const RCPtr<LNotificationDistributor> source(checkBox);
    LNotificationHandler<LCheckedListBox>::Function function = nullptr;
    int32_t flags = 0;
    const bool muted =
        mAutoCheck && mCheckHandler &&
        mCheckHandler->GetRegistration(source, kNidValueChange, function, flags) == S_OK;
    if (muted) {
        mCheckHandler->UnregisterHandler(source, kNidValueChange);
        LNotificationClient::Unregister(source, kNidValueChange);
    }
    row.SetChecked(checked);
    if (muted) {
        mCheckHandler->RegisterHandler(function, source, kNidValueChange, flags);
    }
}

int32_t LCheckedListBox::RefreshItemRow(uint32_t item, int32_t& row)
{
    const int32_t result = LListBox::RefreshItemRow(item, row);
    if (result < 0 || row < 0) {
        return result;
    }
    const RCPtr<LCheckedListBoxItem> control = GetRowControl(uint32_t(row));
    if (!control) {
        return result;
    }
    if (item >= GetItemCount()) {
        SetRowCheckedQuietly(*control, false);
        control->SetIcon(nullptr);
        control->SetCheckBoxVisible(false);
        return S_OK;
    }
    SetRowCheckedQuietly(*control, GetCheckedItemRecord(item).checked);
    control->SetIcon(GetItemIcon(item));
    control->SetCheckBoxVisible(true);
    return S_FALSE;
}

// The check boxes -----------------------------------------------------------------------------

int32_t LCheckedListBox::OnCheckBoxValueChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                               const ConstRCPtr<LNotification>& /*notification*/)
{
    return AnnounceCheckBox(sender, true, kNidItemCheckChange);
}

int32_t LCheckedListBox::OnCheckBoxClicked(const ConstRCPtr<LNotificationDistributor>& sender,
                                           const ConstRCPtr<LNotification>& /*notification*/)
{
    return AnnounceCheckBox(sender, false, kNidItemCheckBoxClicked);
}

int32_t LCheckedListBox::AnnounceCheckBox(const ConstRCPtr<LNotificationDistributor>& sender,
                                          bool store, const char16_t* name)
{
    const auto* checkBox = dynamic_cast<const LControl*>(sender.Get());
    if (checkBox == nullptr) {
        return 0;
    }
    const int32_t item = ItemIndexFromControl(checkBox->GetParent().Get());
    if (item < 0 || uint32_t(item) >= GetItemCount()) {
        return 0;
    }
    RCPtr<LControl> keepAlive(this);
    const double value = checkBox->GetNormalizedValue();
    const RCPtr<LIndexedDataWithValueParam> payload(
        new LIndexedDataWithValueParam(nullptr, item, value));
    if (store) {
        // The count follows the records: a value that leaves the state as it was counts nothing.
        const bool checked = value >= 0.5;
        CheckedItemRecord& record = GetCheckedItemRecord(uint32_t(item));
        if (record.checked != checked) {
            record.checked = checked;
            mCheckedCount += checked ? 1 : -1;
        }
    }
    SelectRange(uint32_t(item), item, true);
    SendNotification(name, ConstRCPtr<LRefCountedObject>(payload));
    return 1;
}

// Notifications -------------------------------------------------------------------------------

} // namespace SV
