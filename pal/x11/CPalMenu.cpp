// Pop-up menus: items, separators, check marks, greyed items, columns and
// sub-menus, run modally in a nested event loop with pointer and keyboard.
#include "pal/CPalMenu.h"

#include "pal/CPalColor.h"
#include "pal/CPalFont.h"
#include "pal/IPalWindow.h"
#include "pal/x11/PalPopup.h"
#include "pal/x11/PalText.h"

#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <cstring>

namespace ZVNPal {

namespace {

// Space left of the text for the check mark and right of it for the
// sub-menu arrow.
constexpr int kCheckArea = 20;
constexpr int kArrowArea = 20;
constexpr std::uint32_t kMenuBackground = 0xFFF0F0F0u;
constexpr std::uint32_t kMenuBorder = 0xFF808080u;
constexpr std::uint32_t kHighlight = 0xFF3370CCu;
constexpr std::uint32_t kTextColour = 0xFF000000u;
constexpr std::uint32_t kHighlightText = 0xFFFFFFFFu;
constexpr std::uint32_t kGreyText = 0xFFA0A0A0u;

bool Selectable(const CPalMenu::Item& item) { return !item.separator && item.enabled; }

} // namespace

// One shown level of a running menu: its window and where its items lie.
struct MenuLevel {
    CPalMenu* menu = nullptr;
    std::unique_ptr<PalPopup> popup;
    std::vector<CPalRect> rects; // per item, relative to the popup
    int highlighted = -1;
};

// A running TrackMenu: the stack of open levels and the answer.
class MenuSession {
public:
    MenuSession(PalDisplay& display) : m_display(display) {}

    std::int32_t Run(CPalMenu* menu, int x, int y);

private:
    void Open(CPalMenu* menu, int x, int y);
    void CloseFrom(std::size_t level);
    void Handle(XEvent& event);
    void Pointer(int rootX, int rootY, bool press, bool release);
    void Key(KeySym key);
    void Choose(std::size_t level, int index);
    void Highlight(std::size_t level, int index);
    void Move(int step);
    bool Hit(int rootX, int rootY, std::size_t* level, int* index) const;
    void Paint(std::size_t level, CPalDC& dc, int width, int height);

    PalDisplay& m_display;
    std::vector<std::unique_ptr<MenuLevel>> m_levels;
    bool m_bDone = false;
    bool m_bArmed = false; // a release may choose once the user has pressed or moved in the menu
    std::int32_t m_nResult = 0;
};

void MenuSession::Open(CPalMenu* menu, int x, int y)
{
    auto level = std::make_unique<MenuLevel>();
    level->menu = menu;
    const std::size_t index = m_levels.size();
    level->popup = std::make_unique<PalPopup>(
        m_display, [this, index](CPalDC& dc, int width, int height) { Paint(index, dc, width, height); },
        [this](XEvent& event) { Handle(event); });

    // Columns side by side, each as wide as its widest text.
    const auto& items = menu->Items();
    int columnX = CPalMenu::kBorder, columnY = CPalMenu::kBorder, columnWidth = 0, height = 0;
    std::size_t columnStart = 0;
    const auto finishColumn = [&](std::size_t end) {
        for (std::size_t i = columnStart; i < end; ++i)
            level->rects[i] = CPalRect(columnX, level->rects[i].Top(), columnWidth, level->rects[i].Height());
        columnX += columnWidth;
        columnWidth = 0;
    };
    level->rects.resize(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].newColumn && i > 0) {
            finishColumn(i);
            columnStart = i;
            columnY = CPalMenu::kBorder;
        }
        int textWidth = 0, textHeight = 0;
        MeasurePopupText(items[i].text.c_str(), false, &textWidth, &textHeight);
        columnWidth = std::max(columnWidth, kCheckArea + textWidth + kArrowArea);
        const int itemHeight = items[i].separator ? CPalMenu::kSeparatorHeight : CPalMenu::kItemHeight;
        level->rects[i] = CPalRect(columnX, columnY, 0, itemHeight);
        columnY += itemHeight;
        height = std::max(height, columnY);
    }
    finishColumn(items.size());
    const int width = columnX + CPalMenu::kBorder;
    height += CPalMenu::kBorder;

    // Kept on the screen where it fits.
    const Screen* screen = DefaultScreenOfDisplay(m_display.Dpy());
    x = std::max(0, std::min(x, WidthOfScreen(screen) - width));
    y = std::max(0, std::min(y, HeightOfScreen(screen) - height));
    level->popup->Place(x, y, width, height);
    level->popup->Show();
    m_levels.push_back(std::move(level));
}

