#include "ControlBase/ControlFactory.h"

#include "ControlBase/VisualPartDescriptor.h"
#include "ObjectBase/Exception.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/Colorizer.h"

#include <stdexcept>

namespace SV {

namespace {

template <class Map>
typename Map::mapped_type FindByName(const Map& map, const WideString& name)
{
    const auto found = map.find(name);
    return found == map.end() ? typename Map::mapped_type() : found->second;
}

} // namespace

LControlFactory::LControlFactory(const WideString& applicationName)
    : mApplicationName(applicationName)
{}

LControlFactory::~LControlFactory() = default;

int32_t LControlFactory::RegisterControlCreateFunction(const WideString& className,
                                                       ControlCreateFunction function)
{
    mCreateFunctions.try_emplace(className, function);
    return S_OK;
}

ControlCreateFunction LControlFactory::GetControlCreateFunction(const WideString& className) const
{
    const auto found = mCreateFunctions.find(className);
    if (found == mCreateFunctions.end()) {
        throw Exception<std::runtime_error>("Runtime Error : "
                                            "SV::LControlFactory::GetControlCreateFunction : "
                                            "ControlBase\\ControlFactory : Line 51");
    }
    return found->second;
}

ControlCreateFunction LControlFactory::ResolveCreateFunction(LControlDescriptor& descriptor) const
{
    if (descriptor.GetCreateFunction() == nullptr) {
        descriptor.SetCreateFunction(GetControlCreateFunction(descriptor.GetClass()));
    }
    return descriptor.GetCreateFunction();
}

int32_t LControlFactory::SetCurrentSkinIndex(int32_t index)
{
    if (index < 0 || index >= mSkins.GetCount()) {
        return E_INVALIDARG;
    }
    mCurrentSkinIndex = index;
    return S_OK;
}

RCPtr<LControlDescriptor> LControlFactory::GetCurrentSkin() const
{
    if (mCurrentSkinIndex < 0 || mCurrentSkinIndex >= mSkins.GetCount()) {
        return RCPtr<LControlDescriptor>();
    }
    return *mSkins.At(mCurrentSkinIndex);
}

RCPtr<LControlDescriptor> LControlFactory::FindRootDescriptor(const WideString& name) const
{
    const RCPtr<LControlDescriptor> skin = GetCurrentSkin();
    if (!skin) {
        return RCPtr<LControlDescriptor>();
    }
    const LControlDescriptor::Children& children = skin->GetChildren();
    for (int32_t i = children.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LControlDescriptor>& child = *children.At(i);
        if (child->GetName().Equals(name)) {
            return child;
        }
    }
    return RCPtr<LControlDescriptor>();
}

RCPtr<LControlDescriptor>
LControlFactory::CloneDescriptor(const ConstRCPtr<LControlDescriptor>& templateDescriptor,
                                 const RCPtr<LLayoutDescriptor>& layout,
                                 const WideString& name) const
{
    if (!templateDescriptor) {
        return RCPtr<LControlDescriptor>();
    }
    RCPtr<LControlDescriptor> clone = templateDescriptor->Clone();
    clone->SetName(name);
    clone->SetLayout(layout);
    return clone;
}

int32_t LControlFactory::GetSkinFontOverrides(WideString& fontName, float& fontSize,
                                              int32_t& fontStyle) const
{
    const RCPtr<LControlDescriptor> skin = GetCurrentSkin();
    if (!skin || !skin->GetSkin()) {
        return S_FALSE;
    }
    const LSkinDescriptor& font = *skin->GetSkin();
    bool written = false;
    if (!font.fontName.IsEmpty()) {
        fontName = font.fontName;
        written = true;
    }
    if (font.fontSize >= 1.0f) {
        fontSize = font.fontSize;
        written = true;
    }
    if (font.fontStyle != LSkinDescriptor::kNoFontStyle) {
        fontStyle = font.fontStyle;
        written = true;
    }
    return written ? S_OK : S_FALSE;
}

WideString LControlFactory::ResourceNameFromPath(const WideString& path)
{
    WideString name = path.MidFrom(2).ToUpper();
    name.ReplaceChars(u". ", u'_');
    return name;
}

RCPtr<LStringTable> LControlFactory::GetStringTableById(const WideString& id) const
{
    const auto found = mStringTables.find(id);
    if (found == mStringTables.end()) {
        return RCPtr<LStringTable>();
    }
    return RCPtr<LStringTable>(new LStringTable(found->second));
}

RCPtr<LStringTable>
LControlFactory::GetStringTable(const ConstRCPtr<LControlDescriptor>& parentDescriptor,
                                const WideString& controlName) const
{
    const WideString& owner = parentDescriptor ? parentDescriptor->GetClass() : mApplicationName;
    return GetStringTableById(owner + WideString(u"|") + controlName);
}

RCPtr<LStringTable> LControlFactory::GetApplicationStringTable() const
{
    return GetStringTableById(WideString(u"|") + mApplicationName);
}

RCPtr<LStringTable> LControlFactory::GetFrameworkStringTable() const
{
    return GetStringTableById(WideString(u"Framework"));
}

RCPtr<LColorizer> LControlFactory::FindColorizer(const WideString& name) const
{
    return FindByName(mColorizers, name);
}

RCPtr<LVisualPartDescriptor> LControlFactory::FindPart(const WideString& name) const
{
    return FindByName(mParts, name);
}

void LControlFactory::PrefetchPartImages() const
{
    for (const auto& [name, part] : mParts) {
        for (const PartImageSource* source : {&part->image, &part->mask}) {
            if (!source->file.IsEmpty()) {
                LBitmap::Prefetch(source->file);
            }
        }
    }
}

RCPtr<LLookDescriptor> LControlFactory::FindLook(const WideString& name) const
{
    return FindByName(mLooks, name);
}

RCPtr<LookList> LControlFactory::FindLookList(const WideString& name) const
{
    return FindByName(mLookLists, name);
}

WideString LControlFactory::TranslateFontName(const WideString& name) const
{
    const auto found = mFontTranslations.find(name);
    return found == mFontTranslations.end() ? name : found->second;
}

} // namespace SV
