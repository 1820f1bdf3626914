#include "Renderer/OpenGL/GLRenderer.h"

#include "MessageBoxStyles.h"
#include "MonotonicClock.h"
#include "ObjectBase/Exception.h"
#include "Renderer/FontRenderer/FontRenderer.h"
#include "Renderer/OpenGL/GLErrorBox.h"
#include "Renderer/OpenGL/GLErrors.h"
#include "Renderer/OpenGL/GLPolygon.h"
#include "Renderer/OpenGL/GLRenderContextInfo.h"
#include "ResultCodes.h"
#include "Utilities/Graphics/Bitmap.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace SV {
namespace {

constexpr int32_t kDisplayListCacheSize = 256;
constexpr int32_t kTextureCacheSize = 64;
constexpr uint32_t kPurgeInterval = 300000;
constexpr int32_t kMaxSwapCopyFormats = 64;
constexpr double kCoordinateLimit = 4503599627370496.0; // 2^52
// The extension that lets a format promise that a swap copies the back buffer.
constexpr const char* kSwapMethodExtension = "GLX_OML_swap_method";

uint32_t DefaultClock()
{
    return svp::GetTickMilliseconds();
}

LGLRenderer::Clock gClock = &DefaultClock;

[[noreturn]] void ThrowRuntimeError(const std::string& text)
{
    throw Exception<std::runtime_error>(text);
}

std::string SetupErrorText(const char* function, int line)
{
    return std::string("Runtime Error : SV::LGLRenderer::") + function +
           " : Renderer\\OpenGL\\GLRenderer : Line " + std::to_string(line);
}

double ClampCoordinate(double value)
{
    return std::clamp(value, -kCoordinateLimit, kCoordinateLimit);
}

// The rectangle widened to doubles, each value clamped to plus or minus 2^52, in whole units.
RectT<double> SnappedRect(const RectT<int32_t>& rect)
{
    return SnapRect({ClampCoordinate(rect.x), ClampCoordinate(rect.y), ClampCoordinate(rect.width),
                     ClampCoordinate(rect.height)});
}

int64_t RoundToInt64(double value)
{
    return static_cast<int64_t>(std::round(std::clamp(value, -9.0e18, 9.0e18)));
}

GLint ClampToGLint(int64_t value)
{
    return static_cast<GLint>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

void SetColor(const ColorT& color)
{
    glColor4f(color.red, color.green, color.blue, color.alpha);
}

} // namespace

uintptr_t detail::PictureHandle(const ConstRCPtr<LBitmap>& bitmap)
{
    return bitmap ? reinterpret_cast<uintptr_t>(bitmap->GetPixelSource()) : 0;
}

uintptr_t detail::BitmapHandle(const ConstRCPtr<LBitmap>& bitmap)
{
    return reinterpret_cast<uintptr_t>(bitmap.Get());
}

void LGLRenderer::SetClock(Clock clock)
{
    gClock = clock != nullptr ? clock : &DefaultClock;
}

LGLRenderer::LGLRenderer(const RCPtr<LFontRenderer>& fontRenderer, svp::HWND window)
    : mFontRenderer(fontRenderer), mWindow(window), mLastPurgeTime(gClock()),
      mFillPolygonCache(kDisplayListCacheSize), mPolygonOutlineCache(kDisplayListCacheSize),
      mLineSegmentsCache(kDisplayListCacheSize), mPolylineCache(kDisplayListCacheSize),
      mColorRectCache(kDisplayListCacheSize), mPictureTextureCache(kTextureCacheSize),
      mBitmapTextureCache(kTextureCacheSize)
{
    mErrorCaption = GetGLErrorText("GL_ERROR_CAPTION");
    mUpdateDriverText = GetGLErrorText("GL_ERROR_UPDATE_DRIVER");

    svp::PIXELFORMATDESCRIPTOR request;
    request.dwFlags = svp::PFD_DRAW_TO_WINDOW | svp::PFD_SUPPORT_OPENGL | svp::PFD_SWAP_COPY;
    if (mDoubleBuffered) {
        request.dwFlags |= svp::PFD_DOUBLEBUFFER;
    }
    request.iPixelType = svp::PFD_TYPE_RGBA;
    request.cColorBits = 32;

    const svp::GLWindow windowContext = svp::GetGLWindow(window);
    mPixelFormatIndex = svp::ChoosePixelFormat(windowContext, request);
    if (mPixelFormatIndex == 0) {
        FailSetup("GL_ERROR_MESSAGE_CHOOSE_PIXEL_FORMAT", 144);
    }

    // The format is tried out on a window of its own, so the real window is only given a
    // format once one is known to work.
    struct ScratchWindow
    {
        svp::GLWindow window;
        ~ScratchWindow() { svp::DestroyScratchWindow(window); }
    } scratch{svp::CreateScratchWindow(mPixelFormatIndex)};
    if (scratch.window == 0) {
        ThrowRuntimeError(SetupErrorText("LGLRenderer", 150));
    }
    if (!svp::SetPixelFormat(scratch.window, mPixelFormatIndex)) {
        FailSetup("GL_ERROR_MESSAGE_SET_PIXEL_FORMAT", 161);
    }
    mGLContext = svp::CreateContext(scratch.window);
    if (mGLContext == nullptr) {
        FailSetup("GL_ERROR_MESSAGE_CREATE_CONTEXT", 171);
    }
    (void)svp::DescribePixelFormat(mPixelFormatIndex, mPixelFormat);
    mDoubleBuffered = (mPixelFormat.dwFlags & svp::PFD_DOUBLEBUFFER) != 0;
    mBackBufferKept = (mPixelFormat.dwFlags & svp::PFD_SWAP_COPY) != 0 &&
                      (mPixelFormat.dwFlags & svp::PFD_SUPPORT_COMPOSITION) == 0;
    (void)svp::MakeCurrent(scratch.window, mGLContext);

    // A window is needed to set another format on; without one the first format stays.
    if (!(mDoubleBuffered && mBackBufferKept) && windowContext != 0 &&
        IsWGLExtensionSupported(scratch.window, kSwapMethodExtension)) {
        try {
            TrySwapCopyFormat(windowContext);
        } catch (...) {
            (void)svp::MakeCurrent(0, nullptr);
            svp::DeleteContext(mGLContext);
            throw;
        }
    }
    (void)svp::MakeCurrent(0, nullptr);
}

void LGLRenderer::TrySwapCopyFormat(svp::GLWindow windowContext)
{
    int32_t formats[kMaxSwapCopyFormats] = {};
    const int32_t count =
        svp::ChooseSwapCopyPixelFormats(windowContext, formats, kMaxSwapCopyFormats);
    if (count <= 0) {
        return;
    }
    const int32_t format = formats[0];
    svp::PIXELFORMATDESCRIPTOR described;
    (void)svp::DescribePixelFormat(format, described);
    // A driver that marks its accelerated format 14 as generic all the same.
    if (described.dwFlags == 0x8465 && format == 14) {
        described.dwFlags = 0x8425;
    }
    if ((described.dwFlags & svp::PFD_GENERIC_FORMAT) != 0) {
        return;
    }
    if (!svp::SetPixelFormat(windowContext, format)) {
        FailSetup("GL_ERROR_MESSAGE_SET_PIXEL_FORMAT", 247);
    }
    const svp::GLContextHandle context = svp::CreateContext(windowContext);
    if (context == nullptr) {
        return;
    }
    (void)svp::MakeCurrent(0, nullptr);
    svp::DeleteContext(mGLContext);
    mGLContext = context;
    mPixelFormat = described;
    mDoubleBuffered = (described.dwFlags & svp::PFD_DOUBLEBUFFER) != 0;
    mBackBufferKept = (described.dwFlags & svp::PFD_SWAP_COPY) != 0;
    mPixelFormatIndex = format;
}

LGLRenderer::~LGLRenderer()
{
    // Deleting the context frees every texture and list made in it; the caches, destroyed
    // after this body, then find no current context and their GL calls do nothing.
    (void)svp::MakeCurrent(0, nullptr);
    svp::DeleteContext(mGLContext);
    mGLContext = nullptr;
}

void LGLRenderer::ShowSetupError(const char* messageKey) const
{
    ShowGLErrorBox(mErrorCaption, GetGLErrorText(messageKey) + mUpdateDriverText,
                   MB_ICONWARNING);
}

void LGLRenderer::FailSetup(const char* messageKey, int line) const
{
    ShowSetupError(messageKey);
    svp::DeleteContext(mGLContext);
    ThrowRuntimeError(SetupErrorText(line == 334 ? "InitRenderContextInfo" : "LGLRenderer", line));
}

bool LGLRenderer::IsWGLExtensionSupported(svp::GLWindow /*deviceContext*/, const char* name)
{
    const std::string wanted = name != nullptr ? name : "";
    if (wanted.empty() || wanted.find(' ') != std::string::npos) {
        return false;
    }
    std::string extensions;
    if (!svp::GetExtensionsString(extensions)) {
        std::string reason;
        const int32_t code = svp::GetLastContextError(reason);
        WideString wideReason;
        (void)wideReason.AssignUtf8(reason.c_str(), -1);
        const WideString format =
            GetGLErrorText("GL_ERROR_MESSAGE_GET_PROC_ADDRESS") + mUpdateDriverText;
        WideString text;
        (void)text.Format(format.GetText(), code, wideReason.GetText());
        // The box of this failure holds at most 179 characters.
        ShowGLErrorBox(mErrorCaption, text.Left(179), MB_OK);
        return false;
    }
    // A name counts only as a whole word: at the start or after a space, and followed by a
    // space or the end.
    size_t at = extensions.find(wanted);
    while (at != std::string::npos) {
        const size_t end = at + wanted.size();
        if ((at == 0 || extensions[at - 1] == ' ') &&
            (end == extensions.size() || extensions[end] == ' ')) {
            return true;
        }
        at = extensions.find(wanted, end);
    }
    return false;
}

LGLRenderContextInfo* LGLRenderer::CurrentGLContext() const
{
    return dynamic_cast<LGLRenderContextInfo*>(GetCurrentContext());
}

double LGLRenderer::TargetHeight() const
{
    const LRenderContextInfo* context = GetCurrentContext();
    return context != nullptr ? context->GetTarget().height : 0.0;
}

bool LGLRenderer::MakeContextCurrent(const LGLRenderContextInfo& context)
{
    if (svp::MakeCurrent(context.GetDeviceContext(), mGLContext)) {
        return true;
    }
    std::string reason;
    const int32_t code = svp::GetLastContextError(reason);
    WideString wideReason;
    (void)wideReason.AssignUtf8(reason.c_str(), -1);
    const WideString format =
        GetGLErrorText("GL_ERROR_MESSAGE_MAKE_CONTEXT_CURRENT") + mUpdateDriverText;
    WideString text;
    (void)text.Format(format.GetText(), code, wideReason.GetText());
    ShowGLErrorBox(mErrorCaption, text, MB_ICONWARNING);
    return false;
}

int32_t LGLRenderer::InitRenderContextInfo(const RectT<int32_t>& target, svp::HWND window,
                                           int32_t offscreenOnly,
                                           RCPtr<LRenderContextInfo>& context)
{
    RCPtr<LGLRenderContextInfo> made(new LGLRenderContextInfo(target, window, offscreenOnly));
    context = RCPtr<LRenderContextInfo>(made);
    if (!svp::SetPixelFormat(made->GetDeviceContext(), mPixelFormatIndex)) {
        ShowSetupError("GL_ERROR_MESSAGE_SET_PIXEL_FORMAT");
        ThrowRuntimeError(SetupErrorText("InitRenderContextInfo", 334));
    }
    // The fixed state belongs to the GL context, which must be current to take it.
    if (!MakeContextCurrent(*made)) {
        return E_FAIL;
    }
    made->ReadMaxSurfaceSize();
    InitGLState();
    return S_OK;
}

void LGLRenderer::InitGLState()
{
    glClearColor(0, 0, 0, 0);
    glColor4f(1, 1, 1, 1);
    glDisable(GL_LIGHTING);
    glDisable(GL_DITHER);
    glDisable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 1.0f / 255.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_LINE_SMOOTH);
    glDisable(GL_POLYGON_SMOOTH);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_SCISSOR_TEST);
}

