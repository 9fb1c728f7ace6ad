#include "tools/patchtext/Raster.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace patchtool {
namespace {

// Lights in camera space, pointing from the surface towards the light: a key
// light from the upper left and a weaker fill light from the lower right.
const Vec3 kKeyLight = NormalizedOr({-0.35, 0.55, -0.75}, {0, 0, -1});
const Vec3 kFillLight = NormalizedOr({0.6, -0.25, -0.5}, {0, 0, -1});
constexpr double kAmbient = 0.16, kKey = 0.72, kFill = 0.22, kSpecular = 0.28, kShininess = 40.0;
// A line is drawn where it lies at most this share of its depth behind the
// surface, so that patch edges lying on the surface show.
constexpr double kLineDepthBias = 0.004;

Vec3 Lerp(Vec3 a, Vec3 b, double t) { return a + t * (b - a); }

// Cuts the polygon to the part at depth near or more (Sutherland-Hodgman
// against one plane).
std::vector<RasterVertex> ClipNear(const RasterVertex (&in)[3], double near) {
    std::vector<RasterVertex> out;
    for (std::size_t i = 0; i < 3; ++i) {
        const RasterVertex& a = in[i];
        const RasterVertex& b = in[(i + 1) % 3];
        const bool aIn = a.position.z >= near, bIn = b.position.z >= near;
        if (aIn) out.push_back(a);
        if (aIn != bIn) {
            const double t = (near - a.position.z) / (b.position.z - a.position.z);
            out.push_back({Lerp(a.position, b.position, t), Lerp(a.normal, b.normal, t)});
        }
    }
    return out;
}

double Edge(double ax, double ay, double bx, double by, double px, double py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

}  // namespace

Framebuffer::Framebuffer(int width, int height, Colour top, Colour bottom)
    : width_(width),
      height_(height),
      colour_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3),
      depth_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
             std::numeric_limits<float>::infinity()) {
    for (int y = 0; y < height; ++y) {
        const float t = height > 1 ? static_cast<float>(y) / static_cast<float>(height - 1) : 0.0f;
        const Colour c{top.r + t * (bottom.r - top.r), top.g + t * (bottom.g - top.g), top.b + t * (bottom.b - top.b)};
        for (int x = 0; x < width; ++x) {
            float* p =
                &colour_[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) *
                         3];
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
        }
    }
}

void Framebuffer::Triangle(const RasterVertex (&corners)[3], Colour base, const ViewCamera& camera) {
    const std::vector<RasterVertex> polygon = ClipNear(corners, camera.Near());
    if (polygon.size() < 3) return;
    std::vector<ScreenVertex> screen;
    for (const RasterVertex& v : polygon) {
        const double inverseZ = 1.0 / v.position.z;
        screen.push_back({camera.ScreenX(v.position), camera.ScreenY(v.position), inverseZ, inverseZ * v.normal});
    }
    for (std::size_t i = 1; i + 1 < screen.size(); ++i) {
        const ScreenVertex fan[3] = {screen[0], screen[i], screen[i + 1]};
        FillTriangle(fan, base, camera);
    }
}

void Framebuffer::FillTriangle(const ScreenVertex (&v)[3], Colour base, const ViewCamera& camera) {
    const double area = Edge(v[0].x, v[0].y, v[1].x, v[1].y, v[2].x, v[2].y);
    if (!(std::fabs(area) > 1e-12) || !std::isfinite(area)) return;
    const double minX = std::min({v[0].x, v[1].x, v[2].x}), maxX = std::max({v[0].x, v[1].x, v[2].x});
    const double minY = std::min({v[0].y, v[1].y, v[2].y}), maxY = std::max({v[0].y, v[1].y, v[2].y});
    const int x0 = std::max(0, static_cast<int>(std::floor(minX))),
              x1 = std::min(width_ - 1, static_cast<int>(std::ceil(maxX)));
    const int y0 = std::max(0, static_cast<int>(std::floor(minY))),
              y1 = std::min(height_ - 1, static_cast<int>(std::ceil(maxY)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double w0 = Edge(v[1].x, v[1].y, v[2].x, v[2].y, px, py) / area;
            const double w1 = Edge(v[2].x, v[2].y, v[0].x, v[0].y, px, py) / area;
            const double w2 = 1.0 - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0) continue;
            const double inverseZ = w0 * v[0].inverseZ + w1 * v[1].inverseZ + w2 * v[2].inverseZ;
            const double z = 1.0 / inverseZ;
            const Vec3 normal = z * (w0 * v[0].normalOverZ + w1 * v[1].normalOverZ + w2 * v[2].normalOverZ);
            const double viewX = (px - 0.5 * width_) / camera.Focal(), viewY = -(py - 0.5 * height_) / camera.Focal();
            const std::size_t at =
                static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
            if (!(z < depth_[at])) continue;
            depth_[at] = static_cast<float>(z);
            Plot(at, Shade(normal, viewX, viewY, base));
        }
    }
}