void MenuSession::CloseFrom(std::size_t level)
{
    while (m_levels.size() > level)
        m_levels.pop_back();
}

std::int32_t MenuSession::Run(CPalMenu* menu, int x, int y)
{
    Open(menu, x, y);
    Display* dpy = m_display.Dpy();
    const Window grabber = m_levels.front()->popup->Handle();
    XSync(dpy, False);
    // Every pointer event and key comes to the menu while it runs, reported
    // to its first window; positions are taken from the screen coordinates.
    XGrabPointer(dpy, grabber, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                 GrabModeAsync, None, None, CurrentTime);
    XGrabKeyboard(dpy, grabber, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    while (!m_bDone && PalDisplay::Get() == &m_display) {
        const int toTimer = m_display.Pump();
        if (m_bDone)
            break;
        pollfd fd{m_display.DescriptorOf(), POLLIN, 0};
        poll(&fd, 1, toTimer);
    }
    if (PalDisplay::Get() == &m_display) {
        XUngrabKeyboard(dpy, CurrentTime);
        XUngrabPointer(dpy, CurrentTime);
    }
    CloseFrom(0);
    return m_nResult;
}

void MenuSession::Handle(XEvent& event)
{
    switch (event.type) {
    case ButtonPress: Pointer(event.xbutton.x_root, event.xbutton.y_root, true, false); break;
    case ButtonRelease: Pointer(event.xbutton.x_root, event.xbutton.y_root, false, true); break;
    case MotionNotify: Pointer(event.xmotion.x_root, event.xmotion.y_root, false, false); break;
    case KeyPress: Key(XLookupKeysym(&event.xkey, 0)); break;
    default: break;
    }
}

bool MenuSession::Hit(int rootX, int rootY, std::size_t* level, int* index) const
{
    // The deepest level lies on top.
    for (std::size_t l = m_levels.size(); l-- > 0;) {
        const PalPopup& popup = *m_levels[l]->popup;
        const int x = rootX - popup.X(), y = rootY - popup.Y();
        if (!CPalRect(0, 0, popup.Width(), popup.Height()).Contains(x, y))
            continue;
        *level = l;
        *index = -1;
        const auto& rects = m_levels[l]->rects;
        for (std::size_t i = 0; i < rects.size(); ++i)
            if (rects[i].Contains(x, y))
                *index = static_cast<int>(i);
        return true;
    }
    return false;
}

void MenuSession::Pointer(int rootX, int rootY, bool press, bool release)
{
    std::size_t level = 0;
    int index = -1;
    if (!Hit(rootX, rootY, &level, &index)) {
        if (press) // a press outside every level dismisses the menu
            m_bDone = true;
        return;
    }
    if (press)
        m_bArmed = true;
    if (index != m_levels[level]->highlighted) {
        if (!press && !release)
            m_bArmed = true;
        Highlight(level, index);
    }
    if (release && m_bArmed && index >= 0)
        Choose(level, index);
}

void MenuSession::Highlight(std::size_t level, int index)
{
    CloseFrom(level + 1);
    MenuLevel& shown = *m_levels[level];
    shown.highlighted = index;
    shown.popup->Repaint();
    if (index < 0)
        return;
    const CPalMenu::Item& item = shown.menu->Items()[index];
    if (item.subMenu && item.enabled && !item.subMenu->Items().empty()) {
        const CPalRect& rect = shown.rects[index];
        Open(item.subMenu, shown.popup->X() + rect.Right(), shown.popup->Y() + rect.Top() - CPalMenu::kBorder);
    }
}

void MenuSession::Choose(std::size_t level, int index)
{
    const CPalMenu::Item& item = m_levels[level]->menu->Items()[index];
    if (!Selectable(item) || item.subMenu)
        return;
    m_nResult = item.command;
    m_bDone = true;
}

void MenuSession::Move(int step)
{
    MenuLevel& level = *m_levels.back();
    const auto& items = level.menu->Items();
    const int count = static_cast<int>(items.size());
    int index = level.highlighted;
    for (int tries = 0; tries < count; ++tries) {
        index = index < 0 ? (step > 0 ? 0 : count - 1) : (index + step + count) % count;
        if (Selectable(items[index])) {
            level.highlighted = index;
            level.popup->Repaint();
            return;
        }
    }
}

void MenuSession::Key(KeySym key)
{
    MenuLevel& level = *m_levels.back();
    switch (key) {
    case XK_Escape:
        // Escape closes the innermost level; on the first it dismisses.
        if (m_levels.size() > 1)
            CloseFrom(m_levels.size() - 1);
        else
            m_bDone = true;
        break;
    case XK_Left:
        if (m_levels.size() > 1)
            CloseFrom(m_levels.size() - 1);
        break;
    case XK_Up: Move(-1); break;
    case XK_Down: Move(1); break;
    case XK_Right:
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
        if (level.highlighted >= 0) {
            const std::size_t depth = m_levels.size() - 1;
            const int index = level.highlighted;
            if (level.menu->Items()[index].subMenu) {
                Highlight(depth, index);
                if (m_levels.size() > depth + 1)
                    Move(1);
            } else if (key != XK_Right) {
                Choose(depth, index);
            }
        }
        break;
    default: break;
    }
}

void MenuSession::Paint(std::size_t index, CPalDC& dc, int width, int height)
{
    if (index >= m_levels.size())
        return;
    const MenuLevel& level = *m_levels[index];
    dc.FillRect(0, 0, width, height, CPalColor(kMenuBackground));
    dc.DrawRect(0, 0, width - 1, height - 1, CPalColor(kMenuBorder));
    dc.SelectFont(&PopupFont(false));
    const auto& items = level.menu->Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const CPalRect& r = level.rects[i];
        if (items[i].separator) {
            dc.DrawLineDevice(r.Left() + 2, r.Top() + r.Height() / 2, r.Right() - 2, r.Top() + r.Height() / 2,
                              CPalColor(kMenuBorder));
            continue;
        }
        const bool lit = static_cast<int>(i) == level.highlighted && items[i].enabled;
        if (lit)
            dc.FillRect(r.Left(), r.Top(), r.Width(), r.Height(), CPalColor(kHighlight));
        const CPalColor ink(!items[i].enabled ? kGreyText : (lit ? kHighlightText : kTextColour));
        int textWidth = 0, textHeight = 0;
        dc.MeasureText(&textWidth, &textHeight, items[i].text.c_str());
        const int textY = r.Top() + (r.Height() - textHeight) / 2;
        dc.DrawTextUtf8(r.Left() + kCheckArea, textY, items[i].text.c_str(), nullptr, &ink);
        const int midY = r.Top() + r.Height() / 2;
        if (items[i].checked) {
            const int cx = r.Left() + kCheckArea / 2;
            dc.DrawPath(PalPath{{{cx - 4, midY}, {cx - 1, midY + 3}, {cx + 4, midY - 4}}, false}, ink, 2.0f);
        }
        if (items[i].subMenu) {
            const int ax = r.Right() - kArrowArea / 2;
            dc.FillPath(PalPath{{{ax - 2, midY - 4}, {ax + 2, midY}, {ax - 2, midY + 4}}, true}, ink);
        }
    }
}