int32_t LGLRenderer::RenderStart(const RCPtr<LRenderContextInfo>& context)
{
    LRenderer::RenderStart(context);
    // Each presented frame releases the GL context; a frame that cannot take it back draws
    // nothing, since GL ignores calls without a current context.
    if (const auto* glContext = dynamic_cast<const LGLRenderContextInfo*>(context.Get())) {
        (void)MakeContextCurrent(*glContext);
    }
    SetViewport(context->GetTarget());
    // The scissor box is the GL context's, shared by every window it draws into: it starts
    // each frame as this context's clip.
    const RenderState& state = context->GetState();
    ApplyScissor({state.clip.x + state.origin.x, state.clip.y + state.origin.y, state.clip.width,
                  state.clip.height});
    glPushMatrix();
    return S_OK;
}

int32_t LGLRenderer::RenderFinish(const RCPtr<LRenderContextInfo>& context)
{
    if (GetCurrentContext() == nullptr || GetCurrentContext() != context.Get()) {
        return LRenderer::RenderFinish(context); // throws the mismatch
    }
    DrainGLErrors();
    glPopMatrix();

    const auto* glContext = dynamic_cast<const LGLRenderContextInfo*>(context.Get());
    // A frame that could not take the GL context drew nothing and has nothing to present.
    const bool drawn = mGLContext != nullptr && svp::GetCurrentContext() == mGLContext;
    if (!drawn) {
        // Nothing to show.
    } else if (context->IsOffscreenOnly()) {
        glFlush();
    } else {
        if (!mDoubleBuffered) {
            glFlush();
        } else if (mBackBufferKept) {
            if (glContext != nullptr) {
                glContext->SwapLayerBuffers();
            }
        } else {
            glFlush();
            CopyBuffer(GL_BACK, GL_FRONT, GL_COLOR);
        }
        DrainGLErrors();
        (void)svp::MakeCurrent(0, nullptr);
    }

    LRenderer::RenderFinish(context);

    if (LGLRenderContextInfo* outer = CurrentGLContext()) {
        // The outer frame goes on in its own window.
        (void)MakeContextCurrent(*outer);
        SetViewport(outer->GetTarget());
        return S_OK;
    }
    if (GetCurrentContext() != nullptr) {
        SetViewport(GetCurrentContext()->GetTarget());
        return S_OK;
    }
    const uint32_t now = gClock();
    if (now - mLastPurgeTime > kPurgeInterval) {
        mLastPurgeTime = now;
        PurgeCaches();
    }
    return S_OK;
}

