#include "OpenGLContext.h"

#include "X11NativeWindow.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

namespace svp {
namespace {

// The connection serving every GL call of the process, opened on first use. GL contexts are
// made and used on the thread that draws; the lock only guards the shared tables.
struct GLConnection
{
    Display* display = nullptr;
    int screen = 0;
    bool hasGLX = false;
    bool hasSwapMethod = false;
    GLXFBConfig* configs = nullptr;
    int configCount = 0;
    std::map<GLWindow, int32_t> windowFormats;
    std::mutex lock;
};

bool ExtensionListed(const char* extensions, const std::string& name)
{
    if (extensions == nullptr) {
        return false;
    }
    const std::string list = std::string(" ") + extensions + " ";
    return list.find(" " + name + " ") != std::string::npos;
}

GLConnection& Connection()
{
    static GLConnection* connection = [] {
        auto* made = new GLConnection;
        made->display = XOpenDisplay(nullptr);
        if (made->display == nullptr) {
            return made;
        }
        made->screen = DefaultScreen(made->display);
        int major = 0;
        int minor = 0;
        made->hasGLX = glXQueryVersion(made->display, &major, &minor) &&
                       (major > 1 || (major == 1 && minor >= 3));
        if (made->hasGLX) {
            made->configs = glXGetFBConfigs(made->display, made->screen, &made->configCount);
            made->hasSwapMethod = ExtensionListed(
                glXQueryExtensionsString(made->display, made->screen), "GLX_OML_swap_method");
        }
        return made;
    }();
    return *connection;
}

int Attribute(GLConnection& c, GLXFBConfig config, int attribute)
{
    int value = 0;
    if (glXGetFBConfigAttrib(c.display, config, attribute, &value) != Success) {
        return 0;
    }
    return value;
}

GLXFBConfig ConfigOf(GLConnection& c, int32_t format)
{
    if (!c.hasGLX || format < 1 || format > c.configCount) {
        return nullptr;
    }
    return c.configs[format - 1];
}

// A format a window can be drawn in at all.
bool IsWindowFormat(GLConnection& c, GLXFBConfig config)
{
    return (Attribute(c, config, GLX_DRAWABLE_TYPE) & GLX_WINDOW_BIT) != 0 &&
           (Attribute(c, config, GLX_RENDER_TYPE) & GLX_RGBA_BIT) != 0 &&
           Attribute(c, config, GLX_VISUAL_ID) != 0;
}

bool SwapsByCopy(GLConnection& c, GLXFBConfig config)
{
    return c.hasSwapMethod && Attribute(c, config, GLX_SWAP_METHOD_OML) == GLX_SWAP_COPY_OML;
}

// X errors of the calls between install and remove are kept rather than ending the process.
thread_local int tLastXError = 0;
// When set, only errors about this resource count: the GL library may release resources of an
// earlier, failed call (a drawing context of a window that is gone) inside a later one.
thread_local XID tErrorResource = 0;
thread_local int32_t tLastContextError = 0;
thread_local std::string tLastContextErrorText;

int KeepXError(Display* /*display*/, XErrorEvent* event)
{
    if (tLastXError == 0 && (tErrorResource == 0 || event->resourceid == tErrorResource)) {
        tLastXError = event->error_code;
    }
    return 0;
}

class XErrorTrap
{
public:
    explicit XErrorTrap(Display* display, XID resource = 0) : mDisplay(display)
    {
        XSync(mDisplay, False);
        tLastXError = 0;
        tErrorResource = resource;
        mPrevious = XSetErrorHandler(&KeepXError);
    }
    ~XErrorTrap()
    {
        XSetErrorHandler(mPrevious);
        tErrorResource = 0;
    }
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    // The first error (about the trap's resource, when it has one) since the trap was set, after
    // the server has answered everything sent.
    int Error()
    {
        XSync(mDisplay, False);
        return tLastXError;
    }

private:
    Display* mDisplay;
    int (*mPrevious)(Display*, XErrorEvent*) = nullptr;
};

// The attributes of an existing window; false, without an X error reaching the process, when
// there is no such window.
bool GetAttributes(GLConnection& c, GLWindow window, XWindowAttributes& attributes)
{
    if (window == 0 || c.display == nullptr) {
        return false;
    }
    XErrorTrap trap(c.display);
    const Status got = XGetWindowAttributes(c.display, window, &attributes);
    return trap.Error() == 0 && got != 0;
}

// The visual of an existing window; 0 when there is no such window.
VisualID VisualOfWindow(GLConnection& c, GLWindow window)
{
    XWindowAttributes attributes{};
    return GetAttributes(c, window, attributes) && attributes.visual != nullptr
               ? XVisualIDFromVisual(attributes.visual)
               : 0;
}

GLWindowResolver gResolver = nullptr;

} // namespace

void SetGLWindowResolver(GLWindowResolver resolver)
{
    gResolver = resolver;
}

GLWindow GetGLWindow(HWND window)
{
    if (window == nullptr) {
        return 0;
    }
    return gResolver != nullptr ? gResolver(window) : window->window;
}

int32_t DescribePixelFormat(int32_t format, PIXELFORMATDESCRIPTOR& descriptor)
{
    GLConnection& c = Connection();
    const GLXFBConfig config = ConfigOf(c, format);
    if (config == nullptr) {
        return 0;
    }
    descriptor = PIXELFORMATDESCRIPTOR{};
    descriptor.dwFlags = PFD_SUPPORT_OPENGL;
    if ((Attribute(c, config, GLX_DRAWABLE_TYPE) & GLX_WINDOW_BIT) != 0) {
        descriptor.dwFlags |= PFD_DRAW_TO_WINDOW;
    }
    if (Attribute(c, config, GLX_DOUBLEBUFFER) != 0) {
        descriptor.dwFlags |= PFD_DOUBLEBUFFER;
    }
    if (SwapsByCopy(c, config)) {
        descriptor.dwFlags |= PFD_SWAP_COPY;
    }
    if (Attribute(c, config, GLX_CONFIG_CAVEAT) == GLX_SLOW_CONFIG) {
        descriptor.dwFlags |= PFD_GENERIC_FORMAT;
    }
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = static_cast<uint8_t>(Attribute(c, config, GLX_BUFFER_SIZE));
    descriptor.cAlphaBits = static_cast<uint8_t>(Attribute(c, config, GLX_ALPHA_SIZE));
    descriptor.cDepthBits = static_cast<uint8_t>(Attribute(c, config, GLX_DEPTH_SIZE));
    descriptor.cStencilBits = static_cast<uint8_t>(Attribute(c, config, GLX_STENCIL_SIZE));
    return c.configCount;
}

int32_t ChoosePixelFormat(GLWindow window, const PIXELFORMATDESCRIPTOR& descriptor)
{
    GLConnection& c = Connection();
    if (!c.hasGLX) {
        return 0;
    }
    const VisualID windowVisual = VisualOfWindow(c, window);
    const bool wantDouble = (descriptor.dwFlags & PFD_DOUBLEBUFFER) != 0;
    const bool wantCopy = (descriptor.dwFlags & PFD_SWAP_COPY) != 0;
    int32_t best = 0;
    std::vector<int> bestScore;
    for (int i = 0; i < c.configCount; ++i) {
        const GLXFBConfig config = c.configs[i];
        if (!IsWindowFormat(c, config)) {
            continue;
        }
        const int colour = Attribute(c, config, GLX_BUFFER_SIZE);
        // Compared in order, higher first: what the window can show, then what was asked for,
        // then the least of what was not asked for.
        const std::vector<int> score = {
            windowVisual == 0 || VisualID(Attribute(c, config, GLX_VISUAL_ID)) == windowVisual,
            (Attribute(c, config, GLX_DOUBLEBUFFER) != 0) == wantDouble,
            !wantCopy || SwapsByCopy(c, config),
            colour >= descriptor.cColorBits,
            -std::abs(colour - descriptor.cColorBits),
            Attribute(c, config, GLX_CONFIG_CAVEAT) != GLX_SLOW_CONFIG,
            -(Attribute(c, config, GLX_DEPTH_SIZE) + Attribute(c, config, GLX_STENCIL_SIZE) +
              Attribute(c, config, GLX_ACCUM_RED_SIZE) + Attribute(c, config, GLX_SAMPLES)),
        };
        if (best == 0 || score > bestScore) {
            best = i + 1;
            bestScore = score;
        }
    }
    return best;
}

bool SetPixelFormat(GLWindow window, int32_t format)
{
    GLConnection& c = Connection();
    const GLXFBConfig config = ConfigOf(c, format);
    if (config == nullptr) {
        return false;
    }
    const VisualID visual = VisualOfWindow(c, window);
    if (visual == 0 || VisualID(Attribute(c, config, GLX_VISUAL_ID)) != visual) {
        return false;
    }
    const std::lock_guard<std::mutex> guard(c.lock);
    c.windowFormats[window] = format;
    return true;
}

int32_t ChooseSwapCopyPixelFormats(GLWindow window, int32_t* formats, int32_t capacity)
{
    GLConnection& c = Connection();
    if (!c.hasGLX || !c.hasSwapMethod) {
        return -1;
    }
    const VisualID windowVisual = VisualOfWindow(c, window);
    int32_t count = 0;
    for (int i = 0; i < c.configCount && count < capacity; ++i) {
        const GLXFBConfig config = c.configs[i];
        if (IsWindowFormat(c, config) && Attribute(c, config, GLX_DOUBLEBUFFER) != 0 &&
            SwapsByCopy(c, config) &&
            (windowVisual == 0 || VisualID(Attribute(c, config, GLX_VISUAL_ID)) == windowVisual)) {
            formats[count++] = i + 1;
        }
    }
    return count;
}

GLWindow CreateScratchWindow(int32_t format, int32_t width, int32_t height)
{
    GLConnection& c = Connection();
    const GLXFBConfig config = ConfigOf(c, format);
    if (config == nullptr) {
        return 0;
    }
    XVisualInfo* visual = glXGetVisualFromFBConfig(c.display, config);
    if (visual == nullptr) {
        return 0;
    }
    const Window root = RootWindow(c.display, c.screen);
    XSetWindowAttributes attributes{};
    attributes.colormap = XCreateColormap(c.display, root, visual->visual, AllocNone);
    attributes.border_pixel = 0;
    const Window window = XCreateWindow(c.display, root, 0, 0, std::max(width, 1),
                                        std::max(height, 1), 0, visual->depth, InputOutput,
                                        visual->visual, CWColormap | CWBorderPixel, &attributes);
    XFree(visual);
    XSync(c.display, False);
    return window;
}

void DestroyScratchWindow(GLWindow window)
{
    GLConnection& c = Connection();
    if (window == 0 || c.display == nullptr) {
        return;
    }
    XWindowAttributes attributes{};
    const bool exists = GetAttributes(c, window, attributes);
    {
        const std::lock_guard<std::mutex> guard(c.lock);
        c.windowFormats.erase(window);
    }
    if (exists) {
        XDestroyWindow(c.display, window);
        XFreeColormap(c.display, attributes.colormap);
        XSync(c.display, False);
    }
}

GLContextHandle CreateContext(GLWindow window)
{
    GLConnection& c = Connection();
    int32_t format = 0;
    {
        const std::lock_guard<std::mutex> guard(c.lock);
        const auto found = c.windowFormats.find(window);
        format = found != c.windowFormats.end() ? found->second : 0;
    }
    const GLXFBConfig config = ConfigOf(c, format);
    if (config == nullptr) {
        return nullptr;
    }
    XErrorTrap trap(c.display);
    const GLXContext context = glXCreateNewContext(c.display, config, GLX_RGBA_TYPE, nullptr, True);
    if (trap.Error() != 0 && context != nullptr) {
        glXDestroyContext(c.display, context);
        return nullptr;
    }
    return context;
}

void DeleteContext(GLContextHandle context)
{
    GLConnection& c = Connection();
    if (context != nullptr && c.display != nullptr) {
        glXDestroyContext(c.display, static_cast<GLXContext>(context));
    }
}

bool MakeCurrent(GLWindow window, GLContextHandle context)
{
    GLConnection& c = Connection();
    if (c.display == nullptr || !c.hasGLX) {
        tLastContextError = BadImplementation;
        tLastContextErrorText = "no X server with GLX";
        return false;
    }
    XErrorTrap trap(c.display, context == nullptr ? 0 : window);
    const bool made = glXMakeCurrent(c.display, context == nullptr ? None : window,
                                     static_cast<GLXContext>(context)) != 0;
    const int error = trap.Error();
    if (made && error == 0) {
        return true;
    }
    tLastContextError = error != 0 ? error : BadMatch;
    char text[256] = {};
    XGetErrorText(c.display, tLastContextError, text, sizeof text);
    tLastContextErrorText = text;
    return false;
}

GLContextHandle GetCurrentContext()
{
    return glXGetCurrentContext();
}

bool SwapLayerBuffers(GLWindow window)
{
    GLConnection& c = Connection();
    if (c.display == nullptr || window == 0) {
        return false;
    }
    // A window that went away must not end the process.
    XErrorTrap trap(c.display);
    glXSwapBuffers(c.display, window);
    return trap.Error() == 0;
}

bool GetExtensionsString(std::string& extensions)
{
    GLConnection& c = Connection();
    if (!c.hasGLX) {
        return false;
    }
    const char* list = glXQueryExtensionsString(c.display, c.screen);
    extensions = list != nullptr ? list : "";
    return true;
}

int32_t GetLastContextError(std::string& text)
{
    text = tLastContextErrorText;
    return tLastContextError;
}

} // namespace svp
