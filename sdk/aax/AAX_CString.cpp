// A UTF-8 text between host and plug-in.
#include "sdk/aax/AAX_CString.h"

void AAX_CString::Truncate(int32_t length)
{
    if (length < 0)
        mText.clear();
    else if (static_cast<uint32_t>(length) < mText.size())
        mText.resize(static_cast<size_t>(length));
}