void LGLRenderer::PurgeCaches()
{
    // Each cache drops what was not looked up since its previous purge, then remembers where
    // its clock stands now.
    const auto purge = [](auto& cache) {
        (void)cache.Purge(cache.GetPurgeMark());
        cache.SetPurgeMark(cache.GetClock() + 1);
    };
    purge(mPictureTextureCache);
    purge(mBitmapTextureCache);
    purge(mFillPolygonCache);
    purge(mPolygonOutlineCache);
    purge(mLineSegmentsCache);
    purge(mPolylineCache);
    purge(mColorRectCache);
}

int32_t LGLRenderer::SetViewport(const RectT<int32_t>& target)
{
    LRenderer::SetViewport(target);
    glViewport(target.x, target.y, target.width, target.height);
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, viewport[2], viewport[3], 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    return S_OK;
}

void LGLRenderer::SetClipRect(const RectT<double>& clip)
{
    LRenderer::SetClipRect(clip);
    const RenderState* state = GetCurrentState();
    if (state == nullptr) {
        return;
    }
    ApplyScissor({clip.x + state->origin.x, clip.y + state->origin.y, clip.width, clip.height});
}

void LGLRenderer::ApplyScissor(const RectT<double>& rect)
{
    const double targetHeight = TargetHeight();
    // In 64 bits, so that the clip that covers everything (edges near 1e16) stays whole.
    int64_t x = RoundToInt64(rect.x);
    int64_t y = RoundToInt64(targetHeight - (rect.y + rect.height));
    int64_t width = RoundToInt64(rect.width);
    int64_t height = RoundToInt64(rect.height);
    if (x < 0) {
        width += x;
        x = 0;
    }
    if (y < 0) {
        height += y;
        y = 0;
    }
    if (width < 1 || height < 1) {
        const LRenderContextInfo* context = GetCurrentContext();
        glScissor(context != nullptr ? context->GetTarget().width : 0, 0, 1, 1);
        return;
    }
    glScissor(ClampToGLint(x), ClampToGLint(y), ClampToGLint(width), ClampToGLint(height));
}

