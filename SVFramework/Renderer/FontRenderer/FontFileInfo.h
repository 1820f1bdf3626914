// The catalogue of the system's font files: one entry per font family with the file of each of
// its four styles, read from the fonts' own 'name' tables. Process-wide; filled when a FreeType
// font renderer is made and emptied when it goes, and used only on the thread that draws.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <functional>

namespace SV {

class LFont;

class LFontFileInfo : public virtual LRefCountedObject
{
public:
    // The styles that have a file slot of their own.
    static constexpr int32_t kStyleRegular = 0;
    static constexpr int32_t kStyleBold = 1;
    static constexpr int32_t kStyleItalic = 2;
    static constexpr int32_t kStyleBoldItalic = 3;

    // Answers the application's default font, whose family stands in for an uncatalogued one;
    // an empty pointer while there is none.
    using DefaultFontSource = std::function<ConstRCPtr<LFont>()>;

    explicit LFontFileInfo(int32_t fileId) : fileID(fileId) {}

    // Set by the application when it starts.
    static void SetDefaultFontSource(DefaultFontSource source);

    // Empties the catalogue and reads every TrueType file (and collection) in the system's font
    // folders and the folders below them. 0, or E_FAIL when no font folder is known.
    static int32_t BuildCatalogue();
    // The same over the given folders (each searched alone, not below): all "*.ttf" files of
    // every folder, then all "*.ttc" files, so a collection registered later wins a style slot.
    // 0, or E_FAIL when there is no folder.
    static int32_t BuildCatalogue(const Array<WideString>& folders);
    // Empties the map of fonts to entries and the catalogue.
    static void ClearCatalogue();

    // Appends an entry whose id is its index.
    static RCPtr<LFontFileInfo> AddEntry();
    static int32_t GetEntryCount();
    // The entry at `index`, or an empty pointer outside the catalogue.
    static RCPtr<LFontFileInfo> GetEntry(int32_t index);

    // (entry id << 2) | style of the file that draws the font, the family compared with case.
    // A style slot without a file takes the nearest style's file and keeps it. Only the bold and
    // italic bits of the style count. Throws a runtime error when neither the font's family nor
    // the default font's is catalogued.
    static int32_t GetFileID(const ConstRCPtr<LFont>& font);
    // The path of slot (fileId & 3) of entry (fileId >> 2); empty outside the catalogue.
    static const WideString& GetFilePath(int32_t fileId);

    // The path slot of a style 0 to 3: regular, bold, italic, bold italic.
    WideString& PathOfStyle(int32_t style);
    const WideString& PathOfStyle(int32_t style) const;

    WideString familyName;
    WideString regularPath;
    WideString boldPath;
    WideString italicPath;
    WideString boldItalicPath;
    const int32_t fileID;
};

} // namespace SV
