// The one object through which windows come into being: it reads the string tables and the skin
// (from the resources compiled into the program, or from files), knows the create function of
// every control class by its skin class name, finds the top-level descriptors of the current
// skin and hands out string tables. Used on the user-interface thread only.
#pragma once

#include "ControlBase/ControlCreateFunction.h"
#include "ControlBase/ControlDescriptor.h"
#include "ControlBase/LayoutDescriptor.h"
#include "ControlBase/LookDescriptor.h"
#include "ControlBase/VisualPartDescriptor.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "ResultCodes.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"
#include "Utilities/Storage/StringTable.h"

#include <cstdint>
#include <map>
#include <optional>
#include <span>

namespace SV {

class LColorizer;
class LControl;
class LRootWindow;

class LControlFactory : public virtual LRefCountedObject
{
public:
    // Attribute name to value, in code-unit order.
    using AttributeMap = std::map<WideString, WideString>;
    // String-table ID to the table's strings.
    using StringTableMap = std::map<WideString, LStringTable::Strings>;
    using Skins = RCPtrArray<LControlDescriptor>;

    // A document larger than this is refused rather than parsed: the shipped skin is a small
    // fraction of it, and every few bytes read can become a descriptor in memory.
    static constexpr uint32_t kMaxDocumentBytes = 8u * 1024u * 1024u;
    // Controls nest far less deeply than this; the limit keeps the recursive walks over the
    // descriptor and control trees (release among them) off the end of the stack.
    static constexpr int32_t kMaxSubControlDepth = 64;
    // Controls pick their looks by small indexes; a larger list is a broken skin.
    static constexpr int32_t kMaxLookListSize = 1024;

    // The locale the string tables fall back to, and the ones that share the traditional
    // Chinese texts.
    static constexpr int32_t kEnglishLocale = 0x0009;
    static constexpr int32_t kTraditionalChineseLocale = 0x7C04;

    explicit LControlFactory(const WideString& applicationName);
    ~LControlFactory() override;

    // Control classes. A class name registered already keeps its first function; always 0.
    int32_t RegisterControlCreateFunction(const WideString& className,
                                          ControlCreateFunction function);
    // Throws the runtime error "...GetControlCreateFunction..." for a class never registered.
    ControlCreateFunction GetControlCreateFunction(const WideString& className) const;
    // The descriptor's create function; on the first call the one registered for its class is
    // looked up (throwing as GetControlCreateFunction does) and kept in the descriptor.
    ControlCreateFunction ResolveCreateFunction(LControlDescriptor& descriptor) const;

    // Creation. The control of the descriptor's class, made by its create function with the
    // parent (empty for a top control); the function is resolved once per descriptor and an
    // unregistered class throws.
    RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent,
                                  const ConstRCPtr<LControlDescriptor>& descriptor) const;
    // The top-level control of that name in the current skin, made visible, created without
    // parent and bound to the window; empty when the skin has no such control.
    RCPtr<LControl> CreateRootControl(const WideString& name,
                                      const RCPtr<LRootWindow>& window) const;
    // Lookups through the current skin. The top-level descriptor of that name, searched from
    // the last to the first so later definitions hide earlier ones; empty when none, and when
    // the current skin index names no skin.
    RCPtr<LControlDescriptor> FindRootDescriptor(const WideString& name) const;
    // A copy of the template that shares its children, skin and parameters, under a new name
    // and with the given layout record.
    [[nodiscard]] RCPtr<LControlDescriptor>
    CloneDescriptor(const ConstRCPtr<LControlDescriptor>& templateDescriptor,
                    const RCPtr<LLayoutDescriptor>& layout, const WideString& name) const;
    // Applies the current skin's top-level descriptor of the control's name to the control
    // (its GetName and ApplyDescriptor); E_FAIL for an empty control or an unknown name.
    template <class Control>
    int32_t ReapplySkin(const RCPtr<Control>& control) const;
    // The font the current skin sets: each output the skin gives is written (a name that is
    // not empty, a size of at least 1, a style other than -1), the others keep the caller's
    // values. 0 when any was written, 1 when none.
    int32_t GetSkinFontOverrides(WideString& fontName, float& fontSize, int32_t& fontStyle) const;

