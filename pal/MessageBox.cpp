// The message box's platform-neutral part: the test sink, the headless path
// on standard error and the length limits of title and text.
#include "pal/MessageBox.h"

#include "pal/Utf8ToUtf16.h"
#include "pal/NativeMessageBox.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ZVNPal {
namespace {

constexpr int kMaxTextUnits = 299;
constexpr int kMaxTitleUnits = 49;

std::atomic<MessageBoxSink> g_sink{nullptr};

bool reportOnlyOnStandardError()
{
    const char* mode = std::getenv("OL7T_MESSAGEBOX");
    return mode && std::strcmp(mode, "stderr") == 0;
}

std::u16string toUtf16(const char* text, int maxUnits)
{
    if (!text)
        return {};
    std::u16string units(static_cast<size_t>(maxUnits), u'\0');
    const int length = static_cast<int>(std::strlen(text));
    units.resize(static_cast<size_t>(Utf8ToUtf16(text, length, units.data(), maxUnits)));
    return units;
}

int reportOnStandardError(const MessageBoxRequest& request)
{
    std::fprintf(stderr, "%s: %s\n", request.title ? request.title : "", request.text ? request.text : "");
    return DefaultMessageBoxAnswer(request.buttons);
}

} // namespace

int DefaultMessageBoxAnswer(int buttons)
{
    const bool yesNo = buttons == kMessageBoxYesNo || buttons == kMessageBoxYesNoCancel;
    return yesNo ? kMessageBoxResultYes : kMessageBoxResultOk;
}

int MessageBox(PalNativeWindow owner, const char* title, const char* text, int buttons, int icon, int flags)
{
    const MessageBoxRequest request{owner, title, text, buttons, icon, flags};
    if (MessageBoxSink sink = g_sink.load())
        return sink(request);
    int result = kMessageBoxResultOther;
    if (!reportOnlyOnStandardError()
        && ShowNativeMessageBox(request, toUtf16(title, kMaxTitleUnits), toUtf16(text, kMaxTextUnits), result))
        return result;
    return reportOnStandardError(request);
}

PalNativeWindow TopLevelOwner(PalNativeWindow window)
{
    return NativeTopLevelOwner(window);
}

void SetMessageBoxSink(MessageBoxSink sink)
{
    g_sink.store(sink);
}

} // namespace ZVNPal
