// A cairo image surface with its drawing context, and the two file formats the
// editor reads: PNG with alpha for strips and overlays, 24-bit BMP for backgrounds.
#pragma once

#include <cairo.h>

#include <functional>
#include <string>

class Canvas
{
public:
    // While one lives, new canvases hold `scale` pixels per unit: the same
    // pictures, drawn (not enlarged) for finer screens.
    class DetailScope
    {
    public:
        explicit DetailScope(double scale) : m_previous(s_scale) { s_scale = scale; }
        ~DetailScope() { s_scale = m_previous; }
        DetailScope(const DetailScope&) = delete;
        DetailScope& operator=(const DetailScope&) = delete;

    private:
        double m_previous;
    };

    // Width and height in units; the surface is the current detail larger.
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* context() const { return m_cr; }
    cairo_surface_t* surface() const { return m_surface; }
    int width() const { return m_nWidth; }
    int height() const { return m_nHeight; }
    int pixelWidth() const;
    int pixelHeight() const;

    // Paints `frames` pictures stacked top to bottom, each frameHeight tall; the
    // painter sees a context whose origin is the frame's corner, clipped to it.
    void paintFilmstrip(int frames, int frameHeight, const std::function<void(cairo_t*, int)>& painter);

    // Paints another canvas (or part of one) at (x, y) with an optional scale.
    void paintCanvas(const Canvas& source, double x, double y, double scale = 1.0,
                     double sourceY = 0.0, double sourceHeight = -1.0);

    // The files hold every pixel of the surface.
    bool writePng(const std::string& path) const;
    // Writes the pixels composited over black as an uncompressed 24-bit bitmap.
    bool writeBmp24(const std::string& path) const;

private:
    static double s_scale;

    cairo_surface_t* m_surface;
    cairo_t* m_cr;
    int m_nWidth;
    int m_nHeight;
};