    // Loading. A path that begins with "::" names a resource of the program (type "SVXML"),
    // any other a file. Everything read is kept: loading again adds skins and keeps the first
    // definition of every name.
    // "::" loads the program's own resources; any other folder the three files in it.
    int32_t LoadResources(const WideString& folder, int32_t localeId);
    // E_FAIL for a missing, empty, oversized or malformed document; E_OUTOFMEMORY when a file's
    // buffer cannot be had. The current skin index is 0 afterwards.
    int32_t LoadSkins(const WideString& path);
    // Reads both documents in the user's locale, falling back as far as English. A missing
    // resource is skipped and parse errors are not reported; a file that cannot be opened or
    // read throws the file's exception.
    int32_t LoadStringTables(const WideString& applicationPath, const WideString& frameworkPath,
                             int32_t localeId);
    // The same two loaders over documents already in memory (an empty span is a missing
    // document).
    int32_t LoadSkinText(std::span<const char> text);
    int32_t LoadStringTableTexts(std::span<const char> applicationText,
                                 std::span<const char> frameworkText, int32_t localeId);
    // Runs the reader over one document of `length` bytes (0: up to a terminating NUL). E_FAIL
    // when the parser reports an error (its text and line are kept), for a document that
    // declares entities, when a handler throws, and for a null, empty or oversized text.
    int32_t ParseXML(const char* text, uint32_t length);

    // The resource name of a "::" path: the rest upper-cased, '.' and ' ' made '_'.
    static WideString ResourceNameFromPath(const WideString& path);

    // String tables: a new table with a copy of the strings, or empty when no table of the ID
    // was read. A control's ID is its parent's class (the application name for a top-level
    // control, whose parent descriptor is empty), "|" and its name.
    RCPtr<LStringTable> GetStringTable(const ConstRCPtr<LControlDescriptor>& parentDescriptor,
                                       const WideString& controlName) const;
    RCPtr<LStringTable> GetApplicationStringTable() const;
    RCPtr<LStringTable> GetFrameworkStringTable() const;
    RCPtr<LStringTable> GetStringTableById(const WideString& id) const;

    const WideString& GetApplicationName() const { return mApplicationName; }
    const WideString& GetImagePrefix() const { return mImagePrefix; }
    int32_t GetStringTableLocale() const { return mStringTableLocale; }
    const Skins& GetSkins() const { return mSkins; }
    int32_t GetSkinCount() const { return mSkins.GetCount(); }
    int32_t GetCurrentSkinIndex() const { return mCurrentSkinIndex; }
    // E_INVALIDARG, and the index unchanged, for an index that names no skin.
    int32_t SetCurrentSkinIndex(int32_t index);
    // The application descriptor at the current skin index; empty when it names no skin.
    RCPtr<LControlDescriptor> GetCurrentSkin() const;
    const WideString& GetParseErrorText() const { return mParseErrorText; }
    int32_t GetParseErrorLine() const { return mParseErrorLine; }

    // What the skin defined by name; empty for a name never defined.
    RCPtr<LColorizer> FindColorizer(const WideString& name) const;
    RCPtr<LVisualPartDescriptor> FindPart(const WideString& name) const;
    // Starts loading the images of every part read so far, each on a thread of its own, so that
    // the first window needs to wait for them only when it draws sooner than they decode.
    void PrefetchPartImages() const;
    RCPtr<LLookDescriptor> FindLook(const WideString& name) const;
    RCPtr<LookList> FindLookList(const WideString& name) const;
    // The replacement the skin gives for a font name in the current locale, else the name.
    WideString TranslateFontName(const WideString& name) const;

    // The reader. The parser's callbacks convert its UTF-8 to UTF-16 and hand on to the three
    // steps below; all reader state lives in the factory.
    static void XMLStartElementCallback(void* userData, const char* name, const char** attributes);
    static void XMLEndElementCallback(void* userData, const char* name);
    static void XMLCharacterDataCallback(void* userData, const char* text, int length);
    void XMLStartElement(const WideString& name, const AttributeMap& attributes);
    void XMLEndElement(const WideString& name);
    void XMLCharacterData(const WideString& text);

