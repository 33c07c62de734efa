// A region that shows and hides a set of other regions together and repaints
// its own patch of the panel background.
#pragma once

#include "GUI/guiRegion.h"

class guiGroup : public guiRegion
{
public:
    guiGroup(int32_t x, int32_t y, int32_t width, int32_t height, ZVNPal::CPalBitmap* image);

    // Adds the member to the group's window; members start hidden.
    void addMember(guiRegion* member);

    bool draw(const ZVNPal::CPalRect& update, ZVNPal::IPalDC* dc) override;
    void show() override;
    void hide() override;
    void setAlpha(float value) override;

    size_t memberCount() const { return members.size(); }

private:
    struct Member
    {
        ZVNPal::CPalRect rect;
        guiRegion* region;
    };
    std::vector<Member> members;
};
