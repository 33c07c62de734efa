// Where the controls sit on the two editor panels, so that the printed scales and
// labels of a background belong to the control the editor places over them.
#pragma once

#include "MeterScale.h"

struct ControlPlace
{
    int x, y, w, h;
    double centreX() const { return x + w / 2.0; }
    double centreY() const { return y + h / 2.0; }
};

struct PanelLayout
{
    int width, height;
    ControlPlace screw, gain, peak, selector, limit, meter, options;
    bool hasEnable;
    ControlPlace enable;
    MeterPanel meterPanel;

    static const PanelLayout& full()
    {
        static const PanelLayout layout{765, 212,
                                        {133, 128, 32, 32},  {205, 92, 83, 86}, {498, 92, 83, 86},
                                        {610, 42, 83, 86},   {76, 129, 38, 47}, {318, 54, 130, 61},
                                        {739, 12, 15, 15},   true,              {629, 138, 38, 47},
                                        MeterPanel::Full};
        return layout;
    }

    static const PanelLayout& compact()
    {
        static const PanelLayout layout{198, 249,
                                        {138, 113, 32, 32}, {16, 163, 58, 59}, {126, 163, 58, 59},
                                        {71, 105, 58, 59},  {33, 115, 38, 47}, {43, 41, 113, 45},
                                        {176, 21, 13, 17},  false,             {0, 0, 0, 0},
                                        MeterPanel::Compact};
        return layout;
    }
};
