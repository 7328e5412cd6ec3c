#include "plugin/LoadFailureMessage.h"

#include <cerrno>

#include "platform/Platform.h"
#include "platform/Utf8.h"

namespace {

using Kind = document::LoadError::Kind;

// TinyXML tells no place for a file that ends inside an element: most
// often one that was not written to its end.
std::wstring place(const document::LoadError& error)
{
    if (error.row <= 0)
        return L"在文件末尾（文件可能不完整）";
    return L"第 " + std::to_wstring(error.row) + L" 行第 " + std::to_wstring(error.column) + L" 列";
}

// TinyXML's own text, without its closing full stop.
std::wstring detail(std::string text)
{
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return platform::fromUtf8(text);
}

std::wstring reason(const document::LoadError& error)
{
    switch (error.kind) {
    case Kind::CannotRead:
        switch (error.systemError) {
        case ENOENT:
            return L"文件不存在。";
        case EACCES:
        case EPERM:
            return L"没有读取该文件的权限。";
        case EISDIR:
            return L"这是一个文件夹，不是文件。";
        default:
            return L"无法读取该文件（系统错误 " + std::to_wstring(error.systemError) + L"）。";
        }
    case Kind::Empty:
        return L"文件是空的，没有任何 XML 内容。";
    case Kind::WideEncoding:
        return L"文件是 UTF-16 或 UTF-32 编码的，只能读取 UTF-8 或单字节编码的文件。";
    case Kind::NotWellFormed:
        return L"文件不是格式正确的 XML，" + place(error) + L"出错：" + detail(error.detail) + L"。";
    case Kind::TooDeep:
        return place(error) + L"的元素嵌套超过 " + std::to_wstring(document::kMaxNesting) + L" 层，为保护程序拒绝读取。";
    case Kind::TooManyAttributes:
        return place(error) + L"的元素有超过 " + std::to_wstring(document::kMaxAttributes) +
               L" 个属性，为保护程序拒绝读取。";
    case Kind::None:
        break;
    }
    return L"未知原因。";
}

} // namespace

std::wstring loadFailureMessage(const char* path, const document::LoadError& error)
{
    return L"无法导入文件“" + platform::pathText(path) + L"”：" + reason(error);
}