    // Attribute readers: each answers whether the attribute is there and leaves the target
    // alone when it is not. Booleans are true only for "True"; numbers are "0x" and up to four
    // hexadecimal digits, else decimal; whole numbers and distances decimal integers (a
    // distance widened to a double).
    static bool GetStringAttribute(const AttributeMap& attributes, const WideString& name,
                                   WideString& value);
    static bool GetBoolAttribute(const AttributeMap& attributes, const WideString& name,
                                 bool& value);
    static bool GetFloatAttribute(const AttributeMap& attributes, const WideString& name,
                                  float& value);
    static bool GetIntAttribute(const AttributeMap& attributes, const WideString& name,
                                int32_t& value);
    static bool GetWholeAttribute(const AttributeMap& attributes, const WideString& name,
                                  int32_t& value);
    static bool GetDistanceAttribute(const AttributeMap& attributes, const WideString& name,
                                     double& value);
    // The number rule of the attributes and of the string tables' LCIDs.
    static int32_t ParseNumber(const WideString& text);

private:
    // The font a SubControl gives, taken over by its inner Skin.
    struct PendingFont
    {
        WideString name;
        float size = 0.0f;
        int32_t style = LSkinDescriptor::kNoFontStyle;
        bool inheritsFromParent = false;
        bool sizeIsRelative = false;
    };

    // Loading.
    // The bytes of a document: a resource's (empty when it is missing), or a file's read whole.
    struct Document;
    int32_t ReadDocument(const WideString& path, Document& document) const;
    // One string-table document parsed in the current string-table locale; answers how many
    // Locale elements matched.
    int32_t ParseStringTableDocument(std::span<const char> text);
    void PrepareSkinReader();

    // The reader's steps.
    void StartStringTableElement(const WideString& name, const AttributeMap& attributes);
    void StartColorizer(const AttributeMap& attributes);
    void StartPart(const AttributeMap& attributes);
    void StartLook(const AttributeMap& attributes);
    void StartClientPart(const AttributeMap& attributes);
    void StartNonClientPart(const AttributeMap& attributes);
    void StartTextProperties(const AttributeMap& attributes);
    void StartLookList(const AttributeMap& attributes);
    void StartLookListEntry(const AttributeMap& attributes);
    void StartSkin(const AttributeMap& attributes);
    void StartFontXLat(const AttributeMap& attributes);
    void StartSubControl(const AttributeMap& attributes);
    void ReadLayoutAttributes(const AttributeMap& attributes, LLayoutDescriptor& layout,
                              bool topLevel);
    void ReadFontAttributes(const AttributeMap& attributes);
    void EndSubControl();
    // Called when a handler threw: stops the parser, which reports E_FAIL.
    void StopAfterHandlerFailure();

    WideString mApplicationName;
    int32_t mStringTableLocale = kEnglishLocale;
    WideString mImagePrefix;
    Skins mSkins;
    int32_t mCurrentSkinIndex = 0;
    std::map<WideString, ControlCreateFunction> mCreateFunctions;
    StringTableMap mStringTables;
    WideString mParseErrorText;
    int32_t mParseErrorLine = 0;

    // Reader state of both modes.
    // The parser of the parse under way; a handler that fails stops it through this.
    void* mParser = nullptr;
    // Set when a handler threw: the parse is stopped, and what the parser still delivers is
    // not read.
    bool mHandlerFailed = false;
    bool mSkipFirstElement = false;
    bool mStringTableMode = false;
    // The String ID in string-table mode, the CreateParam ID in skin mode.
    WideString mCurrentId;

    // String-table mode.
    int32_t mMatchCount = 0;
    bool mInLocale = false;
    LStringTable::Strings* mCurrentTable = nullptr;
    WideString* mCurrentText = nullptr;

    // Skin mode.
    RCPtr<LControlDescriptor> mCurrentDescriptor;
    bool mInLooks = false;
    RCPtr<LLookDescriptor> mCurrentLook;
    RCPtr<LookList> mCurrentLookList;
    RCPtr<LStringTable> mCurrentCreateParams;
    bool mInCreateParam = false;
    // Whether the current CreateParam's value has started: the parser may hand one text over
    // in several pieces, which together are the value.
    bool mCreateParamStarted = false;
    PendingFont mPendingFont;
    // Unset until the first FontLocale, so no translation applies before one.
    std::optional<int32_t> mFontLocale;
    std::map<WideString, WideString> mFontTranslations;
    std::map<WideString, RCPtr<LColorizer>> mColorizers;
    std::map<WideString, RCPtr<LVisualPartDescriptor>> mParts;
    std::map<WideString, RCPtr<LLookDescriptor>> mLooks;
    std::map<WideString, RCPtr<LookList>> mLookLists;
};

template <class Control>
int32_t LControlFactory::ReapplySkin(const RCPtr<Control>& control) const
{
    if (!control) {
        return E_FAIL;
    }
    const RCPtr<LControlDescriptor> descriptor = FindRootDescriptor(control->GetName());
    if (!descriptor) {
        return E_FAIL;
    }
    return control->ApplyDescriptor(descriptor);
}

} // namespace SV
