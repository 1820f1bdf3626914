#include "Controls/MultiColumnListBox.h"

#include "ControlBase/ControlCreator.h"
#include "Controls/ListBoxItemConditionsParam.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/DebugLog.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "Utilities/Storage/WideText.h"

#include <algorithm>
#include <string>
#include <vector>

namespace SV {

namespace {

constexpr const char16_t* kColumnFormat = u"listboxNoScroll%d";
constexpr const char16_t* kHeaderFormat = u"buttonColumnHeader%d";
constexpr const char* kPath = "Controls\\MultiColumnListBox";

WideString NumberedName(const char16_t* format, int32_t number)
{
    WideString name;
    name.Format(format, number);
    return name;
}

[[noreturn]] void ThrowFailed(int32_t code, const char* function, const char* path, int line)
{
    throw Exception<FailedResultException>(FormatFailedResult(code, function, path, line));
}

// Takes one entry of the control's handler table out, with its registration at the source, for
// as long as the control changes that source itself, and puts both back as they were. An entry
// that is not there (its source dropped the control's registrations) has nothing to mute: the
// change goes ahead without it.
class MutedEntry
{
public:
    using Handler = LNotificationHandler<LMultiColumnListBox>;

    MutedEntry(Handler& handler, LNotificationClient& owner,
               const RCPtr<LNotificationDistributor>& source, const char16_t* name)
        : mHandler(handler), mSource(source), mName(name)
    {
        if (handler.GetRegistration(source, name, mFunction, mFlags) < 0) {
            return;
        }
        handler.UnregisterHandler(source, name);
        const int32_t removed = owner.LNotificationClient::Unregister(source, name);
        if (removed < 0) {
            ThrowFailed(removed,
                        "SV::CAutoNotificationDisabler<class SV::LMultiColumnListBox>::"
                        "CAutoNotificationDisabler",
                        "NotificationHandler", 248);
        }
        mMuted = true;
    }
    MutedEntry(const MutedEntry&) = delete;
    MutedEntry& operator=(const MutedEntry&) = delete;

