// The group region: members added through it start hidden and appear with it.
#include "GUI/guiGroup.h"

#include "GUI/guiWindow.h"
#include "pal/CPalBitmap.h"
#include "pal/IPalDC.h"

#include <algorithm>

guiGroup::guiGroup(int32_t x_, int32_t y_, int32_t width_, int32_t height_, ZVNPal::CPalBitmap* image)
    : guiRegion(0, x_, y_, width_, height_, image, x_, y_)
{
    m_bIsGroup = true;
    m_bVisible = false;
}

void guiGroup::addMember(guiRegion* member)
{
    members.push_back({member->rect(), member});
    if (listener)
        listener->addRegion(member);
    member->hide();
}

void guiGroup::show()
{
    if (members.empty())
        return;
    for (const Member& m : members) {
        if (!m.region->m_bIsGroup)
            m.region->show();
        m.region->requestRedraw();
    }
    if (window)
        window->backgroundValid = false;
    m_bVisible = true;
    m_nDrawnFrame = -1;
    requestRedraw();
}

void guiGroup::hide()
{
    for (const Member& m : members)
        m.region->hide();
    m_bVisible = false;
}

void guiGroup::setAlpha(float value)
{
    for (const Member& m : members)
        m.region->setAlpha(value);
}

bool guiGroup::draw(const ZVNPal::CPalRect&, ZVNPal::IPalDC* given)
{
    if (m_nDrawnFrame == m_nFrame)
        return false;
    ZVNPal::IPalDC* to = target(given);
    // The group's rectangle may reach past the background: paint only the
    // part the image covers.
    if (background && to) {
        const int32_t w = std::min(width, background->Width() - backgroundX);
        const int32_t h = std::min(height, background->Height() - backgroundY);
        if (w > 0 && h > 0)
            to->DrawBitmap(background, x, y, w, h, backgroundX, backgroundY, 1.f);
    }
    m_nDrawnFrame = m_nFrame;
    return true;
}
