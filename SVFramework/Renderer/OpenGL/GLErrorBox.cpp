#include "Renderer/OpenGL/GLErrorBox.h"

#include <cstdio>
#include <cstring>

namespace SV {
namespace {

struct EnglishText
{
    const char* key;
    const char16_t* text;
};

// The English entries of the framework string table that the OpenGL set-up uses.
constexpr EnglishText kEnglishTexts[] = {
    {"GL_ERROR_CAPTION", u"OpenGL Error"},
    {"GL_ERROR_UPDATE_DRIVER",
     u"Updating your video card driver, with the latest driver from the manufacturer of your "
     u"video card, may solve this issue."},
    {"GL_ERROR_MESSAGE_CHOOSE_PIXEL_FORMAT", u"ChoosePixelFormat failed."},
    {"GL_ERROR_MESSAGE_SET_PIXEL_FORMAT", u"SetPixelFormat failed."},
    {"GL_ERROR_MESSAGE_CREATE_CONTEXT", u"wglCreateContext failed."},
    {"GL_ERROR_MESSAGE_GET_PROC_ADDRESS",
     u"wglGetProcAddress(\"wglGetExtensionsStringARB\") failed with error %d: %s."},
    {"GL_ERROR_MESSAGE_MAKE_CONTEXT_CURRENT", u"wglMakeCurrent failed with error %d: %s."},
};

WideString EnglishLookup(const char* key)
{
    for (const EnglishText& entry : kEnglishTexts) {
        if (std::strcmp(entry.key, key) == 0) {
            return WideString(entry.text);
        }
    }
    return WideString();
}

void StandardErrorBox(const WideString& caption, const WideString& text, uint32_t /*style*/)
{
    std::fprintf(stderr, "%s: %s\n", caption.ToNarrow().GetText(), text.ToNarrow().GetText());
}

GLTextLookup gLookup = &EnglishLookup;
GLMessageBox gMessageBox = &StandardErrorBox;

} // namespace

void SetGLErrorServices(GLTextLookup lookup, GLMessageBox messageBox)
{
    gLookup = lookup != nullptr ? lookup : &EnglishLookup;
    gMessageBox = messageBox != nullptr ? messageBox : &StandardErrorBox;
}

WideString GetGLErrorText(const char* key)
{
    return gLookup(key);
}

void ShowGLErrorBox(const WideString& caption, const WideString& text, uint32_t style)
{
    gMessageBox(caption, text, style);
}

} // namespace SV