void LGLRenderer::Translate(const PointT<double>& delta)
{
    LRenderer::Translate(delta);
    if (delta.x != 0.0 || delta.y != 0.0) {
        glTranslatef(static_cast<float>(delta.x), static_cast<float>(delta.y), 0.0f);
    }
}

void LGLRenderer::CopyBuffer(uint32_t sourceBuffer, uint32_t destinationBuffer, uint32_t kind)
{
    GLint readBuffer = 0;
    GLint drawBuffer = 0;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    glReadBuffer(sourceBuffer);
    glDrawBuffer(destinationBuffer);
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, viewport[2], 0, viewport[3], -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    GLfloat rasterPosition[4] = {0, 0, 0, 1};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, rasterPosition);
    glRasterPos4f(0, 0, 0, 1);
    GLint logicOp = GL_COPY;
    glGetIntegerv(GL_LOGIC_OP_MODE, &logicOp);
    glLogicOp(GL_COPY);
    glCopyPixels(0, 0, viewport[2], viewport[3], kind);
    DrainGLErrors();
    glLogicOp(logicOp);
    glRasterPos4fv(rasterPosition);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glReadBuffer(readBuffer);
    glDrawBuffer(drawBuffer);
}

// Drawing.

int32_t LGLRenderer::GetFontMetrics(const ConstRCPtr<LFont>& font, int32_t& height, int32_t& ascent,
                                    int32_t& descent)
{
    if (!mFontRenderer) {
        return E_FAIL;
    }
    return mFontRenderer->GetFontMetrics(font, height, ascent, descent);
}

