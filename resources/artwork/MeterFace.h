// The VU meter's face: cream dial with its scale and red region, the black needle
// at a position and the glass over both; one picture per filmstrip frame.
#pragma once

#include "Canvas.h"
#include "MeterScale.h"

#include <memory>

struct MeterGeometry
{
    int width, height;
    double pivotX, pivotY;  // the needle's pivot, below the visible window
    double scaleRadius;     // radius of the scale arc
    double labelRadius;     // radius of the numbers' centres
    double fontSize, vuSize, needleWidth;
};

class MeterFace
{
public:
    explicit MeterFace(MeterPanel panel);

    static MeterGeometry geometry(MeterPanel panel);
    const MeterGeometry& geometry() const { return m_geometry; }
    // One frame: the face, the needle at the frame's position, the glass.
    void paintFrame(cairo_t* cr, int frame) const;

private:
    void paintDial(cairo_t* cr) const;
    void paintNeedle(cairo_t* cr, double position) const;
    void paintGlass(cairo_t* cr) const;

    MeterScale m_scale;
    MeterGeometry m_geometry;
    std::unique_ptr<Canvas> m_dial; // the face without needle, drawn once
};
