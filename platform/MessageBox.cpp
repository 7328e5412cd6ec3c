#include "host/Framework.h"
#include "platform/Platform.h"

namespace platform {

void showMessageBox(const std::wstring& text, MessageKind kind)
{
    AfxMessageBox(text.c_str(), kMessageBoxOk | (kind == MessageKind::Error ? kMessageBoxIconError : 0));
}

} // namespace platform
