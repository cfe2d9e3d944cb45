#include "support/gl_fixture.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <cstring>

void GlTest::SetUp() {
    WNDCLASSA windowClass{};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuorvelTestGl";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, "QuorvelTestGl", "test", WS_POPUP, 0, 0, 256, 256, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    dc_ = GetDC(window_);
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof(format);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.cColorBits = 24;
    format.cDepthBits = 16;
    ASSERT_TRUE(SetPixelFormat(dc_, ChoosePixelFormat(dc_, &format), &format));
    context_ = wglCreateContext(dc_);
    ASSERT_NE(context_, nullptr);
    ASSERT_TRUE(wglMakeCurrent(dc_, context_));
}

void GlTest::TearDown() {
    wglMakeCurrent(nullptr, nullptr);
    if (context_ != nullptr) wglDeleteContext(context_);
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
    if (window_ != nullptr) DestroyWindow(window_);
}

std::vector<uint8_t> GlTest::ReadBackBuffer(int width, int height) const {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

namespace {

constexpr double EXTENT = 8.0;
constexpr double DEPTH = 40.0;
constexpr int VIEWPORT = 256;
// Which source channel each colour scheme writes into red, green, blue.
constexpr int SCHEME_SOURCES[6][3] = {{0, 1, 2}, {2, 1, 0}, {0, 2, 1},
                                      {2, 0, 2}, {2, 2, 0}, {0, 2, 2}};

}  // namespace

Fed Feed(const std::function<void()>& draw, bool ownView) {
    glViewport(0, 0, VIEWPORT, VIEWPORT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-EXTENT, EXTENT, -EXTENT, EXTENT, -DEPTH, DEPTH);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    static std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    EXPECT_GE(used, 0) << "feedback buffer overflow";
    auto model = [ownView](GLfloat window) {
        return ownView ? window : (window / (VIEWPORT / 2.0) - 1.0) * EXTENT;
    };
    Fed fed;
    for (GLint i = 0; i < used;) {
        if (static_cast<GLint>(buffer[i]) != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << buffer[i];
            break;
        }
        const int count = static_cast<int>(buffer[i + 1]);
        i += 2;
        FedPolygon polygon;
        for (int v = 0; v < count; ++v, i += 11) {
            const GLfloat* f = &buffer[i];
            polygon.push_back(
                {{model(f[0]), model(f[1]), ownView ? f[2] : -(f[2] * 2.0 - 1.0) * DEPTH},
                 {f[3], f[4], f[5], f[6]},
                 f[7],
                 f[8]});
        }
        fed.push_back(polygon);
    }
    return fed;
}

std::vector<P3> FedNormals(unsigned int list) {
    constexpr GLfloat none[] = {0.0f, 0.0f, 0.0f, 1.0f};
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glLightfv(GL_LIGHT0, GL_AMBIENT, none);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, none);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_NORMALIZE);
    glEnable(GL_LIGHT0);
    // The brightest channel under a light along +axis minus that under -axis is the normal's
    // component along the axis, times the vertex colour.
    std::vector<P3> normals;
    for (int axis = 0; axis < 3; ++axis) {
        std::vector<float> lit[2];
        for (int side = 0; side < 2; ++side) {
            GLfloat direction[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            direction[axis] = side == 0 ? 1.0f : -1.0f;
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            glLightfv(GL_LIGHT0, GL_POSITION, direction);
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            glEnable(GL_LIGHTING);
            for (const FedPolygon& polygon : Feed([list] { glCallList(list); })) {
                for (const FedVertex& v : polygon)
                    lit[side].push_back(std::fmax(v.rgba[0], std::fmax(v.rgba[1], v.rgba[2])));
            }
            glDisable(GL_LIGHTING);
        }
        normals.resize(lit[0].size());
        for (size_t i = 0; i < lit[0].size() && i < lit[1].size(); ++i)
            normals[i][axis] = lit[0][i] - lit[1][i];
    }
    glPopAttrib();
    for (P3& n : normals) n = Unit(n);
    return normals;
}

P3 MeanPosition(const Fed& fed, size_t first, size_t end) {
    P3 sum{0.0, 0.0, 0.0};
    int count = 0;
    for (size_t f = first; f < end && f < fed.size(); ++f) {
        for (const FedVertex& v : fed[f]) {
            sum = sum + v.p;
            ++count;
        }
    }
    return (1.0 / count) * sum;
}

bool Bitmap::TopDiffersFromBottom() const {
    int differing = 0;
    for (int y = 0; y < height; ++y) {
        const auto row = pixels.begin() + y * width, mirror = pixels.end() - (y + 1) * width;
        differing += !std::equal(row, row + width, mirror);
    }
    return differing > height / 10;
}

Bitmap DecodeBitmapResource(int id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
    if (found == nullptr) return {};
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof(header));
    const int bits = header.biBitCount;
    const size_t colours = header.biClrUsed != 0 ? header.biClrUsed : bits <= 8 ? 1u << bits : 0u;
    const uint8_t* palette = bytes + header.biSize;
    const uint8_t* rows = palette + 4 * colours;
    const int width = header.biWidth;
    const int height = std::abs(header.biHeight);
    const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    Bitmap bitmap{width, height, {}};
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = rows + stride * (header.biHeight > 0 ? height - 1 - y : y);
        for (int x = 0; x < width; ++x) {
            const uint8_t* bgr = bits == 8 ? palette + 4 * row[x] : row + 3 * x;
            bitmap.pixels.push_back({bgr[2], bgr[1], bgr[0]});
        }
    }
    return bitmap;
}

std::vector<uint8_t> TexturePixels(uint32_t name, int* width, int* height) {
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, height);
    std::vector<uint8_t> pixels(static_cast<size_t>(*width) * *height * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

int TextureMismatches(uint32_t name, int resource, int scheme, bool keyed) {
    const Bitmap bitmap = DecodeBitmapResource(resource);
    int width = 0, height = 0;
    const std::vector<uint8_t> texels = TexturePixels(name, &width, &height);
    if (width != bitmap.width || height != bitmap.height) return std::max(1, width * height);
    int mismatches = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb8 p = bitmap.At(x, y);
            const uint8_t* texel = &texels[(static_cast<size_t>(y) * width + x) * 4];
            bool same = texel[3] == (keyed && p == bitmap.At(0, 0) ? 0 : 255);
            for (int c = 0; c < 3; ++c) same = same && texel[c] == p[SCHEME_SOURCES[scheme][c]];
            mismatches += !same;
        }
    }
    return mismatches;
}
