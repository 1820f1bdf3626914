#include "Renderer/OpenGL/GLPolygon.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <vector>

namespace SV {
namespace {

GLUtesselator* gTessellator = nullptr;

// The store is sized before the first vertex is handed over: the tessellator keeps the
// addresses until the polygon ends.
std::vector<double>& VertexStore()
{
    static std::vector<double> store;
    return store;
}

// The GLU callbacks are plain C functions; these forward to GL.
void GLAPIENTRY BeginPrimitive(GLenum type)
{
    glBegin(type);
}

void GLAPIENTRY EmitVertex(void* vertex)
{
    glVertex3dv(static_cast<const GLdouble*>(vertex));
}

void GLAPIENTRY EndPrimitive()
{
    glEnd();
}

using TessCallback = void(GLAPIENTRY*)();

} // namespace

CGLPolygon::CGLPolygon()
{
    if (gTessellator != nullptr) {
        return;
    }
    gTessellator = gluNewTess();
    if (gTessellator == nullptr) {
        return;
    }
    gluTessNormal(gTessellator, 0, 0, 1);
    gluTessProperty(gTessellator, GLU_TESS_TOLERANCE, 1.0);
    gluTessCallback(gTessellator, GLU_TESS_BEGIN, reinterpret_cast<TessCallback>(&BeginPrimitive));
    gluTessCallback(gTessellator, GLU_TESS_VERTEX, reinterpret_cast<TessCallback>(&EmitVertex));
    gluTessCallback(gTessellator, GLU_TESS_END, reinterpret_cast<TessCallback>(&EndPrimitive));
}

void CGLPolygon::Fill(const PolylineT<float>& outline)
{
    if (gTessellator == nullptr) {
        return;
    }
    const std::vector<PointT<float>>& points = outline.GetPoints();
    std::vector<double>& store = VertexStore();
    if (store.size() < 3 * points.size()) {
        store.resize(3 * points.size(), 0.0);
    }
    gluTessProperty(gTessellator, GLU_TESS_BOUNDARY_ONLY, GL_FALSE);
    gluTessBeginPolygon(gTessellator, store.data());
    gluTessBeginContour(gTessellator);
    for (size_t i = 0; i < points.size(); ++i) {
        double* vertex = store.data() + 3 * i;
        vertex[0] = points[i].x;
        vertex[1] = points[i].y;
        vertex[2] = 0.0;
        gluTessVertex(gTessellator, vertex, vertex);
    }
    gluTessEndContour(gTessellator);
    gluTessEndPolygon(gTessellator);
}

size_t CGLPolygon::GetVertexStoreSize()
{
    return VertexStore().size();
}

} // namespace SV