RectT<float> LGLRenderer::MeasureText(const WideString& text, const ConstRCPtr<LFont>& font)
{
    if (!mFontRenderer) {
        return {};
    }
    return mFontRenderer->MeasureText(text, font);
}

void LGLRenderer::DrawText(const WideString& text, const ConstRCPtr<LFont>& font,
                           const PointT<int32_t>& position, const ColorT& color)
{
    if (!mFontRenderer || text.IsEmpty()) {
        return;
    }
    SetColor(color);
    const PointT<double> offset{ClampCoordinate(position.x), ClampCoordinate(position.y)};
    Translate(offset);
    // The origin goes back even when the font has no file to draw with.
    struct Restore
    {
        LGLRenderer& renderer;
        PointT<double> back;
        ~Restore() { renderer.Translate(back); }
    } restore{*this, {-offset.x, -offset.y}};
    (void)mFontRenderer->RenderText(text, font, mFontRenderer->GetGlyphProcessor(), 0, 0.0f, 15);
}

void LGLRenderer::DrawRect(const RectT<int32_t>& rect, const ColorT& color, float penWidth)
{
    glLineWidth(penWidth);
    SetColor(color);
    const RectT<double> r = SnappedRect(rect);
    glBegin(GL_LINE_STRIP);
    glVertex2d(r.x, r.y);
    glVertex2d(r.x + r.width, r.y);
    glVertex2d(r.x + r.width, r.y + r.height);
    glVertex2d(r.x, r.y + r.height);
    glVertex2d(r.x, r.y);
    glEnd();
}

void LGLRenderer::FillRect(const RectT<int32_t>& rect, const ColorT& color, bool blend)
{
    if (blend) {
        SetColor(color);
        glDisable(GL_TEXTURE_2D);
        const RectT<double> r = SnappedRect(rect);
        glBegin(GL_QUADS);
        glVertex2d(r.x, r.y);
        glVertex2d(r.x + r.width, r.y);
        glVertex2d(r.x + r.width, r.y + r.height);
        glVertex2d(r.x, r.y + r.height);
        glEnd();
        return;
    }
    const RenderState* state = GetCurrentState();
    if (state == nullptr) {
        return;
    }
    // The pixels take the colour as it is, alpha included, without blending; the clear colour
    // goes back to the transparent black every other clear relies on.
    ApplyScissor({rect.x + state->origin.x, rect.y + state->origin.y, double(rect.width),
                  double(rect.height)});
    glClearColor(color.red, color.green, color.blue, color.alpha);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    ApplyScissor({state->clip.x + state->origin.x, state->clip.y + state->origin.y,
                  state->clip.width, state->clip.height});
}

