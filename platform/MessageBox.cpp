#include "host/Framework.h"
#include "platform/Platform.h"

namespace platform {

void showMessageBox(const std::wstring& text, MessageKind kind)
{
    unsigned int icon = kind == MessageKind::Error     ? kMessageBoxIconError
                        : kind == MessageKind::Warning ? kMessageBoxIconWarning
                                                       : 0;
    AfxMessageBox(text.c_str(), kMessageBoxOk | icon);
}

} // namespace platform