Colour Framebuffer::Shade(Vec3 normal, double px, double py, Colour base) const {
    const Vec3 toEye = NormalizedOr({-px, -py, -1.0}, {0, 0, -1});
    Vec3 n = NormalizedOr(normal, toEye);
    if (Dot(n, toEye) < 0) n = -n;  // the side facing the camera
    const double diffuse =
        kAmbient + kKey * std::max(0.0, Dot(n, kKeyLight)) + kFill * std::max(0.0, Dot(n, kFillLight));
    const Vec3 half = NormalizedOr(kKeyLight + toEye, toEye);
    const double specular = kSpecular * std::pow(std::max(0.0, Dot(n, half)), kShininess);
    auto channel = [&](float c) { return static_cast<float>(std::min(1.0, c * diffuse + specular)); };
    return {channel(base.r), channel(base.g), channel(base.b)};
}

void Framebuffer::Plot(std::size_t at, Colour colour) {
    colour_[at * 3] = colour.r;
    colour_[at * 3 + 1] = colour.g;
    colour_[at * 3 + 2] = colour.b;
}

void Framebuffer::Line(Vec3 a, Vec3 b, Colour colour, const ViewCamera& camera, int thickness) {
    const double near = camera.Near();
    if (a.z < near && b.z < near) return;
    if (a.z < near) a = Lerp(a, b, (near - a.z) / (b.z - a.z));
    if (b.z < near) b = Lerp(b, a, (near - b.z) / (a.z - b.z));
    const double ax = camera.ScreenX(a), ay = camera.ScreenY(a), bx = camera.ScreenX(b), by = camera.ScreenY(b);
    const double length = std::max(std::fabs(bx - ax), std::fabs(by - ay));
    if (!std::isfinite(length) || length > 1e6) return;
    const int steps = std::max(1, static_cast<int>(std::ceil(length)));
    const int half = thickness / 2;
    for (int s = 0; s <= steps; ++s) {
        const double t = static_cast<double>(s) / steps;
        const double z = 1.0 / ((1 - t) / a.z + t / b.z);
        const int cx = static_cast<int>(std::floor(ax + t * (bx - ax))),
                  cy = static_cast<int>(std::floor(ay + t * (by - ay)));
        for (int y = cy - half; y < cy - half + thickness; ++y) {
            for (int x = cx - half; x < cx - half + thickness; ++x) {
                if (x < 0 || y < 0 || x >= width_ || y >= height_) continue;
                const std::size_t at =
                    static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
                if (z > depth_[at] * (1.0 + kLineDepthBias)) continue;
                Plot(at, colour);
            }
        }
    }
}

Image Framebuffer::Resolve(int factor) const {
    Image image(width_ / factor, height_ / factor);
    const float scale = 255.0f / static_cast<float>(factor * factor);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            float sum[3] = {0, 0, 0};
            for (int sy = 0; sy < factor; ++sy)
                for (int sx = 0; sx < factor; ++sx) {
                    const std::size_t at =
                        (static_cast<std::size_t>(y * factor + sy) * static_cast<std::size_t>(width_) +
                         static_cast<std::size_t>(x * factor + sx)) *
                        3;
                    for (std::size_t c = 0; c < 3; ++c) sum[c] += colour_[at + c];
                }
            std::uint8_t* out = image.At(x, y);
            for (std::size_t c = 0; c < 3; ++c)
                out[c] = static_cast<std::uint8_t>(std::lround(std::clamp(sum[c] * scale, 0.0f, 255.0f)));
        }
    }
    return image;
}

double Framebuffer::CoveredShare() const {
    if (depth_.empty()) return 0.0;
    const auto covered = std::count_if(depth_.begin(), depth_.end(), [](float d) { return std::isfinite(d); });
    return static_cast<double>(covered) / static_cast<double>(depth_.size());
}

}  // namespace patchtool