void LGLRenderer::DrawFilledRect(const RectT<int32_t>& rect, const ColorT& fill,
                                 const ColorT& outline, float penWidth)
{
    DrawFilledRectWithFillAndOutline(rect, fill, outline, penWidth);
}

template <class Source, class Cache, class Draw>
void LGLRenderer::DrawThroughList(Cache& cache, Source& source, bool keepCached, bool changed,
                                  const Draw& draw)
{
    if (!keepCached) {
        (void)cache.Discard(source);
        draw();
        return;
    }
    RCPtr<LGLDisplayList>& lists = cache.Lookup(source, changed);
    if (lists && lists->CallLists(0, 1) == S_OK) {
        return;
    }
    lists = LGLDisplayList::Create(1);
    if (lists->BeginList(0) != S_OK) {
        // GL gave no list: draw directly, and try again next time rather than keep a list
        // that would replay nothing.
        lists = nullptr;
        draw();
        return;
    }
    draw();
    (void)lists->EndList();
    (void)lists->CallLists(0, 1);
}

void LGLRenderer::EmitPolyline(const PolylineT<float>& points, Geometry geometry)
{
    switch (geometry) {
    case Geometry::kLineSegments:
    case Geometry::kPolyline:
        glLineWidth(points.GetPenWidth());
        if (points.GetCount() > 0) {
            glEnableClientState(GL_VERTEX_ARRAY);
            glVertexPointer(2, GL_FLOAT, sizeof(PointT<float>), points.GetPoints().data());
            glDrawArrays(geometry == Geometry::kLineSegments ? GL_LINES : GL_LINE_STRIP, 0,
                         points.GetCount());
            glDisableClientState(GL_VERTEX_ARRAY);
        }
        break;
    case Geometry::kPolygonOutline:
        glBegin(GL_LINE_STRIP);
        for (const PointT<float>& point : points.GetPoints()) {
            glVertex2f(point.x, point.y);
        }
        glEnd();
        break;
    case Geometry::kFillPolygon:
        CGLPolygon().Fill(points);
        break;
    }
}

void LGLRenderer::DrawPolylineGeometry(PolylineT<float>& points, Geometry geometry, bool keepCached)
{
    PolylineCache* own = &mLineSegmentsCache;
    PolylineCache* other = nullptr;
    switch (geometry) {
    case Geometry::kLineSegments:
        break;
    case Geometry::kPolyline:
        own = &mPolylineCache;
        break;
    case Geometry::kPolygonOutline:
        own = &mPolygonOutlineCache;
        other = &mFillPolygonCache;
        break;
    case Geometry::kFillPolygon:
        own = &mFillPolygonCache;
        other = &mPolygonOutlineCache;
        break;
    }
    bool changed = false;
    if (!keepCached) {
        if (other != nullptr) {
            (void)other->Discard(points);
        }
    } else {
        changed = points.IsChanged();
        points.SetChanged(false);
        // The outline and the fill of one polyline consume one flag: whichever sees it frees
        // the other's stale list.
        if (changed && other != nullptr) {
            (void)other->Discard(points);
        }
    }
    DrawThroughList(*own, points, keepCached, changed, [&] { EmitPolyline(points, geometry); });
}

