#include "ControlBase/MenuBuilder.h"

#include "Utilities/Storage/StringArray.h"
#include "Utilities/Storage/WideText.h"

#include <vector>

namespace SV {

namespace {

constexpr char16_t kSubMenuMark = u'.';

bool IsAsciiDigit(char16_t unit)
{
    return unit >= u'0' && unit <= u'9';
}

bool EndsWith(const WideString& text, char16_t unit)
{
    const int32_t length = text.GetLength();
    return length > 0 && text.GetText()[length - 1] == unit;
}

// A takes-its-turn count per group: an entry is kept only when its number is the next one.
struct GroupList
{
    int32_t taken = 0;
    LStringTable::Entries entries;
};

void AddEntries(const LStringTable::Entries& entries, const MenuGroups& groups,
                LMenuDescriptor& node, std::vector<const WideString*>& openGroups)
{
    for (const auto& pair : entries) {
        const WideString& identifier = pair.first;
        const WideString& text = pair.second;
        WideString label = text;
        WideString help;
        const int32_t bar = text.Find(WideString(u"|"));
        if (bar >= 0) {
            label = text.Left(bar);
            help = text.MidFrom(bar + 1);
        }

        if (EndsWith(identifier, kSubMenuMark)) {
            const WideString name = identifier.TrimRight(u".");
            const auto group = groups.find(name);
            if (group == groups.end()) {
                continue;
            }
            bool open = false;
            for (const WideString* opened : openGroups) {
                open = open || opened->Equals(group->first);
            }
            if (open) {
                continue;
            }
            const RCPtr<LMenuItemDescriptor> entry =
                LMenuItemDescriptor::Create(label, WideString(), 1, 0);
            if (!help.IsEmpty()) {
                entry->SetHelpText(help);
            }
            if (node.InsertItem(node.GetItemCount(), entry) < 0) {
                continue;
            }
            openGroups.push_back(&group->first);
            AddEntries(group->second, groups, *entry, openGroups);
            openGroups.pop_back();
        } else if (identifier.EqualsText(u"-")) {
            node.InsertSeparator(node.GetItemCount());
        } else {
            const RCPtr<LMenuItemDescriptor> entry =
                LMenuItemDescriptor::Create(label, identifier, 1, 0);
            entry->SetHelpText(help);
            node.InsertItem(node.GetItemCount(), entry);
        }
    }
}

} // namespace

RCPtr<LMenuDescriptor> AddMenuEntries(const LStringTable::Entries& entries,
                                      const MenuGroups& groups, RCPtr<LMenuDescriptor> node)
{
    if (node) {
        node->Clear();
    } else {
        node = RCPtr<LMenuDescriptor>(new LMenuDescriptor());
    }
    std::vector<const WideString*> openGroups;
    AddEntries(entries, groups, *node, openGroups);
    return node;
}

RCPtr<LMenuDescriptor> BuildMenuDescriptor(const LStringTable::Entries& pairs)
{
    GroupList mainLevel;
    std::map<WideString, GroupList> named;
    WideStringArray parts;
    for (const auto& pair : pairs) {
        const WideString& key = pair.first;
        if (key.Split(u".", parts) < 2) {
            continue;
        }
        const WideString& first = *parts.At(0);
        GroupList* group = &mainLevel;
        int32_t number = -1;
        WideString identifier;
        bool hasIdentifier = false;
        if (first.IsEmpty()) {
            hasIdentifier = true;
            identifier = *parts.At(1);
        } else if (IsAsciiDigit(first.GetText()[0])) {
            number = WideToInt(first.GetText());
            identifier = *parts.At(1);
            hasIdentifier = true;
        } else {
            group = &named[first];
            number = WideToInt(parts.At(1)->GetText());
            if (parts.GetCount() > 2) {
                identifier = *parts.At(2);
                hasIdentifier = true;
            }
        }
        if (hasIdentifier && EndsWith(key, kSubMenuMark)) {
            identifier.AppendChar(kSubMenuMark);
        }
        if (number != group->taken) {
            continue;
        }
        ++group->taken;
        group->entries.Add({identifier, pair.second});
    }

    MenuGroups groups;
    for (auto& [name, list] : named) {
        groups.emplace(name, std::move(list.entries));
    }
    return AddMenuEntries(mainLevel.entries, groups, nullptr);
}

Array<LStringTable::Entries> CollectContextMenus(const LStringTable::Entries& sortedEntries)
{
    static const WideString kPrefix(u"CONTEXT_MENU");
    const int32_t prefixLength = kPrefix.GetLength();
    Array<LStringTable::Entries> menus;

    bool single = false;
    for (const auto& pair : sortedEntries) {
        const WideString& id = pair.first;
        single = single || (id.Left(prefixLength).Equals(kPrefix) &&
                            id.GetLength() > prefixLength && id.GetText()[prefixLength] == u'.');
    }

    // The distinct texts before the first dot, in string order, each with its own entries.
    std::map<WideString, LStringTable::Entries> byMenu;
    for (const auto& pair : sortedEntries) {
        const WideString& id = pair.first;
        if (!id.Left(prefixLength).Equals(kPrefix)) {
            continue;
        }
        int32_t dot = id.Find(WideString(u"."));
        if (dot < 0) {
            dot = id.GetLength();
        }
        const WideString menu = id.Left(dot);
        if (single != (dot == prefixLength)) {
            continue;
        }
        byMenu[menu].Add({id.MidFrom(dot + 1), pair.second});
    }
    for (auto& [menu, entries] : byMenu) {
        menus.Add(std::move(entries));
    }
    return menus;
}

} // namespace SV