    ~MutedEntry() noexcept(false)
    {
        if (!mMuted) {
            return;
        }
        const int32_t result = mHandler.RegisterHandler(mFunction, mSource, mName, mFlags);
        if (result < 0 && std::uncaught_exceptions() == 0) {
            ThrowFailed(result,
                        "SV::CAutoNotificationDisabler<class SV::LMultiColumnListBox>::"
                        "~CAutoNotificationDisabler",
                        "NotificationHandler", 253);
        }
    }

private:
    Handler& mHandler;
    RCPtr<LNotificationDistributor> mSource;
    const char16_t* mName;
    Handler::Function mFunction = nullptr;
    int32_t mFlags = 0;
    bool mMuted = false;
};

} // namespace

LMultiColumnListBox::LMultiColumnListBox(const RCPtr<LControl>& parent, const WideString& name,
                                         bool mostDerived)
    : LPanel(parent, name, mostDerived)
{}

LMultiColumnListBox::~LMultiColumnListBox()
{
    mSortAscending.SetCount(0);
    mHeaders.SetCount(0);
    mColumns.SetCount(0);
}

RCPtr<LControl> LMultiColumnListBox::CreateControl(const RCPtr<LControl>& parent,
                                                   const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LMultiColumnListBox>(parent, descriptor);
}

// Creation ------------------------------------------------------------------------------------

namespace {

// Keeps the child where its parent's vertical scrolling does not move it.
void DockVertically(LControl& child)
{
    if (!child.GetLayout()) {
        return;
    }
    LayoutPositionSpec position;
    LayoutSpec size;
    child.GetLayout()->GetAxisSpec(LLayoutDescriptor::kAxisY, position, size);
    position.docked = true;
    child.SetLayoutSpec(LLayoutDescriptor::kAxisY, position, size);
}

} // namespace

int32_t LMultiColumnListBox::Initialize()
{
    const int32_t result = LPanel::Initialize();
    mHandler.Create();
    for (int32_t k = 1;; ++k) {
        const RCPtr<LListBox> column(
            dynamic_cast<LListBox*>(FindChildControl(NumberedName(kColumnFormat, k)).Get()));
        if (!column) {
            break;
        }
        mColumns.Add(column);
        const RCPtr<LNotificationDistributor> source(column);
        mHandler->RegisterHandler(&LMultiColumnListBox::OnColumnHover, source,
                                  kNidItemHoverConditionChange);
        mHandler->RegisterHandler(&LMultiColumnListBox::OnColumnSelection, source,
                                  kNidSelectionChange);
        mHandler->RegisterHandler(&LMultiColumnListBox::OnColumnActivated, source,
                                  kNidItemActivated);
        mHandler->RegisterHandler(&LMultiColumnListBox::OnColumnDoubleClicked, source,
                                  kNidItemDoubleClicked);
        if (k == 1) {
            mHandler->RegisterHandler(&LMultiColumnListBox::OnFirstColumnScroll, source,
                                      kNidScrollOffsetChange);
            mHandler->RegisterHandler(&LMultiColumnListBox::OnFirstColumnExtent, source,
                                      kNidClientExtentChange);
        }
        DockVertically(*column);
    }
    if (mColumns.GetCount() == 0) {
        throw Exception<std::runtime_error>(
            std::string("Runtime Error : Null Pointer : Can not find child listboxNoScroll1 : "
                        "SV::LMultiColumnListBox::Initialize : ") +
            kPath + " : Line " + std::to_string(__LINE__));
    }
    for (int32_t k = 1;; ++k) {
        const RCPtr<LButton> header(
            dynamic_cast<LButton*>(FindChildControl(NumberedName(kHeaderFormat, k)).Get()));
        if (!header) {
            break;
        }
        mHeaders.Add(header);
        // A header without its column would sort past the columns: it stays deaf.
        if (k <= mColumns.GetCount()) {
            mHandler->RegisterHandler(&LMultiColumnListBox::OnHeaderClick,
                                      RCPtr<LNotificationDistributor>(header), kNidLeftClick);
        }
        DockVertically(*header);
    }
    if (mHeaders.GetCount() > mColumns.GetCount()) {
        GetDebugStreamHolder().GetNarrowOutput()
            << "Multi-column list box " << NarrowString(mName).GetText()
            << " has more column headers than columns: a header without a column sorts "
               "nothing\n";
    }
    mSortAscending.SetCount(mColumns.GetCount());
    for (int32_t c = 0; c < mColumns.GetCount(); ++c) {
        *mSortAscending.At(c) = true;
    }
    SetAutoClientExtent(0, 0, 0);
    TakeRowHeight();
    return result;
}

int32_t LMultiColumnListBox::FinishCreate()
{
    if (mColumns.GetCount() == 0) {
        return S_OK;
    }
    for (int32_t c = mColumns.GetCount() - 1; c >= 1; --c) {
        Column(c).SetFocusable(true);
    }
    TakeRowHeight();
    UpdateScrollBars();
    for (int32_t c = mColumns.GetCount() - 1; c >= 0; --c) {
        ApplyColumnSizeDefaults(Column(c));
    }
    UpdateExtent();
    return S_OK;
}

void LMultiColumnListBox::ApplyColumnSizeDefaults(LListBox& column)
{
    const ConstRCPtr<LControlDescriptor>& descriptor = column.GetControlDescriptor();
    if (!descriptor || !descriptor->GetLayout() || !column.GetLayout()) {
        return;
    }
    // The skin's own limits decide, not the ones the column may have been given since.
    const LLayoutDescriptor& skin = *descriptor->GetLayout();
    const LLayoutDescriptor::Axis& skinX = skin.axes[LLayoutDescriptor::kAxisX];
    const LLayoutDescriptor::Axis& skinY = skin.axes[LLayoutDescriptor::kAxisY];
    LayoutSpec minimum;
    LayoutSpec maximum;
    if (skinX.maximum.absolute == 0.0) {
        column.GetLayout()->GetAxisLimits(LLayoutDescriptor::kAxisX, minimum, maximum);
        maximum.relative = 0.0f;
        maximum.absolute = 0.0;
        column.SetSizeLimits(LLayoutDescriptor::kAxisX, minimum, maximum);
    }
    if (skinY.minimum.absolute == 0.0 || skinY.maximum.absolute == 0.0) {
        column.GetLayout()->GetAxisLimits(LLayoutDescriptor::kAxisY, minimum, maximum);
        if (skinY.minimum.absolute == 0.0) {
            minimum.relative = 0.0f;
            minimum.absolute = column.GetItemHeight();
        }
        if (skinY.maximum.absolute == 0.0) {
            maximum.relative = 0.0f;
            maximum.absolute = 0.0;
        }
        column.SetSizeLimits(LLayoutDescriptor::kAxisY, minimum, maximum);
    }
}

// Geometry ------------------------------------------------------------------------------------

void LMultiColumnListBox::TakeRowHeight()
{
    if (mColumns.GetCount() > 0) {
        SetStepMode(true, Column(0).GetItemHeight());
    }
}

void LMultiColumnListBox::UpdateExtent()
{
    if (mColumns.GetCount() == 0) {
        return;
    }
    const RectT<double>& last = Column(mColumns.GetCount() - 1).GetRect();
    SetClientExtent(last.x + last.width, Column(0).GetClientExtent().y);
}

void LMultiColumnListBox::GetClientArea(RectT<double>& area)
{
    if (mColumns.GetCount() == 0) {
        area = {};
        return;
    }
    const RectT<double>& first = Column(0).GetRect();
    area = {first.x, first.y, GetLookRect(-1).width - GetScrollBarSizes().x, first.height};
}

void LMultiColumnListBox::OnChildRectChanged(LControl* child)
{
    if (child != nullptr && mColumns.GetCount() > 0 &&
        child->GetName() == NumberedName(kColumnFormat, mColumns.GetCount())) {
        UpdateExtent();
    }
}

void LMultiColumnListBox::OnScrollOffsetChanged(const PointT<double>& oldOffset,
                                                const PointT<double>& newOffset)
{
    if (mColumns.GetCount() > 0 && mHandler) {
        // The first column's own report of the new offset would bring it back here.
        MutedEntry muted(*mHandler, *this, RCPtr<LNotificationDistributor>(*mColumns.At(0)),
                         kNidScrollOffsetChange);
        for (int32_t c = mColumns.GetCount() - 1; c >= 0; --c) {
            LListBox& column = Column(c);
            column.SetScrollOffset({column.GetScrollOffset().x, newOffset.y});
        }
        LPanel::OnScrollOffsetChanged(oldOffset, newOffset);
        return;
    }
    LPanel::OnScrollOffsetChanged(oldOffset, newOffset);
}

// Keeping the columns in step -----------------------------------------------------------------

int32_t LMultiColumnListBox::FindColumn(const ConstRCPtr<LNotificationDistributor>& sender) const
{
    for (int32_t c = mColumns.GetCount() - 1; c >= 0; --c) {
        if (static_cast<const LNotificationDistributor*>(mColumns.At(c)->Get()) == sender.Get()) {
            return c;
        }
    }
    return -1;
}

int32_t LMultiColumnListBox::FindHeader(const ConstRCPtr<LNotificationDistributor>& sender) const
{
    for (int32_t h = mHeaders.GetCount() - 1; h >= 0; --h) {
        if (static_cast<const LNotificationDistributor*>(mHeaders.At(h)->Get()) == sender.Get()) {
            return h;
        }
    }
    return -1;
}

int32_t LMultiColumnListBox::OnColumnHover(const ConstRCPtr<LNotificationDistributor>& sender,
                                           const ConstRCPtr<LNotification>& notification)
{
    const int32_t from = FindColumn(sender);
    const auto* hover =
        notification ? dynamic_cast<const LItemConditionsParam*>(notification->GetPayload().Get())
                     : nullptr;
    if (from < 0 || hover == nullptr || hover->mItem < 0) {
        return 1;
    }
    const uint32_t item = uint32_t(hover->mItem);
    const bool was = (hover->mOldMask & kConditionHover) != 0;
    const bool now = (hover->mNewMask & kConditionHover) != 0;
    // A gain that a highlight of this control caused (the pointer is elsewhere) is the echo of
    // the row's own gain and goes no further.
    if (now && !was && !hover->mPointerOver) {
        return 1;
    }
    for (int32_t c = mColumns.GetCount() - 1; c >= 0; --c) {
        if (c == from) {
            continue;
        }
        if (now != was) {
            Column(c).SetItemHoverHighlight(item, now);
        } else {
            Column(c).ShowItemLook(item, hover->mLook);
        }
    }
    return 1;
}

int32_t LMultiColumnListBox::OnColumnSelection(const ConstRCPtr<LNotificationDistributor>& sender,
                                               const ConstRCPtr<LNotification>& /*notification*/)
{
    RCPtr<LControl> keepAlive(this);
    const int32_t from = FindColumn(sender);
    if (from >= 0) {
        // The list boxes select one item at a time.
        const bool exclusive = true;
        LListBox& source = Column(from);
        for (uint32_t i = Column(0).GetItemCount(); i > 0; --i) {
            const uint32_t item = i - 1;
            const bool selected = source.GetItemValue(item) >= 0.5;
            for (int32_t c = mColumns.GetCount() - 1; c >= 0; --c) {
                LListBox& column = Column(c);
                if (c == from || (column.GetItemValue(item) >= 0.5) == selected) {
                    continue;
                }
                MutedEntry muted(*mHandler, *this, RCPtr<LNotificationDistributor>(&column),
                                 kNidSelectionChange);
                if (selected) {
                    column.SelectRange(item, int32_t(item), exclusive);
                } else {
                    column.DeselectItem(item);
                }
            }
        }
    }
    SendNotification(kNidSelectionChange);
    return 1;
}

int32_t
LMultiColumnListBox::OnColumnActivated(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                       const ConstRCPtr<LNotification>& /*notification*/)
{
    SendNotification(kNidItemActivated);
    return 1;
}

int32_t
LMultiColumnListBox::OnColumnDoubleClicked(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                           const ConstRCPtr<LNotification>& /*notification*/)
{
    SendNotification(kNidItemDoubleClicked);
    return 1;
}

int32_t
LMultiColumnListBox::OnFirstColumnScroll(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                         const ConstRCPtr<LNotification>& /*notification*/)
{
    // The control's own horizontal scrolling is its own; only the rows follow the column.
    if (mColumns.GetCount() > 0) {
        SetScrollOffset({GetScrollOffset().x, Column(0).GetScrollOffset().y});
    }
    return 1;
}

int32_t
LMultiColumnListBox::OnFirstColumnExtent(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                         const ConstRCPtr<LNotification>& /*notification*/)
{
    TakeRowHeight();
    UpdateScrollBars();
    UpdateExtent();
    return 1;
}

int32_t LMultiColumnListBox::OnHeaderClick(const ConstRCPtr<LNotificationDistributor>& sender,
                                           const ConstRCPtr<LNotification>& /*notification*/)
{
    const int32_t header = FindHeader(sender);
    if (header >= 0) {
        PerformSort(header);
    }
    return 1;
}

// Sorting -------------------------------------------------------------------------------------

int32_t LMultiColumnListBox::PerformSort(int32_t column)
{
    if (column < 0 || column >= mColumns.GetCount() || !mHandler) {
        return E_INVALIDARG;
    }
    RCPtr<LControl> keepAlive(this);
    static const char* const kFunction = "SV::LMultiColumnListBox::PerformSort";
    struct Entry
    {
        uint32_t row;
        const LRefCountedObject* label;
        WideString text;
    };
    LListBox& sorted = Column(column);
    const uint32_t n = Column(0).GetItemCount();
    std::vector<Entry> entries;
    entries.reserve(n);
    std::vector<bool> alternate(n);
    for (uint32_t i = 0; i < n; ++i) {
        entries.push_back({i, sorted.GetItemRecordOrEmpty(i).label.Get(), sorted.GetItemText(i)});
        alternate[i] = Column(0).IsItemAlternate(i);
    }
    const Array<uint32_t>& indices = sorted.GetSelectedIndices();
    std::vector<bool> wasSelected(n);
    for (int32_t s = 0; s < indices.GetCount(); ++s) {
        if (*indices.At(s) < n) {
            wasSelected[*indices.At(s)] = true;
        }
    }

    // The columns' selection changes while sorting are the sort's own, not the user's.
    for (int32_t c = mColumns.GetCount() - 1; c >= 0; --c) {
        const RCPtr<LNotificationDistributor> source(*mColumns.At(c));
        mHandler->UnregisterHandler(source, kNidSelectionChange);
        const int32_t result = LNotificationClient::Unregister(source, kNidSelectionChange);
        if (result < 0) {
            ThrowFailed(result, kFunction, kPath, 708);
        }
    }
    for (int32_t c = mColumns.GetCount() - 1; c >= 0; --c) {
        Column(c).DeselectAll();
    }

    const bool ascending = *mSortAscending.At(column);
    std::stable_sort(entries.begin(), entries.end(), [ascending](const Entry& a, const Entry& b) {
        if (a.label != nullptr && a.label == b.label) {
            return false;
        }
        const int32_t order = WideCompareIgnoreCase(a.text.GetText(), b.text.GetText());
        return ascending ? order < 0 : order > 0;
    });
    *mSortAscending.At(column) = !ascending;

    // Only the labels move; values, flags and hidden states stay with the positions.
    for (int32_t c = mColumns.GetCount() - 1; c >= 0; --c) {
        LListBox& target = Column(c);
        std::vector<RCPtr<LRefCountedObject>> labels(n);
        for (uint32_t i = 0; i < n; ++i) {
            labels[i] = target.GetItemRecordOrEmpty(i).label;
        }
        for (uint32_t i = n; i > 0; --i) {
            target.SetItemLabel(i - 1, labels[entries[i - 1].row]);
        }
    }
    for (uint32_t p = n; p > 0; --p) {
        const uint32_t row = entries[p - 1].row;
        for (int32_t c = mColumns.GetCount() - 1; c >= 0; --c) {
            Column(c).SetItemAlternate(p - 1, alternate[row]);
        }
        if (!wasSelected[row]) {
            continue;
        }
        for (int32_t c = mColumns.GetCount() - 1; c >= 0; --c) {
            if (Column(c).SelectRange(p - 1, int32_t(p - 1), false) < 0) {
                break;
            }
        }
    }

    for (int32_t c = mColumns.GetCount() - 1; c >= 0; --c) {
        const int32_t result = mHandler->RegisterHandler(
            &LMultiColumnListBox::OnColumnSelection,
            RCPtr<LNotificationDistributor>(*mColumns.At(c)), kNidSelectionChange);
        if (result < 0) {
            ThrowFailed(result, kFunction, kPath, 751);
        }
    }
    return S_OK;
}

// Notifications -------------------------------------------------------------------------------

} // namespace SV