void LGLRenderer::DrawPlacedPolyline(PolylineT<float>& points, const ColorT& color,
                                     const PointT<float>& offset, const PointT<float>& scale,
                                     Geometry geometry, bool keepCached)
{
    glPushMatrix();
    glTranslatef(offset.x, offset.y, 0);
    glScalef(scale.x, scale.y, 1);
    SetColor(color);
    // The colour, placement, and for outlines the pen, are set outside any cached list, so a
    // replayed list takes the current ones. An outline keeps texturing as it is.
    if (geometry == Geometry::kPolygonOutline) {
        glLineWidth(points.GetPenWidth());
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    DrawPolylineGeometry(points, geometry, keepCached);
    glPopMatrix();
}

void LGLRenderer::DrawLineSegments(PolylineT<float>& points, const ColorT& color,
                                   const PointT<float>& offset, const PointT<float>& scale,
                                   bool keepCached)
{
    DrawPlacedPolyline(points, color, offset, scale, Geometry::kLineSegments, keepCached);
}

void LGLRenderer::DrawPolyline(PolylineT<float>& points, const ColorT& color,
                               const PointT<float>& offset, const PointT<float>& scale,
                               bool keepCached)
{
    DrawPlacedPolyline(points, color, offset, scale, Geometry::kPolyline, keepCached);
}

void LGLRenderer::DrawPolygon(PolylineT<float>& points, const ColorT& color,
                              const PointT<float>& offset, const PointT<float>& scale,
                              bool keepCached)
{
    DrawPlacedPolyline(points, color, offset, scale, Geometry::kPolygonOutline, keepCached);
}

void LGLRenderer::FillPolygon(PolylineT<float>& points, const ColorT& color,
                              const PointT<float>& offset, const PointT<float>& scale,
                              bool keepCached)
{
    DrawPlacedPolyline(points, color, offset, scale, Geometry::kFillPolygon, keepCached);
}

void LGLRenderer::FillColorRectList(ColorRectListT<float>& list, const PointT<double>& offset,
                                    bool useCache)
{
    glPushMatrix();
    glTranslatef(static_cast<float>(offset.x), static_cast<float>(offset.y), 0);
    bool changed = false;
    if (useCache) {
        changed = list.IsChanged();
        list.SetChanged(false);
    }
    DrawThroughList(mColorRectCache, list, useCache, changed, [&] {
        // From the last to the first, so the first rectangle ends up on top.
        const std::vector<RectT<float>>& rects = list.GetRects();
        const std::vector<uint32_t>& colors = list.GetColors();
        for (size_t i = rects.size(); i-- > 0;) {
            const RectT<float>& r = rects[i];
            const RectT<int32_t> scaled =
                RoundRect({r.x * list.GetScaleX(), r.y * list.GetScaleY(),
                           r.width * list.GetScaleX(), r.height * list.GetScaleY()});
            const uint32_t argb = i < colors.size() ? colors[i] : 0;
            const ColorT color{((argb >> 16) & 0xFF) / 255.0f, ((argb >> 8) & 0xFF) / 255.0f,
                               (argb & 0xFF) / 255.0f, ((argb >> 24) & 0xFF) / 255.0f};
            FillRect(scaled, color, true);
        }
    });
    glPopMatrix();
}

void LGLRenderer::DrawLine(const PointT<float>& from, const PointT<float>& to, const ColorT& color,
                           float penWidth)
{
    glLineWidth(penWidth);
    SetColor(color);
    glBegin(GL_LINES);
    glVertex2d(from.x, from.y);
    glVertex2d(to.x, to.y);
    glEnd();
}

int32_t LGLRenderer::DrawContextSurface(const RCPtr<LRenderContextInfo>& source,
                                        const PointT<int32_t>& destination,
                                        const RectT<int32_t>& sourceRect)
{
    const auto* glSource = dynamic_cast<const LGLRenderContextInfo*>(source.Get());
    if (glSource == nullptr || !glSource->IsOffscreenOnly()) {
        return E_INVALIDARG;
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, glSource->GetSurfaceTexture());
    glColor4f(1, 1, 1, 1);
    const float width = static_cast<float>(glSource->GetTarget().width);
    const float height = static_cast<float>(glSource->GetTarget().height);
    const float left = sourceRect.x / width;
    const float right = (sourceRect.x + sourceRect.width) / width;
    // Texture rows count from the bottom.
    const float top = (height - sourceRect.y) / height;
    const float bottom = (height - sourceRect.y - sourceRect.height) / height;
    const float px = static_cast<float>(destination.x);
    const float py = static_cast<float>(destination.y);
    glBegin(GL_QUADS);
    glTexCoord2f(left, top);
    glVertex2f(px, py);
    glTexCoord2f(left, bottom);
    glVertex2f(px, py + sourceRect.height);
    glTexCoord2f(right, bottom);
    glVertex2f(px + sourceRect.width, py + sourceRect.height);
    glTexCoord2f(right, top);
    glVertex2f(px + sourceRect.width, py);
    glEnd();
    return S_OK;
}

int32_t LGLRenderer::CopyContextSurface(const RCPtr<LRenderContextInfo>& context,
                                        const PointT<int32_t>& offset)
{
    const auto* glContext = dynamic_cast<const LGLRenderContextInfo*>(context.Get());
    if (glContext == nullptr || !glContext->IsOffscreenOnly()) {
        return E_INVALIDARG;
    }
    RenderStart(context);
    const RectT<int32_t>& target = context->GetTarget();
    const RectT<double> bounds{double(target.x), double(target.y), double(target.width),
                               double(target.height)};
    PushClipRect(bounds, bounds, RCPtr<LStencil>(), false);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, glContext->GetSurfaceTexture());
    glColor4f(1, 1, 1, 1);
    const float width = static_cast<float>(target.width);
    const float height = static_cast<float>(target.height);
    const float left = target.x / width;
    const float right = (target.x + width) / width;
    const float ox = static_cast<float>(offset.x);
    const float oy = static_cast<float>(offset.y);
    // The copy replaces what is there rather than blending with it.
    glBlendFunc(GL_ONE, GL_ZERO);
    glBegin(GL_QUADS);
    glTexCoord2f(left, 1);
    glVertex2f(ox, oy);
    glTexCoord2f(left, 0);
    glVertex2f(ox, oy + height);
    glTexCoord2f(right, 0);
    glVertex2f(ox + width, oy + height);
    glTexCoord2f(right, 1);
    glVertex2f(ox + width, oy);
    glEnd();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    PopClip();
    RenderFinish(context);
    return S_OK;
}

