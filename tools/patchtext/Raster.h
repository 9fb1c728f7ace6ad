// A small software rasteriser: shaded triangles and depth-tested lines into
// a colour and depth buffer, resolved to an Image by averaging blocks of
// samples (supersampling).
#pragma once

#include <cstdint>
#include <vector>

#include "support/Image.h"
#include "tools/patchtext/ViewCamera.h"

namespace patchtool {

using support::Image;

struct Colour {
    float r = 0, g = 0, b = 0;
};

// A triangle corner in camera space, with its unit normal in camera space.
struct RasterVertex {
    Vec3 position;
    Vec3 normal;
};

class Framebuffer {
public:
    // A buffer of the camera's size, filled with a vertical gradient.
    Framebuffer(int width, int height, Colour top, Colour bottom);

    // Draws a triangle shaded by two lights fixed to the camera; either
    // side of it may face the camera. Parts nearer than the camera's near
    // depth are cut away.
    void Triangle(const RasterVertex (&corners)[3], Colour base, const ViewCamera& camera);
    // Draws a line of the given width in samples, hidden where a surface
    // lies clearly in front of it.
    void Line(Vec3 a, Vec3 b, Colour colour, const ViewCamera& camera, int thickness);

    // Averages blocks of factor x factor samples into one pixel each.
    Image Resolve(int factor) const;
    // The share of samples that some surface covers.
    double CoveredShare() const;

private:
    struct ScreenVertex {
        double x, y, inverseZ;
        Vec3 normalOverZ;
    };
    void FillTriangle(const ScreenVertex (&v)[3], Colour base, const ViewCamera& camera);
    void Plot(std::size_t at, Colour colour);
    Colour Shade(Vec3 normal, double px, double py, Colour base) const;

    int width_, height_;
    std::vector<float> colour_;  // 3 per sample
    std::vector<float> depth_;   // camera depth; +inf where nothing is drawn
};

}  // namespace patchtool
