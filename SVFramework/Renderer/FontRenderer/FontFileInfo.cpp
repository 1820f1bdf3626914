#include "Renderer/FontRenderer/FontFileInfo.h"

#include "FontFolders.h"
#include "ObjectBase/Exception.h"
#include "Renderer/Font.h"
#include "Renderer/FontRenderer/FontFileNames.h"
#include "ResultCodes.h"
#include "Utilities/Storage/Paths.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/RCPtrMap.h"
#include "Utilities/Storage/SVFile.h"

#include <exception>
#include <stdexcept>

namespace SV {
namespace {

RCPtrArray<LFontFileInfo, 1, 0>& Catalogue()
{
    static RCPtrArray<LFontFileInfo, 1, 0> catalogue;
    return catalogue;
}

// Which entry GetFileID chose for each font object; the map keeps the fonts alive until it is
// cleared.
RCPtrMap<LFont, LFontFileInfo, 8>& FontFileMap()
{
    static RCPtrMap<LFont, LFontFileInfo, 8> map;
    return map;
}

LFontFileInfo::DefaultFontSource& DefaultFont()
{
    static LFontFileInfo::DefaultFontSource source;
    return source;
}

// Searched from the newest entry, as every lookup of the catalogue is.
RCPtr<LFontFileInfo> FindFamily(const WideString& family)
{
    RCPtrArray<LFontFileInfo, 1, 0>& catalogue = Catalogue();
    for (int32_t i = catalogue.GetCount() - 1; i >= 0; --i) {
        const RCPtr<LFontFileInfo>& entry = *catalogue.At(i);
        if (entry->familyName.Equals(family)) {
            return entry;
        }
    }
    return RCPtr<LFontFileInfo>();
}

int32_t SlotOfSubfamily(const WideString& subfamily)
{
    if (subfamily.EqualsUtf8("bold")) {
        return LFontFileInfo::kStyleBold;
    }
    if (subfamily.EqualsUtf8("italic")) {
        return LFontFileInfo::kStyleItalic;
    }
    if (subfamily.EqualsUtf8("bold italic")) {
        return LFontFileInfo::kStyleBoldItalic;
    }
    return LFontFileInfo::kStyleRegular;
}

// The file registered last for a family and slot wins it.
void Register(const FontFileName& name, const WideString& path)
{
    RCPtr<LFontFileInfo> entry = FindFamily(name.family);
    if (!entry) {
        entry = LFontFileInfo::AddEntry();
        entry->familyName = name.family;
    }
    entry->PathOfStyle(SlotOfSubfamily(name.subfamily)) = path;
}

void ReadFile(const WideString& path)
{
    File file(path, WideString(), File::kReadFlag);
    if (!file.IsOpen()) {
        return;
    }
    std::vector<FontFileName> names;
    bool trusted = false;
    try {
        FontFileFileBytes bytes(file);
        trusted = ReadFontFileNames(bytes, names);
    } catch (const std::exception&) {
        // A file that fails to read is left out like a damaged one; the other fonts still count.
        trusted = false;
    }
    file.Close();
    if (!trusted) {
        return;
    }
    for (const FontFileName& name : names) {
        Register(name, path);
    }
}

void AppendListing(const WideString& folder, const char16_t* pattern, Array<WideString>& paths)
{
    Array<WideString> listed;
    // A listing that stopped on an error still offers the paths found before it.
    (void)ListFilesInFolder(folder, WideString(pattern), listed);
    for (const WideString& path : listed) {
        (void)paths.Add(path);
    }
}

} // namespace

int32_t LFontFileInfo::BuildCatalogue()
{
    Array<WideString> folders;
    for (const std::string& folder : svp::GetFontFolders()) {
        WideString wide;
        (void)wide.AssignUtf8(folder.c_str(), -1);
        (void)folders.Add(wide);
    }
    return BuildCatalogue(folders);
}

int32_t LFontFileInfo::BuildCatalogue(const Array<WideString>& folders)
{
    ClearCatalogue();
    if (folders.GetCount() == 0) {
        return E_FAIL;
    }
    Array<WideString> paths;
    for (const WideString& folder : folders) {
        AppendListing(folder, u"*.ttf", paths);
    }
    for (const WideString& folder : folders) {
        AppendListing(folder, u"*.ttc", paths);
    }
    for (const WideString& path : paths) {
        ReadFile(path);
    }
    return S_OK;
}

void LFontFileInfo::ClearCatalogue()
{
    FontFileMap().RemoveAll();
    (void)Catalogue().SetCount(0);
}

void LFontFileInfo::SetDefaultFontSource(DefaultFontSource source)
{
    DefaultFont() = std::move(source);
}

int32_t LFontFileInfo::GetFileID(const ConstRCPtr<LFont>& font)
{
    RCPtr<LFontFileInfo> entry = FontFileMap().Get(font);
    if (!entry) {
        entry = FindFamily(font->GetFamilyName());
        if (!entry && DefaultFont()) {
            const ConstRCPtr<LFont> fallback = DefaultFont()();
            if (fallback) {
                entry = FindFamily(fallback->GetFamilyName());
            }
        }
        if (!entry) {
            throw Exception<std::runtime_error>("Runtime Error : SV::LFontFileInfo::GetFileID : "
                                                "Renderer\\FontRenderer\\FontFileInfo : Line 464");
        }
        (void)FontFileMap().Set(font, entry);
    }
    // Each style tries its own slot, then the nearest; the last of the list is taken as it is.
    static constexpr int32_t kOrder[4][4] = {
        {kStyleRegular, kStyleBold, kStyleItalic, kStyleBoldItalic},
        {kStyleBold, kStyleBoldItalic, kStyleRegular, kStyleItalic},
        {kStyleItalic, kStyleBoldItalic, kStyleRegular, kStyleBold},
        {kStyleBoldItalic, kStyleBold, kStyleItalic, kStyleRegular},
    };
    // Underline and strike-out have no file of their own.
    const int32_t style = font->GetStyle() & 3;
    int32_t chosen = kOrder[style][3];
    for (int32_t i = 0; i < 3; ++i) {
        if (!entry->PathOfStyle(kOrder[style][i]).IsEmpty()) {
            chosen = kOrder[style][i];
            break;
        }
    }
    if (chosen != style && entry->PathOfStyle(style).IsEmpty()) {
        entry->PathOfStyle(style) = entry->PathOfStyle(chosen);
    }
    return (entry->fileID << 2) | style;
}

RCPtr<LFontFileInfo> LFontFileInfo::AddEntry()
{
    RCPtrArray<LFontFileInfo, 1, 0>& catalogue = Catalogue();
    RCPtr<LFontFileInfo> entry(new LFontFileInfo(catalogue.GetCount()));
    (void)catalogue.Add(entry);
    return entry;
}

int32_t LFontFileInfo::GetEntryCount()
{
    return Catalogue().GetCount();
}

RCPtr<LFontFileInfo> LFontFileInfo::GetEntry(int32_t index)
{
    if (index < 0 || index >= Catalogue().GetCount()) {
        return RCPtr<LFontFileInfo>();
    }
    return *Catalogue().At(index);
}

const WideString& LFontFileInfo::GetFilePath(int32_t fileId)
{
    static const WideString empty;
    if (fileId < 0 || (fileId >> 2) >= Catalogue().GetCount()) {
        return empty;
    }
    return (*Catalogue().At(fileId >> 2))->PathOfStyle(fileId & 3);
}

WideString& LFontFileInfo::PathOfStyle(int32_t style)
{
    switch (style & 3) {
    case kStyleBold:
        return boldPath;
    case kStyleItalic:
        return italicPath;
    case kStyleBoldItalic:
        return boldItalicPath;
    default:
        return regularPath;
    }
}

const WideString& LFontFileInfo::PathOfStyle(int32_t style) const
{
    return const_cast<LFontFileInfo*>(this)->PathOfStyle(style);
}

} // namespace SV