void LGLRenderer::DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<int32_t>& destination,
                             const ResizeType& resizeType)
{
    if (!bitmap) {
        throw Exception<FailedResultException>(FormatFailedResult(
            E_INVALIDARG, "SV::LGLRenderer::DrawBitmap", "Renderer\\OpenGL\\GLRenderer", 1102));
    }
    if (!bitmap->HasPixels()) {
        return; // nothing to make a texture of
    }
    const RectT<int32_t>& source = bitmap->GetRect();
    RCPtr<LGLTexture>& texture = mPictureTextureCache.Lookup(bitmap, false);
    if (!texture || texture->GetName() == LGLTexture::kNoName || !glIsTexture(texture->GetName())) {
        texture = RCPtr<LGLTexture>(new LGLTexture);
        texture->SetBitmap(bitmap);
    }
    glColor4f(1, 1, 1, 1);

    const float bx = static_cast<float>(source.x);
    const float by = static_cast<float>(source.y);
    const float bw = static_cast<float>(source.width);
    const float bh = static_cast<float>(source.height);
    const auto draw = [&](float left, float top, float right, float bottom) {
        texture->Draw(bx, by, bx + bw, by + bh, left, top, right, bottom);
    };
    ResizeType type = resizeType;
    if (destination.width == source.width && destination.height == source.height) {
        type = ResizeType::Stretch;
    }
    const float dx = static_cast<float>(destination.x);
    const float dy = static_cast<float>(destination.y);
    switch (type) {
    case ResizeType::Stretch:
        draw(dx, dy, dx + destination.width, dy + destination.height);
        return;
    case ResizeType::Tile: {
        // Whole tiles; the clip cuts the last column and row. An empty bitmap would never
        // advance, so it draws nothing.
        if (source.width <= 0 || source.height <= 0) {
            return;
        }
        const int64_t right = int64_t(destination.x) + destination.width;
        const int64_t bottom = int64_t(destination.y) + destination.height;
        for (int64_t x = destination.x; x < right; x += source.width) {
            for (int64_t y = destination.y; y < bottom; y += source.height) {
                draw(float(x), float(y), float(x) + bw, float(y) + bh);
            }
        }
        return;
    }
    case ResizeType::Center: {
        const float left = dx + static_cast<float>((destination.width - source.width) / 2);
        const float top = dy + static_cast<float>((destination.height - source.height) / 2);
        draw(left, top, left + bw, top + bh);
        return;
    }
    }
    throw Exception<std::logic_error>("Logic Error : Invalid ResizeType passed to DrawBitmap! : "
                                      "SV::LGLRenderer::DrawBitmap : "
                                      "Renderer\\OpenGL\\GLRenderer : Line 1152");
}

} // namespace SV