CPalMenu::CPalMenu() = default;

CPalMenu::~CPalMenu() = default;

PalNativeMenu CPalMenu::GetNativeMenu() { return this; }

void CPalMenu::AddSubMenu(CPalMenu* subMenu, const char* text)
{
    if (!subMenu)
        return;
    m_subMenus.emplace_back(subMenu);
    Item item;
    item.text = PalText::Utf8Limited(text, kMaxSubMenuUnits);
    item.subMenu = subMenu;
    const std::size_t at = std::min<std::size_t>(static_cast<std::size_t>(std::max(m_nInsertPosition, 0)), m_items.size());
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
}

void CPalMenu::AddItem(const char* text, std::int32_t command)
{
    Item item;
    item.separator = text && std::strcmp(text, "-") == 0;
    if (!item.separator)
        item.text = PalText::Utf8Limited(text, SIZE_MAX);
    item.command = command;
    if (m_nColumnCount == kItemsPerColumn) {
        item.newColumn = true;
        m_nColumnCount = 1;
    } else {
        ++m_nColumnCount;
    }
    m_items.push_back(std::move(item));
}

void CPalMenu::AddItemAuto(const char* text) { AddItem(text, m_nNextAuto++); }

void CPalMenu::CheckItem(int position, bool checked)
{
    if (position >= 0 && position < static_cast<int>(m_items.size()))
        m_items[position].checked = checked;
}

void CPalMenu::EnableItem(int position, bool enabled)
{
    if (position >= 0 && position < static_cast<int>(m_items.size()))
        m_items[position].enabled = enabled;
}

std::int32_t CPalMenu::TrackMenu(IPalWindow* owner, std::int32_t x, std::int32_t y)
{
    PalDisplay* display = PalDisplay::Get();
    if (!display || m_items.empty())
        return 0;
    PalPoint point{x, y};
    if (owner)
        owner->ClientToScreen(&point);
    MenuSession session(*display);
    return session.Run(this, point.x, point.y);
}

} // namespace ZVNPal
