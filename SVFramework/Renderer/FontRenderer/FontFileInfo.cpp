#include "Renderer/FontRenderer/FontFileInfo.h"

#include "FontFolders.h"
#include "Renderer/FontRenderer/FontFileNames.h"
#include "ResultCodes.h"
#include "Utilities/Storage/Paths.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/SVFile.h"

#include <exception>

namespace SV {
namespace {

RCPtrArray<LFontFileInfo, 1, 0>& Catalogue()
{
    static RCPtrArray<LFontFileInfo, 1, 0> catalogue;
    return catalogue;
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
    (void)Catalogue().SetCount(0);
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
