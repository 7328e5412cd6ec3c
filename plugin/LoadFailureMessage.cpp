#include "plugin/LoadFailureMessage.h"

#include <cerrno>

#include "platform/Platform.h"
#include "text/Utf8.h"

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
    case Kind::NoPath:
        return L"没有给出文件路径。";
    case Kind::NotAFile:
        return error.detail == "device" ? L"这是一个设备，不是文件。" : L"这不是普通文件，也不是管道。";
    case Kind::TooLarge:
        return L"文件超过 2 GB，无法读取。";
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

std::wstring noDictionaryMessage(const char* path, const NoDictionary& fact)
{
    using Missing = document::DictionaryFrame::Missing;
    std::wstring what;
    switch (fact.frame.missing) {
    case Missing::Root:
        what = L"没有根元素";
        if (fact.loaded.unreadRow > 0)
            what += L"（读取在第 " + std::to_wstring(fact.loaded.unreadRow) + L" 行第 " +
                    std::to_wstring(fact.loaded.unreadColumn) + L" 列停止，那里不是标记" +
                    (fact.frame.doctypeSubset ? L"：带内部子集“[...]”的 DOCTYPE 无法读取" : L"") + L"）";
        break;
    case Missing::SectionList:
        what = L"根元素“" + platform::fromUtf8(fact.frame.rootName) + L"”下没有“Pairs”节列表";
        break;
    case Missing::Section:
        what = L"“Pairs”节列表中没有任何节";
        break;
    case Missing::Nothing:
        break;
    }
    return L"文件“" + platform::pathText(path) + L"”中没有字典：" + what + L"。未导入任何内容。";
}

std::wstring runFailureMessage(const char* path, const document::RunFailure& failure)
{
    std::wstring what = failure.outOfMemory ? L"内存不足"
                        : failure.what.empty()
                            ? L"发生意外错误"
                            : L"发生意外错误（" + platform::fromUtf8(failure.what) + L"）";
    return L"导入文件“" + platform::pathText(path) + L"”时" + what + L"，导入已中止。" +
           (failure.storing ? L"此前已导入的记录保留在模型中。" : L"未导入任何记录。");
}
