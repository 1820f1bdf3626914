// Loading of the skin and string-table documents, from the program's resources or from files,
// and the parse that runs the reader over one document.
#include "ControlBase/ControlFactory.h"

#include "EmbeddedResources.h"
#include "Utilities/Storage/SVFile.h"

#include <cstring>
#include <expat.h>
#include <new>
#include <vector>

namespace SV {

namespace {

constexpr const char* kResourceType = "SVXML";

bool IsResourcePath(const WideString& path)
{
    return path.GetLength() >= 2 && path.GetText()[0] == u':' && path.GetText()[1] == u':';
}

bool SharesTraditionalChinese(int32_t localeId)
{
    return localeId == 0x0404 || localeId == 0x0C04 || localeId == 0x1404;
}

} // namespace

struct LControlFactory::Document
{
    const char* data = nullptr;
    uint32_t size = 0;
    std::vector<char> buffer;
};

// S_OK with the bytes; S_FALSE for a resource that is missing or empty and for a document too
// large to read; E_OUTOFMEMORY when a file's buffer cannot be had. A file that cannot be opened
// or read throws the file's exception.
int32_t LControlFactory::ReadDocument(const WideString& path, Document& document) const
{
    if (IsResourcePath(path)) {
        const NarrowString name(ResourceNameFromPath(path));
        const svp::EmbeddedResource* resource =
            svp::FindEmbeddedResource(kResourceType, name.GetText());
        if (resource == nullptr || resource->bytes.empty() ||
            resource->bytes.size() > kMaxDocumentBytes) {
            return S_FALSE;
        }
        document.data = reinterpret_cast<const char*>(resource->bytes.data());
        document.size = static_cast<uint32_t>(resource->bytes.size());
        return S_OK;
    }

    File file(path, WideString(), File::kReadFlag);
    const int32_t length = file.GetLength();
    if (length <= 0 || static_cast<uint32_t>(length) > kMaxDocumentBytes) {
        return S_FALSE;
    }
    try {
        document.buffer.resize(static_cast<size_t>(length));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    uint32_t total = 0;
    while (total < static_cast<uint32_t>(length)) {
        const int32_t read =
            file.Read(document.buffer.data() + total, static_cast<uint32_t>(length) - total, -1);
        if (read <= 0) {
            break; // the file shrank while it was read: what was there is the document
        }
        total += static_cast<uint32_t>(read);
    }
    file.Close();
    if (total == 0) {
        return S_FALSE;
    }
    document.data = document.buffer.data();
    document.size = total;
    return S_OK;
}

int32_t LControlFactory::LoadResources(const WideString& folder, int32_t localeId)
{
    const WideString resources(u"::");
    if (folder.Equals(resources)) {
        mImagePrefix = resources;
        const int32_t result =
            LoadStringTables(resources + WideString(u"APP_STRINGS"),
                             resources + WideString(u"FRAMEWORK_STRINGS"), localeId);
        if (result < 0) {
            return result;
        }
        return LoadSkins(resources + WideString(u"APP_SKINS"));
    }
    // A folder's files are named with the system's separator.
    mImagePrefix = folder + WideString(u"/");
    const int32_t result =
        LoadStringTables(mImagePrefix + WideString(u"StringTables.xml"),
                         mImagePrefix + WideString(u"FrameworkStrings.xml"), localeId);
    if (result < 0) {
        return result;
    }
    return LoadSkins(mImagePrefix + WideString(u"Skins.xml"));
}

void LControlFactory::PrepareSkinReader()
{
    mStringTableMode = false;
    mInCreateParam = false;
    mCreateParamStarted = false;
    mInLooks = false;
    mCurrentDescriptor = nullptr;
    // A new document starts with no look, look list or parameter table of its own: what the
    // last one left open is complete and stays as it was read.
    mCurrentLook = nullptr;
    mCurrentLookList = nullptr;
    mCurrentCreateParams = nullptr;
}

int32_t LControlFactory::LoadSkins(const WideString& path)
{
    int32_t result = E_FAIL;
    try {
        Document document;
        const int32_t read = ReadDocument(path, document);
        if (read == E_OUTOFMEMORY) {
            return E_OUTOFMEMORY;
        }
        if (read == S_OK) {
            PrepareSkinReader();
            result = ParseXML(document.data, document.size);
        }
    } catch (...) {
        result = E_FAIL;
    }
    mCurrentDescriptor = nullptr;
    mCurrentSkinIndex = 0;
    return result;
}

int32_t LControlFactory::ParseStringTableDocument(const Document& document)
{
    mStringTableMode = true;
    mMatchCount = 0;
    mInLocale = false;
    mCurrentTable = nullptr;
    mCurrentText = nullptr;
    mCurrentId.Clear();
    (void)ParseXML(document.data, document.size);
    mStringTableMode = false;
    mInLocale = false;
    mCurrentTable = nullptr;
    mCurrentText = nullptr;
    return mMatchCount;
}

int32_t LControlFactory::LoadStringTables(const WideString& applicationPath,
                                          const WideString& frameworkPath, int32_t localeId)
{
    // Set before anything is read, so that the framework document has a locale to start from
    // even when the application's is missing.
    mStringTableLocale = localeId;

    Document application;
    int32_t read = ReadDocument(applicationPath, application);
    if (read < 0) {
        return read;
    }
    if (read == S_OK && ParseStringTableDocument(application) == 0) {
        mStringTableLocale =
            SharesTraditionalChinese(localeId) ? kTraditionalChineseLocale : (localeId & 0xFF);
        if (ParseStringTableDocument(application) == 0) {
            mStringTableLocale = kEnglishLocale;
            (void)ParseStringTableDocument(application);
        }
    }

    Document framework;
    read = ReadDocument(frameworkPath, framework);
    if (read < 0) {
        return read;
    }
    if (read == S_OK && ParseStringTableDocument(framework) == 0) {
        mStringTableLocale = kEnglishLocale;
        (void)ParseStringTableDocument(framework);
    }
    return S_OK;
}

int32_t LControlFactory::ParseXML(const char* text, uint32_t length)
{
    if (text == nullptr) {
        return E_FAIL;
    }
    if (length == 0) {
        length = static_cast<uint32_t>(strnlen(text, kMaxDocumentBytes + 1));
    }
    if (length > kMaxDocumentBytes) {
        mParseErrorText = WideString(u"document too large");
        mParseErrorLine = 0;
        return E_FAIL;
    }

    mSkipFirstElement = true;
    mHandlerFailed = false;
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (parser == nullptr) {
        return E_OUTOFMEMORY;
    }
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, &LControlFactory::XMLStartElementCallback,
                          &LControlFactory::XMLEndElementCallback);
    XML_SetCharacterDataHandler(parser, &LControlFactory::XMLCharacterDataCallback);
    mParser = parser;

    int32_t result = S_OK;
    if (XML_Parse(parser, text, static_cast<int>(length), XML_TRUE) == XML_STATUS_ERROR) {
        // A handler that failed stopped the parser itself; its error is not the document's.
        if (!mHandlerFailed) {
            mParseErrorText = WideString(XML_ErrorString(XML_GetErrorCode(parser)));
            mParseErrorLine = static_cast<int32_t>(XML_GetCurrentLineNumber(parser));
        }
        result = E_FAIL;
    }
    if (mHandlerFailed) {
        result = E_FAIL;
    }
    mParser = nullptr;
    XML_ParserFree(parser);
    return result;
}

} // namespace SV
