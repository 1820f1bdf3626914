// The reader of skin and string-table documents: the parser's callbacks, the attribute readers
// and what each element does. Lenient by design: elements count by name wherever they stand,
// unknown names and attributes are ignored, and an element that lacks what it needs is skipped.
#include "ControlBase/ControlFactory.h"

#include "ObjectBase/Exception.h"
#include "Utilities/Graphics/Color.h"
#include "Utilities/Graphics/Colorizer.h"
#include "Utilities/Storage/WideText.h"

#include <algorithm>
#include <cmath>
#include <expat.h>
#include <limits>
#include <stdexcept>

namespace SV {

namespace {

bool Is(const WideString& name, const char16_t* literal)
{
    return name.EqualsText(literal);
}

int32_t HexDigit(char16_t unit)
{
    if (unit >= u'0' && unit <= u'9') {
        return unit - u'0';
    }
    if (unit >= u'a' && unit <= u'f') {
        return unit - u'a' + 10;
    }
    if (unit >= u'A' && unit <= u'F') {
        return unit - u'A' + 10;
    }
    return -1;
}

// A colour of the skin: hexadecimal text over a colour that starts as all zeros.
ColorT ParseColor(const WideString& text)
{
    ColorT color;
    color.ParseHex(NarrowString(text).GetText());
    return color;
}

// The reference kind of a position: the parent, its client part, or a named control.
int32_t PositionKind(const WideString& text)
{
    if (Is(text, u"Parent") || Is(text, u"Screen")) {
        return kPositionToParent;
    }
    if (Is(text, u"Client") || Is(text, u"Active Window")) {
        return kPositionToClient;
    }
    return kPositionToControl;
}

int32_t SizeKind(const WideString& text)
{
    if (Is(text, u"Self")) {
        return kSizeToSelf;
    }
    const int32_t kind = PositionKind(text);
    return kind == kPositionToControl ? kSizeToControl : kind;
}

int32_t LimitKind(const WideString& text)
{
    return Is(text, u"Self") ? kLimitToSelf : kLimitToControl;
}

// How many SubControls enclose the descriptor, itself included.
int32_t NestingDepth(const LControlDescriptor* descriptor)
{
    int32_t depth = 0;
    for (; descriptor != nullptr && !descriptor->IsApplication();
         descriptor = descriptor->GetParent()) {
        ++depth;
    }
    return depth;
}

} // namespace

// ---- The parser's callbacks ----

void LControlFactory::StopAfterHandlerFailure()
{
    mHandlerFailed = true;
    if (mParser != nullptr) {
        XML_StopParser(static_cast<XML_Parser>(mParser), XML_FALSE);
    }
}

// No exception may cross the parser, which is C: a handler's exception stops the parse instead.
void LControlFactory::XMLStartElementCallback(void* userData, const char* name,
                                              const char** attributes)
{
    auto* factory = static_cast<LControlFactory*>(userData);
    if (factory->mHandlerFailed) {
        return;
    }
    try {
        AttributeMap map;
        for (const char** attribute = attributes; attribute != nullptr && attribute[0] != nullptr;
             attribute += 2) {
            map.try_emplace(WideString(attribute[0]), WideString(attribute[1]));
        }
        factory->XMLStartElement(WideString(name), map);
    } catch (...) {
        factory->StopAfterHandlerFailure();
    }
}

void LControlFactory::XMLEndElementCallback(void* userData, const char* name)
{
    auto* factory = static_cast<LControlFactory*>(userData);
    if (factory->mHandlerFailed) {
        return;
    }
    try {
        factory->XMLEndElement(WideString(name));
    } catch (...) {
        factory->StopAfterHandlerFailure();
    }
}

void LControlFactory::XMLCharacterDataCallback(void* userData, const char* text, int length)
{
    auto* factory = static_cast<LControlFactory*>(userData);
    if (factory->mHandlerFailed || length <= 0) {
        return;
    }
    try {
        WideString piece;
        if (piece.AssignUtf8(text, length) != S_OK) {
            return;
        }
        factory->XMLCharacterData(piece);
    } catch (...) {
        factory->StopAfterHandlerFailure();
    }
}

// ---- Attribute readers ----

bool LControlFactory::GetStringAttribute(const AttributeMap& attributes, const WideString& name,
                                         WideString& value)
{
    const auto found = attributes.find(name);
    if (found == attributes.end()) {
        return false;
    }
    value = found->second;
    return true;
}

bool LControlFactory::GetBoolAttribute(const AttributeMap& attributes, const WideString& name,
                                       bool& value)
{
    WideString text;
    if (!GetStringAttribute(attributes, name, text)) {
        return false;
    }
    value = text.EqualsText(u"True");
    return true;
}

bool LControlFactory::GetFloatAttribute(const AttributeMap& attributes, const WideString& name,
                                        float& value)
{
    WideString text;
    if (!GetStringAttribute(attributes, name, text)) {
        return false;
    }
    // Kept finite and within the float's range: layout arithmetic downstream turns these
    // factors into pixels.
    const double number = WideToDouble(text.GetText());
    constexpr double kLargest = std::numeric_limits<float>::max();
    if (std::isnan(number)) {
        value = 0.0f;
    } else {
        value = static_cast<float>(std::clamp(number, -kLargest, kLargest));
    }
    return true;
}

int32_t LControlFactory::ParseNumber(const WideString& text)
{
    const char16_t* units = text.GetText();
    if (units[0] == u'0' && units[1] == u'x') {
        int32_t value = 0;
        for (int32_t i = 2; i < 6; ++i) {
            const int32_t digit = HexDigit(units[i]);
            if (digit < 0) {
                break;
            }
            value = value * 16 + digit;
        }
        return value;
    }
    return WideToInt(units);
}

bool LControlFactory::GetIntAttribute(const AttributeMap& attributes, const WideString& name,
                                      int32_t& value)
{
    WideString text;
    if (!GetStringAttribute(attributes, name, text)) {
        return false;
    }
    value = ParseNumber(text);
    return true;
}

bool LControlFactory::GetWholeAttribute(const AttributeMap& attributes, const WideString& name,
                                        int32_t& value)
{
    WideString text;
    if (!GetStringAttribute(attributes, name, text)) {
        return false;
    }
    value = WideToInt(text.GetText());
    return true;
}

bool LControlFactory::GetDistanceAttribute(const AttributeMap& attributes, const WideString& name,
                                           double& value)
{
    int32_t whole = 0;
    if (!GetWholeAttribute(attributes, name, whole)) {
        return false;
    }
    value = whole;
    return true;
}

// ---- Start element ----

void LControlFactory::XMLStartElement(const WideString& name, const AttributeMap& attributes)
{
    if (mSkipFirstElement) {
        mSkipFirstElement = false;
        return;
    }
    if (Is(name, u"Application")) {
        WideString applicationName;
        GetStringAttribute(attributes, u"Name", applicationName);
        mApplicationName = applicationName;
        return;
    }
    if (mStringTableMode) {
        StartStringTableElement(name, attributes);
        return;
    }

    if (Is(name, u"Colorizer")) {
        StartColorizer(attributes);
    } else if (Is(name, u"Part")) {
        StartPart(attributes);
    } else if (Is(name, u"Looks")) {
        mInLooks = true;
    } else if (Is(name, u"Look")) {
        if (mInLooks) {
            StartLook(attributes);
        } else {
            StartLookListEntry(attributes);
        }
    } else if (Is(name, u"ClientPart")) {
        StartClientPart(attributes);
    } else if (Is(name, u"NonClientPart")) {
        StartNonClientPart(attributes);
    } else if (Is(name, u"TextProperties")) {
        StartTextProperties(attributes);
    } else if (Is(name, u"LookLists")) {
        mCurrentDescriptor = nullptr;
    } else if (Is(name, u"LookList")) {
        StartLookList(attributes);
    } else if (Is(name, u"Skin")) {
        StartSkin(attributes);
    } else if (Is(name, u"FontLocale")) {
        int32_t locale = 0;
        if (GetIntAttribute(attributes, u"LCID", locale)) {
            mFontLocale = locale;
        }
    } else if (Is(name, u"FontXLat")) {
        StartFontXLat(attributes);
    } else if (Is(name, u"SubControl")) {
        StartSubControl(attributes);
    } else if (Is(name, u"CreateParamList")) {
        mCurrentCreateParams = RCPtr<LStringTable>(new LStringTable());
    } else if (Is(name, u"CreateParam")) {
        if (GetStringAttribute(attributes, u"ID", mCurrentId)) {
            mInCreateParam = true;
            mCreateParamStarted = false;
        }
    }
    // Colorizers, Parts, NonClientParts, Skins and every other name: nothing to do.
}

void LControlFactory::StartStringTableElement(const WideString& name,
                                              const AttributeMap& attributes)
{
    if (Is(name, u"StringTable")) {
        WideString id;
        GetStringAttribute(attributes, u"ID", id);
        mCurrentTable = &mStringTables.try_emplace(id).first->second;
    } else if (Is(name, u"String")) {
        GetStringAttribute(attributes, u"ID", mCurrentId);
    } else if (Is(name, u"Locale")) {
        int32_t locale = 0;
        // A Locale outside every StringTable has no table to go to.
        if (mCurrentTable == nullptr || !GetIntAttribute(attributes, u"LCID", locale) ||
            locale != mStringTableLocale) {
            return;
        }
        ++mMatchCount;
        mInLocale = true;
        mCurrentText = &mCurrentTable->try_emplace(mCurrentId).first->second;
    }
}

void LControlFactory::StartColorizer(const AttributeMap& attributes)
{
    WideString name;
    WideString colorType;
    WideString colorText;
    if (!GetStringAttribute(attributes, u"Name", name) ||
        !GetStringAttribute(attributes, u"ColorType", colorType) ||
        !GetStringAttribute(attributes, u"Color", colorText)) {
        return;
    }
    const ColorT color = ParseColor(colorText);
    int32_t kind = LColorizer::kSolid;
    if (Is(colorType, u"LinearGradient")) {
        kind = LColorizer::kLinearGradient;
    } else if (Is(colorType, u"RadialGradient")) {
        kind = LColorizer::kRadialGradient;
    }

    ColorT endColor;
    float startX = 0.0f;
    float startY = 0.0f;
    float endX = 0.0f;
    float endY = 0.0f;
    if (kind != LColorizer::kSolid) {
        WideString endColorText;
        // Read in this order up to the first one missing; a gradient needs all five.
        const bool complete = GetStringAttribute(attributes, u"GradientEndColor", endColorText) &&
                              GetFloatAttribute(attributes, u"GradientStartX", startX) &&
                              GetFloatAttribute(attributes, u"GradientStartY", startY) &&
                              GetFloatAttribute(attributes, u"GradientEndX", endX) &&
                              GetFloatAttribute(attributes, u"GradientEndY", endY);
        if (complete) {
            endColor = ParseColor(endColorText);
        } else {
            kind = LColorizer::kSolid;
        }
    }
    RCPtr<LColorizer> colorizer(
        new LColorizer(name, kind, color, endColor, startX, startY, endX, endY));
    mColorizers.try_emplace(name, colorizer);
}

void LControlFactory::StartPart(const AttributeMap& attributes)
{
    WideString name;
    int32_t width = 0;
    int32_t height = 0;
    WideString resizeText;
    if (!GetStringAttribute(attributes, u"Name", name) ||
        !GetIntAttribute(attributes, u"Width", width) ||
        !GetIntAttribute(attributes, u"Height", height) ||
        !GetStringAttribute(attributes, u"ResizeType", resizeText)) {
        return;
    }
    ResizeType resizeType = ResizeType::Stretch;
    if (Is(resizeText, u"Tile")) {
        resizeType = ResizeType::Tile;
    } else if (Is(resizeText, u"Center")) {
        resizeType = ResizeType::Center;
    }

    PartImageSource image;
    WideString imageFile;
    int32_t x = 0;
    int32_t y = 0;
    if (GetStringAttribute(attributes, u"ImageFile", imageFile) && !imageFile.IsEmpty() &&
        GetIntAttribute(attributes, u"ImageLocX", x) &&
        GetIntAttribute(attributes, u"ImageLocY", y)) {
        image = PartImageSource{mImagePrefix + imageFile.ToLower(), x, y, width, height};
    }
    RCPtr<LColorizer> colorizer;
    WideString colorizerName;
    if (GetStringAttribute(attributes, u"ColorizerName", colorizerName)) {
        colorizer = FindColorizer(colorizerName);
    }
    if (image.file.IsEmpty() && !colorizer) {
        return;
    }

    float alphaModifier = 1.0f;
    GetFloatAttribute(attributes, u"ColorizerAlphaMod", alphaModifier);
    PartImageSource mask;
    WideString maskFile;
    int32_t maskX = 0;
    int32_t maskY = 0;
    if (GetStringAttribute(attributes, u"ColorizerMaskFile", maskFile) && !maskFile.IsEmpty() &&
        GetIntAttribute(attributes, u"MaskLocX", maskX) &&
        GetIntAttribute(attributes, u"MaskLocY", maskY)) {
        // Mask names keep their case.
        mask = PartImageSource{mImagePrefix + maskFile, maskX, maskY, width, height};
    }
    RCPtr<LVisualPartDescriptor> part(new LVisualPartDescriptor(
        name, image, resizeType, colorizer, width, height, alphaModifier, mask));
    mParts.try_emplace(name, part);
}

void LControlFactory::StartLook(const AttributeMap& attributes)
{
    WideString name;
    if (!GetStringAttribute(attributes, u"Name", name)) {
        return;
    }
    // A name taken already leaves the first look listed; this one is still filled by what
    // follows, and reaches nobody.
    mCurrentLook = RCPtr<LLookDescriptor>(new LLookDescriptor(name));
    mLooks.try_emplace(name, mCurrentLook);
}

void LControlFactory::StartClientPart(const AttributeMap& attributes)
{
    WideString name;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    if (!mCurrentLook || !GetStringAttribute(attributes, u"Name", name) ||
        !GetIntAttribute(attributes, u"OffsetLeft", left) ||
        !GetIntAttribute(attributes, u"OffsetTop", top) ||
        !GetIntAttribute(attributes, u"OffsetRight", right) ||
        !GetIntAttribute(attributes, u"OffsetBottom", bottom)) {
        return;
    }
    const RCPtr<LVisualPartDescriptor> part = FindPart(name);
    if (!part) {
        return;
    }
    mCurrentLook->SetClientPart(RCPtr<LDockedPart>(
        new LDockedPart(part, LDockedPart::kAllOffsets, left, top, right, bottom, 0, 0, 0, 0)));
}

void LControlFactory::StartNonClientPart(const AttributeMap& attributes)
{
    WideString name;
    if (!mCurrentLook || !GetStringAttribute(attributes, u"Name", name)) {
        return;
    }
    const RCPtr<LVisualPartDescriptor> part = FindPart(name);
    if (!part) {
        return;
    }
    int32_t flags = 0;
    int32_t offsets[4] = {0, 0, 0, 0};
    const char16_t* const names[4] = {u"OffsetLeft", u"OffsetTop", u"OffsetRight", u"OffsetBottom"};
    for (int32_t i = 0; i < 4; ++i) {
        if (GetIntAttribute(attributes, names[i], offsets[i])) {
            flags |= 1 << i;
        }
    }
    int32_t width = 0;
    int32_t height = 0;
    GetIntAttribute(attributes, u"Width", width);
    GetIntAttribute(attributes, u"Height", height);
    mCurrentLook->nonClientParts.Add(
        RCPtr<LDockedPart>(new LDockedPart(part, flags, offsets[0], offsets[1], offsets[2],
                                           offsets[3], width > 0, width, height > 0, height)));
}

void LControlFactory::StartTextProperties(const AttributeMap& attributes)
{
    TextPlacement text;
    WideString partName;
    if (!mCurrentLook || !GetFloatAttribute(attributes, u"TextLeftRel", text.leftRel) ||
        !GetIntAttribute(attributes, u"TextLeftAbs", text.leftAbs) ||
        !GetFloatAttribute(attributes, u"TextRightRel", text.rightRel) ||
        !GetIntAttribute(attributes, u"TextRightAbs", text.rightAbs) ||
        !GetFloatAttribute(attributes, u"TextHAlign", text.hAlign) ||
        !GetFloatAttribute(attributes, u"TextTopRel", text.topRel) ||
        !GetIntAttribute(attributes, u"TextTopAbs", text.topAbs) ||
        !GetFloatAttribute(attributes, u"TextBottomRel", text.bottomRel) ||
        !GetIntAttribute(attributes, u"TextBottomAbs", text.bottomAbs) ||
        !GetFloatAttribute(attributes, u"TextVAlign", text.vAlign) ||
        !GetStringAttribute(attributes, u"TextForegroundPart", partName)) {
        return;
    }
    const RCPtr<LVisualPartDescriptor> part = FindPart(partName);
    if (part) {
        mCurrentLook->SetTextProperties(text, part);
    }
}

void LControlFactory::StartLookList(const AttributeMap& attributes)
{
    WideString name;
    int32_t count = 0;
    // A broken LookList takes no entries, so its Look elements cannot land in the list before.
    mCurrentLookList = nullptr;
    if (!GetStringAttribute(attributes, u"Name", name) ||
        !GetIntAttribute(attributes, u"NumLooks", count) || count < 0 || count > kMaxLookListSize) {
        return;
    }
    const LSkinDescriptor* skin =
        mCurrentDescriptor ? mCurrentDescriptor->GetSkin().Get() : nullptr;
    const auto existing = mLookLists.find(name);
    if (existing != mLookLists.end()) {
        if (skin != nullptr) {
            mCurrentDescriptor->GetSkin()->lookList = existing->second;
        }
        return;
    }
    mCurrentLookList = RCPtr<LookList>(new LookList(count));
    mLookLists.emplace(name, mCurrentLookList);
    if (skin != nullptr) {
        mCurrentDescriptor->GetSkin()->lookList = mCurrentLookList;
    }
}

void LControlFactory::StartLookListEntry(const AttributeMap& attributes)
{
    WideString name;
    int32_t index = 0;
    if (!mCurrentLookList || !GetStringAttribute(attributes, u"Name", name) ||
        !GetWholeAttribute(attributes, u"Index", index) || index < 0 ||
        index >= mCurrentLookList->GetCount()) {
        return;
    }
    const RCPtr<LLookDescriptor> look = FindLook(name);
    if (look) {
        *mCurrentLookList->At(index) = look;
    }
}

void LControlFactory::StartSkin(const AttributeMap& attributes)
{
    WideString name;
    if (!GetStringAttribute(attributes, u"Name", name)) {
        return;
    }
    RCPtr<LSkinDescriptor> skin(new LSkinDescriptor(name));
    if (!mCurrentDescriptor) {
        RCPtr<LControlDescriptor> application(new LControlDescriptor(
            WideString(LControlDescriptor::kApplicationClass), mApplicationName, nullptr));
        mCurrentDescriptor = application;
        mCurrentSkinIndex = mSkins.Add(application);
        GetStringAttribute(attributes, u"FontName", skin->fontName);
        GetFloatAttribute(attributes, u"FontSize", skin->fontSize);
        GetIntAttribute(attributes, u"FontStyle", skin->fontStyle);
        mFontTranslations.clear();
    } else {
        skin->fontName = TranslateFontName(mPendingFont.name);
        skin->fontSize = mPendingFont.size;
        skin->fontStyle = mPendingFont.style;
        skin->fontInheritsFromParent = mPendingFont.inheritsFromParent;
        skin->fontSizeIsRelative = mPendingFont.sizeIsRelative;
        WideString lookListName;
        if (GetStringAttribute(attributes, u"LookList", lookListName)) {
            skin->lookList = FindLookList(lookListName);
        }
    }
    mCurrentDescriptor->SetSkin(skin);
}

void LControlFactory::StartFontXLat(const AttributeMap& attributes)
{
    // Outside every skin there is no font to translate.
    if (!mCurrentDescriptor) {
        return;
    }
    WideString name;
    WideString translation;
    GetStringAttribute(attributes, u"Name", name);
    GetStringAttribute(attributes, u"XLat", translation);
    if (!mFontLocale || *mFontLocale != mStringTableLocale) {
        return;
    }
    mFontTranslations.try_emplace(name, translation);
    const RCPtr<LSkinDescriptor>& skin = mCurrentDescriptor->GetSkin();
    if (skin && skin->fontName.Equals(name)) {
        skin->fontName = translation;
    }
}

void LControlFactory::StartSubControl(const AttributeMap& attributes)
{
    WideString className;
    WideString name;
    if (!GetStringAttribute(attributes, u"Class", className) ||
        !GetStringAttribute(attributes, u"Name", name)) {
        throw Exception<std::runtime_error>(
            "Runtime Error : Bad Subcontrol Element : SV::LControlFactory::XMLStartElement : "
            "ControlBase\\ControlFactory : Line 1089");
    }
    // A SubControl outside every skin belongs to no control tree.
    if (!mCurrentDescriptor) {
        return;
    }
    if (NestingDepth(mCurrentDescriptor.Get()) >= kMaxSubControlDepth) {
        throw Exception<std::runtime_error>(
            "Runtime Error : SubControls nested too deeply : "
            "SV::LControlFactory::XMLStartElement : ControlBase\\ControlFactory");
    }
    const bool topLevel = mCurrentDescriptor->IsApplication();
    RCPtr<LControlDescriptor> descriptor(
        new LControlDescriptor(className, name, mCurrentDescriptor.Get()));
    RCPtr<LLayoutDescriptor> layout(new LLayoutDescriptor());
    ReadLayoutAttributes(attributes, *layout, topLevel);
    descriptor->SetLayout(layout);
    ReadFontAttributes(attributes);

    // Top-level controls keep the document's order. Children go in ascending layout order,
    // after those of the same order: placed as they are read, a child list is in order even
    // when its SubControl never ends (a broken document, or a LookLists inside it).
    LControlDescriptor::Children& siblings = mCurrentDescriptor->GetChildren();
    int32_t index = siblings.GetCount();
    if (!topLevel) {
        const RCPtr<LControlDescriptor>* first = siblings.GetData();
        index = static_cast<int32_t>(
            std::upper_bound(first, first + siblings.GetCount(), layout->layoutOrder,
                             [](int32_t order, const RCPtr<LControlDescriptor>& sibling) {
                                 return order < sibling->GetLayout()->layoutOrder;
                             }) -
            first);
    }
    siblings.InsertAt(index, descriptor);
    mCurrentDescriptor = descriptor;
}

void LControlFactory::ReadLayoutAttributes(const AttributeMap& attributes,
                                           LLayoutDescriptor& layout, bool topLevel)
{
    GetBoolAttribute(attributes, u"ClipToParent", layout.clipToParent);
    GetWholeAttribute(attributes, u"Z_Order", layout.zOrder);
    // A top-level control is a window's main control: it is always shown and has no siblings
    // to take turns with.
    if (!topLevel) {
        GetWholeAttribute(attributes, u"TabStop", layout.tabStop);
    }
    GetIntAttribute(attributes, u"LayoutOrder", layout.layoutOrder);
    if (!topLevel) {
        GetBoolAttribute(attributes, u"IsVisible", layout.visible);
    }

    const char16_t* const axisNames[2] = {u"X", u"Y"};
    for (int32_t i = 0; i < 2; ++i) {
        const WideString axisName(axisNames[i]);
        const auto attribute = [&axisName](const char16_t* rest) {
            return axisName + WideString(rest);
        };
        LLayoutDescriptor::Axis& axis = layout.axes[i];
        GetFloatAttribute(attributes, attribute(u"PlacementAnchor"), axis.anchor);
        GetBoolAttribute(attributes, attribute(u"IsDocked"), axis.docked);

        WideString reference;
        if (GetStringAttribute(attributes, attribute(u"PositionToControl"), reference)) {
            axis.position.kind = PositionKind(reference);
            axis.position.reference =
                axis.position.kind == kPositionToControl ? reference : WideString();
        }
        GetFloatAttribute(attributes, attribute(u"PositionRel"), axis.position.relative);
        GetDistanceAttribute(attributes, attribute(u"PositionAbs"), axis.position.absolute);

        if (GetStringAttribute(attributes, attribute(u"SizeToControl"), reference)) {
            axis.size.kind = SizeKind(reference);
            axis.size.reference = axis.size.kind == kSizeToControl ? reference : WideString();
        }
        GetFloatAttribute(attributes, attribute(u"SizeRel"), axis.size.relative);
        GetDistanceAttribute(attributes, attribute(u"SizeAbs"), axis.size.absolute);

        for (const auto& [limit, word] :
             {std::pair{&axis.minimum, u"Min"}, std::pair{&axis.maximum, u"Max"}}) {
            const WideString prefix = attribute(word);
            if (GetStringAttribute(attributes, prefix + WideString(u"SizeToControl"), reference)) {
                limit->kind = LimitKind(reference);
                limit->reference = limit->kind == kLimitToControl ? reference : WideString();
            }
            GetFloatAttribute(attributes, prefix + WideString(u"SizeRel"), limit->relative);
            GetDistanceAttribute(attributes, prefix + WideString(u"SizeAbs"), limit->absolute);
        }
    }

    GetStringAttribute(attributes, u"TextDecoration", layout.textDecoration);
    WideString overflow;
    if (GetStringAttribute(attributes, u"TextOverflowXType", overflow)) {
        if (Is(overflow, u"Clip")) {
            layout.textOverflowX = kTextOverflowClip;
        } else if (Is(overflow, u"Expand")) {
            layout.textOverflowX = kTextOverflowExpand;
        } else if (Is(overflow, u"Wrap")) {
            layout.textOverflowX = kTextOverflowWrap;
        }
    }
    if (GetStringAttribute(attributes, u"TextOverflowYType", overflow)) {
        if (Is(overflow, u"Clip")) {
            layout.textOverflowY = kTextOverflowClip;
        } else if (Is(overflow, u"Expand")) {
            layout.textOverflowY = kTextOverflowExpand;
        }
    }
}

void LControlFactory::ReadFontAttributes(const AttributeMap& attributes)
{
    mPendingFont.inheritsFromParent = false;
    GetBoolAttribute(attributes, u"FontInheritsFromParent", mPendingFont.inheritsFromParent);
    mPendingFont.sizeIsRelative = false;
    GetBoolAttribute(attributes, u"FontSizeIsRelative", mPendingFont.sizeIsRelative);
    mPendingFont.name.Clear();
    GetStringAttribute(attributes, u"FontName", mPendingFont.name);
    // A relative size without a size means nothing: both go.
    if (!GetFloatAttribute(attributes, u"FontSize", mPendingFont.size)) {
        mPendingFont.size = 0.0f;
        mPendingFont.sizeIsRelative = false;
    }
    mPendingFont.style = LSkinDescriptor::kNoFontStyle;
    GetIntAttribute(attributes, u"FontStyle", mPendingFont.style);
}

// ---- End element and character data ----

void LControlFactory::XMLEndElement(const WideString& name)
{
    if (mStringTableMode) {
        mInLocale = false;
        mCurrentText = nullptr;
        return;
    }
    if (Is(name, u"SubControl")) {
        EndSubControl();
    } else if (Is(name, u"Skin")) {
        if (mCurrentDescriptor && mCurrentDescriptor == GetCurrentSkin()) {
            mCurrentDescriptor = nullptr;
        }
    } else if (Is(name, u"CreateParamList")) {
        if (mCurrentDescriptor) {
            mCurrentDescriptor->SetCreateParams(mCurrentCreateParams);
        }
    } else if (Is(name, u"CreateParam")) {
        mInCreateParam = false;
    } else if (Is(name, u"Looks")) {
        mInLooks = false;
    }
}

void LControlFactory::EndSubControl()
{
    // Only a SubControl that was read has a descriptor to close; the application descriptor is
    // closed by the end of its Skin. Its children are in layout order already.
    if (!mCurrentDescriptor || mCurrentDescriptor->IsApplication()) {
        return;
    }
    mCurrentDescriptor = RCPtr<LControlDescriptor>(mCurrentDescriptor->GetParent());
}

void LControlFactory::XMLCharacterData(const WideString& text)
{
    if (mStringTableMode) {
        if (mInLocale && mCurrentText != nullptr) {
            *mCurrentText += text;
        }
        return;
    }
    if (!mInCreateParam || !mCurrentCreateParams) {
        return;
    }
    // The parser hands one text over in pieces (at line breaks and entity references, say):
    // the value is all of them.
    WideString value;
    if (mCreateParamStarted) {
        mCurrentCreateParams->GetString(mCurrentId, value);
    }
    value += text;
    mCreateParamStarted = true;
    mCurrentCreateParams->SetString(mCurrentId, value);
}

} // namespace SV
