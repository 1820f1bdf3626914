// Skin documents as a skin file or resource hands them over: any bytes are read as one skin
// after a small skin that defines names to refer to. Whatever was read must form a sound
// descriptor tree: parent links that match the children lists, nesting within the limit, look
// lists within their size, and lookups through every skin that answer.

#include "ControlBase/ControlFactory.h"
#include "FuzzCheck.h"

#include <cstring>

namespace {

using SV::LControlDescriptor;
using SV::LControlFactory;
using SV::RCPtr;

constexpr char kBaseSkin[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<S><Colorizers><Colorizer Name="c" ColorType="SolidFill" Color="FF000000"/></Colorizers>
<Parts><Part Name="p" Width="4" Height="4" ResizeType="Tile" ColorizerName="c"/></Parts>
<Looks><Look Name="l"><ClientPart Name="p" OffsetLeft="1" OffsetTop="1" OffsetRight="1"
OffsetBottom="1"/></Look></Looks>
<LookLists><LookList Name="ll" NumLooks="2"><Look Name="l" Index="1"/></LookList></LookLists>
<Skins><Skin Name="s"><SubControl Class="A" Name="a"><Skin Name="a" LookList="ll"/></SubControl>
</Skin></Skins></S>)";

void CheckLookList(const RCPtr<SV::LookList>& list)
{
    if (list) {
        SV_FUZZ_CHECK(list->GetCount() >= 0 &&
                      list->GetCount() <= LControlFactory::kMaxLookListSize);
    }
}

void CheckTree(const LControlDescriptor& descriptor, int32_t depth)
{
    SV_FUZZ_CHECK(depth <= LControlFactory::kMaxSubControlDepth);
    if (descriptor.GetSkin()) {
        CheckLookList(descriptor.GetSkin()->lookList);
    }
    int32_t previousOrder = INT32_MIN;
    for (const RCPtr<LControlDescriptor>& child : descriptor.GetChildren()) {
        SV_FUZZ_CHECK(child);
        SV_FUZZ_CHECK(child->GetParent() == &descriptor);
        SV_FUZZ_CHECK(child->GetLayout());
        // Below the top level, children come in layout order.
        if (!descriptor.IsApplication()) {
            SV_FUZZ_CHECK(child->GetLayout()->layoutOrder >= previousOrder);
            previousOrder = child->GetLayout()->layoutOrder;
        }
        CheckTree(*child, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LControlFactory factory(u"Fuzz");
    SV_FUZZ_CHECK(factory.LoadSkinText({kBaseSkin, std::strlen(kBaseSkin)}) == 0);
    const int32_t result = factory.LoadSkinText({reinterpret_cast<const char*>(data), size});
    SV_FUZZ_CHECK(result == 0 || result == E_FAIL);
    SV_FUZZ_CHECK(factory.GetCurrentSkinIndex() == 0);

    for (int32_t index = 0; index < factory.GetSkinCount(); ++index) {
        SV_FUZZ_CHECK(factory.SetCurrentSkinIndex(index) == 0);
        const RCPtr<LControlDescriptor> skin = factory.GetCurrentSkin();
        SV_FUZZ_CHECK(skin && skin->IsApplication());
        CheckTree(*skin, 0);
        for (const RCPtr<LControlDescriptor>& child : skin->GetChildren()) {
            SV_FUZZ_CHECK(factory.FindRootDescriptor(child->GetName()));
        }
        SV::WideString name;
        float fontSize = 0.0f;
        int32_t style = 0;
        const int32_t font = factory.GetSkinFontOverrides(name, fontSize, style);
        SV_FUZZ_CHECK(font == 0 || font == 1);
    }
    SV_FUZZ_CHECK(factory.SetCurrentSkinIndex(-1) == E_INVALIDARG);
    SV_FUZZ_CHECK(factory.SetCurrentSkinIndex(factory.GetSkinCount()) == E_INVALIDARG);
    return 0;
}
