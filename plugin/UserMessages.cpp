#include "plugin/UserMessages.h"

#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>

#include "platform/Platform.h"
#include "text/Escapes.h"
#include "text/Utf8.h"

namespace {

using Kind = document::LoadError::Kind;

// Why a file could not be loaded, in the plug-in's language and in the
// report's: one row per kind of failure (and, for some kinds, per case),
// the first row that fits is used. In the texts, {place} is where the
// fault is, {detail} TinyXML's own words, {limit} the bound that was
// passed, {error} the system's reason and {code} its number.
struct Reason {
    Kind kind;
    int which; // the system error, or 1 for a device; 0 fits any case
    const wchar_t* chinese;
    const char* english;
};

constexpr int kDevice = 1;

const Reason kReasons[] = {
    {Kind::NoPath, 0, L"没有给出文件路径。", "has no name: the path is empty"},
    {Kind::NotAFile, kDevice, L"这是一个设备，不是文件。", "is a device, not a file"},
    {Kind::NotAFile, 0, L"这不是普通文件，也不是管道。", "is neither a regular file nor a pipe"},
    {Kind::TooLarge, 0, L"文件超过 2 GB，无法读取。", "is larger than 2 GB"},
    {Kind::CannotRead, ENOENT, L"文件不存在。", "cannot be read: {error}"},
    {Kind::CannotRead, EACCES, L"没有读取该文件的权限。", "cannot be read: {error}"},
    {Kind::CannotRead, EPERM, L"没有读取该文件的权限。", "cannot be read: {error}"},
    {Kind::CannotRead, EISDIR, L"这是一个文件夹，不是文件。", "cannot be read: {error}"},
    {Kind::CannotRead, ENAMETOOLONG, L"文件路径或文件名太长。", "cannot be read: {error}"},
    {Kind::CannotRead, ENOTDIR, L"路径中的某一部分不是文件夹。", "cannot be read: {error}"},
    {Kind::CannotRead, ELOOP, L"路径中的符号链接层数过多（可能是循环链接）。", "cannot be read: {error}"},
    {Kind::CannotRead, EMFILE, L"同时打开的文件太多，请关闭一些文件后重试。", "cannot be read: {error}"},
    {Kind::CannotRead, ENFILE, L"系统中打开的文件太多，请关闭一些文件后重试。", "cannot be read: {error}"},
    {Kind::CannotRead, EIO, L"读取时发生输入/输出错误（磁盘、网络或设备故障）。", "cannot be read: {error}"},
    {Kind::CannotRead, ENOMEM, L"内存不足，无法读取该文件。", "cannot be read: {error}"},
    {Kind::CannotRead, EINVAL, L"文件路径无效。", "cannot be read: {error}"},
    {Kind::CannotRead, ENXIO, L"文件所在的设备不存在或未就绪。", "cannot be read: {error}"},
    {Kind::CannotRead, ENODEV, L"文件所在的设备不存在或未就绪。", "cannot be read: {error}"},
    {Kind::CannotRead, EBUSY, L"文件正被其他程序占用。", "cannot be read: {error}"},
    {Kind::CannotRead, EAGAIN, L"文件暂时无法读取，请稍后重试。", "cannot be read: {error}"},
    {Kind::CannotRead, EFBIG, L"文件太大，无法读取。", "cannot be read: {error}"},
    {Kind::CannotRead, EOVERFLOW, L"文件太大，无法读取。", "cannot be read: {error}"},
    {Kind::CannotRead, 0, L"无法读取该文件：{error}（系统错误 {code}）。", "cannot be read: {error}"},
    {Kind::Empty, 0, L"文件是空的，没有任何 XML 内容。", "is empty: it holds no XML"},
    {Kind::NotXml, 0, L"文件不是 XML：它在{place}以“{detail}”开始，而 XML 应以“<”开始{signature}。",
     "is not XML: it starts with \"{detail}\"{place}, where XML starts with '<'{signature}"},
    {Kind::WideEncoding, 0, L"文件是 {detail} 编码的，只能读取 UTF-8 或单字节编码的文件：请将它另存为 UTF-8。",
     "is in {detail}; only UTF-8 and single-byte encodings can be read: save it as UTF-8"},
    {Kind::NotWellFormed, 0, L"文件不是格式正确的 XML，{place}出错：{detail}。",
     "is not well-formed XML{place}: {detail}"},
    {Kind::TooDeep, 0, L"{place}的元素嵌套超过 {limit} 层，为保护程序拒绝读取。",
     "nests elements deeper than {limit} levels{place} (refused)"},
    {Kind::TooManyAttributes, 0, L"{place}的元素有超过 {limit} 个属性，为保护程序拒绝读取。",
     "gives an element more than {limit} attributes{place} (refused)"},
};

const Reason* reasonOf(const document::LoadError& error)
{
    int which = error.kind == Kind::CannotRead ? error.systemError
                : error.kind == Kind::NotAFile ? (error.detail == "device" ? kDevice : -1)
                                               : -1;
    for (const Reason& reason : kReasons)
        if (reason.kind == error.kind && (reason.which == 0 || reason.which == which))
            return &reason;
    return nullptr;
}

// The pattern with each {name} replaced by its value.
template <class Char>
std::basic_string<Char> fill(const Char* pattern,
                             std::initializer_list<std::pair<const char*, std::basic_string<Char>>> values)
{
    std::basic_string<Char> out;
    for (const Char* p = pattern; *p; ++p) {
        bool replaced = false;
        if (*p == '{')
            for (const auto& [name, value] : values) {
                std::size_t n = std::char_traits<char>::length(name);
                std::size_t i = 0;
                while (i < n && p[1 + i] == static_cast<Char>(name[i]))
                    ++i;
                if (i == n && p[1 + n] == '}') {
                    out += value;
                    p += n + 1;
                    replaced = true;
                    break;
                }
            }
        if (!replaced)
            out += *p;
    }
    return out;
}

// How long a text from the file or the system may be where a message
// quotes it, in characters, and how long a whole message may be, in
// bytes of UTF-8: the host's message box stays readable whatever the file
// holds.
constexpr std::size_t kQuotedLength = 80;
constexpr std::size_t kPathLength = 240;
constexpr std::size_t kMessageBytes = 4096;
const wchar_t kEllipsis = L'\u2026';

// Whether a wide character is a control character: C0, DEL or C1.
bool isControl(wchar_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// Where a text may be cut at or before `at` without splitting a
// surrogate pair (UTF-16 wide text).
std::size_t cutAt(const std::wstring& text, std::size_t at)
{
    if (at > 0 && at < text.size() && text[at - 1] >= 0xD800 && text[at - 1] <= 0xDBFF)
        --at;
    return at;
}

// A text as a message quotes it: control characters shown as \xHH, and
// cut after `limit` characters with an ellipsis; with `keepEnd`, the
// middle goes instead, so that a path keeps its file name.
std::wstring quoted(const std::wstring& text, std::size_t limit = kQuotedLength, bool keepEnd = false)
{
    std::wstring shown;
    for (wchar_t c : text) {
        if (!isControl(c)) {
            shown += c;
            continue;
        }
        static const wchar_t kHex[] = L"0123456789abcdef";
        unsigned value = static_cast<unsigned>(c);
        shown += {L'\\', L'x', kHex[(value >> 4) & 15], kHex[value & 15]};
    }
    if (shown.size() <= limit)
        return shown;
    if (!keepEnd)
        return shown.substr(0, cutAt(shown, limit)) + kEllipsis;
    std::size_t head = cutAt(shown, limit / 2);
    std::size_t tail = shown.size() - (limit - limit / 2);
    if (tail < shown.size() && shown[tail] >= 0xDC00 && shown[tail] <= 0xDFFF)
        ++tail;
    return shown.substr(0, head) + kEllipsis + shown.substr(tail);
}

std::wstring quoted(std::string_view utf8, std::size_t limit = kQuotedLength)
{
    return quoted(platform::fromUtf8(utf8), limit);
}

std::wstring quotedPath(const char* path)
{
    return quoted(platform::pathText(path ? path : ""), kPathLength, true);
}

// The whole message, cut with an ellipsis where its UTF-8 form would pass
// kMessageBytes (the quoted texts are bounded, so only a message of many
// parts comes near).
std::wstring bounded(std::wstring message)
{
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < message.size(); ++i) {
        unsigned c = static_cast<unsigned>(message[i]);
        bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : (c >= 0xD800 && c <= 0xDFFF) ? 2 : c < 0x10000 ? 3 : 4;
        if (bytes > kMessageBytes - 3) {
            message.resize(cutAt(message, i));
            message += kEllipsis;
            break;
        }
    }
    return message;
}

// The bytes a file that is not XML starts with, as a message shows them.
std::string shownStart(const std::string& bytes)
{
    return text::shown(bytes);
}

// What a file that is not XML looks like from its first bytes.
struct Signature {
    const char* bytes;
    const wchar_t* chinese;
    const char* english;
};
const Signature kSignatures[] = {
    {"\x1F\x8B", L"（看来是 gzip 压缩文件：请先解压）", " (a gzip-compressed file? decompress it first)"},
    {"PK\x03\x04", L"（看来是 zip 压缩文件：请先解压）", " (a zip archive? extract the file first)"},
    {"\x89PNG", L"（看来是 PNG 图片，不是模型文件）", " (a PNG image? it is not a model)"},
    {"%PDF", L"（看来是 PDF 文件，不是模型文件）", " (a PDF file? it is not a model)"},
};

const Signature* signatureOf(const document::LoadError& error)
{
    if (error.kind != Kind::NotXml)
        return nullptr;
    for (const Signature& s : kSignatures)
        if (error.detail.compare(0, std::strlen(s.bytes), s.bytes) == 0)
            return &s;
    return nullptr;
}

// TinyXML's own text, without its closing full stop.
std::wstring chineseDetail(std::string text)
{
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return platform::fromUtf8(text);
}

// TinyXML tells no place for a file that ends inside an element: most
// often one that was not written to its end.
std::wstring chinesePlace(const document::LoadError& error)
{
    if (error.row <= 0)
        return L"在文件末尾（文件可能不完整）";
    return L"第 " + std::to_wstring(error.row) + L" 行第 " + std::to_wstring(error.column) + L" 列";
}

std::string englishPlace(const document::LoadError& error)
{
    if (error.row <= 0)
        return " at the end of the file (is the file complete?)";
    return " at line " + std::to_string(error.row) + ", column " + std::to_string(error.column);
}

int limitOf(const document::LoadError& error)
{
    return error.kind == Kind::TooManyAttributes ? document::kMaxAttributes : document::kMaxNesting;
}

// The system's own words for an error number, in its language.
std::string systemReason(int code)
{
    const char* text = std::strerror(code);
    return text ? text : "error " + std::to_string(code);
}

// What else a text that is not well-formed shows: that it ends inside an
// element, as a file not written to its end does, and bytes that are not
// UTF-8, which often break it.
std::wstring chineseNotes(const document::LoadError& error)
{
    std::wstring notes;
    if (error.endsInsideElement && error.row > 0)
        notes += L"文件在未闭合的元素中结束，可能不完整。";
    const document::EncodingFault& fault = error.encoding;
    if (fault.bytes > 0) {
        notes += std::wstring(fault.declared ? L"文件声明为 UTF-8 编码，但其中有 " : L"文件没有声明编码（应为 UTF-8），但其中有 ") +
                 std::to_wstring(fault.bytes) + L" 个字节不是 UTF-8（第一个在第 " + std::to_wstring(fault.first.row) +
                 L" 行第 " + std::to_wstring(fault.first.column) + L" 列）";
        notes += fault.likelyGbk ? L"，看来文件是 GBK 编码的：请将它另存为 UTF-8，或在 XML 声明中写明 encoding=\"GBK\"。"
                                 : L"：请将它另存为 UTF-8，或在 XML 声明中写明它的编码。";
    }
    return notes;
}

// Notes follow the reason after a semicolon, so TinyXML's closing full
// stop goes when there are any.
std::string englishNotes(const document::LoadError& error)
{
    std::string notes;
    if (error.endsInsideElement && error.row > 0)
        notes += "; the text ends inside an element left open: is the file complete?";
    if (error.encoding.bytes > 0)
        notes += "; " + encodingFaultInEnglish(error.encoding);
    return notes;
}

std::wstring reason(const document::LoadError& error)
{
    const Reason* reason = reasonOf(error);
    if (!reason)
        return L"未知原因。";
    const Signature* signature = signatureOf(error);
    return fill<wchar_t>(reason->chinese, {{"place", chinesePlace(error)},
                                           {"detail", error.kind == Kind::NotXml
                                                          ? quoted(shownStart(error.detail))
                                                          : quoted(chineseDetail(error.detail), 200)},
                                           {"signature", signature ? signature->chinese : L""},
                                           {"limit", std::to_wstring(limitOf(error))},
                                           {"error", platform::fromUtf8(systemReason(error.systemError))},
                                           {"code", std::to_wstring(error.systemError)}}) +
           chineseNotes(error);
}

} // namespace

std::string encodingFaultInEnglish(const document::EncodingFault& fault)
{
    return std::string(fault.declared ? "it is declared UTF-8" : "it declares no encoding (so it should be UTF-8)") +
           " but holds " + std::to_string(fault.bytes) + (fault.bytes == 1 ? " byte" : " bytes") +
           " that are not UTF-8 (the first at line " + std::to_string(fault.first.row) + ", column " +
           std::to_string(fault.first.column) + ")" +
           (fault.likelyGbk ? ", and they fit GBK: save it as UTF-8, or declare encoding=\"GBK\""
                            : ": save it as UTF-8, or declare its encoding");
}

std::string loadFailureReasonInEnglish(const document::LoadError& error)
{
    const Reason* reason = reasonOf(error);
    if (!reason)
        return "";
    std::string notes = englishNotes(error);
    std::string detail = error.detail;
    if (!notes.empty() && !detail.empty() && detail.back() == '.')
        detail.pop_back();
    const Signature* signature = signatureOf(error);
    return fill<char>(reason->english, {{"place", englishPlace(error)},
                                        {"detail", error.kind == Kind::NotXml ? shownStart(detail) : detail},
                                        {"signature", signature ? signature->english : ""},
                                        {"limit", std::to_string(limitOf(error))},
                                        {"error", systemReason(error.systemError)}}) +
           notes;
}

std::wstring loadFailureMessage(const char* path, const document::LoadError& error)
{
    return bounded(L"无法导入文件“" + quotedPath(path) + L"”：" + reason(error));
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
        what = L"根元素“" + quoted(fact.frame.rootName) + L"”下没有“Pairs”节列表";
        break;
    case Missing::Section:
        what = L"“Pairs”节列表中没有任何节";
        break;
    case Missing::Nothing:
        break;
    }
    return bounded(L"文件“" + quotedPath(path) + L"”中没有字典：" + what + L"。未导入任何内容。");
}

std::string noDictionaryInEnglish(const NoDictionary& fact)
{
    using Missing = document::DictionaryFrame::Missing;
    switch (fact.frame.missing) {
    case Missing::Root:
        if (fact.loaded.unreadRow <= 0)
            return "no root element";
        return "no root element (reading stopped at line " + std::to_string(fact.loaded.unreadRow) + ", column " +
               std::to_string(fact.loaded.unreadColumn) + ", at something that is not markup" +
               (fact.frame.doctypeSubset ? ": a DOCTYPE with an internal subset cannot be read" : "") + ")";
    case Missing::SectionList:
        return "the root element \"" + fact.frame.rootName + "\" has no \"Pairs\" section list";
    case Missing::Section:
        return "the \"Pairs\" section list holds no section";
    case Missing::Nothing:
        break;
    }
    return "";
}

std::string runFailureInEnglish(const document::RunFailure& failure)
{
    return std::string("the import stopped part-way: ") +
           (failure.outOfMemory    ? "out of memory"
            : failure.what.empty() ? "an unexpected error"
                                   : "an unexpected error (" + failure.what + ")") +
           (failure.storing ? "; what was stored before stays" : "; nothing was stored");
}

std::wstring runFailureMessage(const char* path, const document::RunFailure& failure)
{
    std::wstring what = failure.outOfMemory ? L"内存不足"
                        : failure.what.empty()
                            ? L"发生意外错误"
                            : L"发生意外错误（" + quoted(failure.what, 200) + L"）";
    return bounded(L"导入文件“" + quotedPath(path) + L"”时" + what + L"，导入已中止。" +
                   (failure.storing ? L"此前已导入的记录保留在模型中。" : L"未导入任何记录。"));
}

namespace {

// What each of the tally's counts (document::kCountedLosses) says, in
// both languages, entry for entry in the tally's order.
constexpr struct LossTexts {
    long long document::LossTally::*count; // the entry's, checked below
    const wchar_t* chinese;                // after the count
    const char* one;                       // after the count, in English
    const char* many;
} kLossTexts[] = {
    {&document::LossTally::rowsNotStored, L"行没有存储（缺少键，或设计行缺少字段）", "row not stored", "rows not stored"},
    {&document::LossTally::keysReplaced, L"行的键与同一表中先前的行相同，先前的行被替换",
     "row replaced by a later row of the same key", "rows replaced by later rows of the same key"},
    {&document::LossTally::entriesIgnored, L"个表项或节被忽略（缺少“Key”“Value”或表名、表名重复，或位于第二节之后）",
     "table entry or section ignored", "table entries or sections ignored"},
    {&document::LossTally::designKeysEmpty, L"个设计行的键没有文本，存储在键 0 下，没有按顺序编号",
     "design row without key text (stored under key 0)", "design rows without key text (stored under key 0)"},
    {&document::LossTally::elementsNotRead, L"个元素位于表的第一行或节的第一个表项之前，没有读取",
     "element before a table's first row not read", "elements before a table's first row not read"},
    {&document::LossTally::textsHidden, L"个字段的文本位于注释或其他标记之后，按无文本读取",
     "text behind a comment read as empty", "texts behind a comment read as empty"},
    {&document::LossTally::numbersNotAsWritten, L"个数值没有按原文读取（例如“1,5”读作 1）",
     "number not read as written", "numbers not read as written"},
    {&document::LossTally::referencesDropped, L"处未定义的实体引用或单独的“&”从文本中删除",
     "entity reference dropped from a text", "entity references dropped from texts"},
    {&document::LossTally::valuesNotFinite, L"个实数写作无穷大或 NaN，按原样存储", "real written as infinity or NaN",
     "reals written as infinity or NaN"},
};

constexpr std::size_t kCountedLossCount = std::size(document::kCountedLosses);

constexpr bool textsFollowTheTally()
{
    for (std::size_t i = 0; i < kCountedLossCount; ++i)
        if (kLossTexts[i].count != document::kCountedLosses[i].count)
            return false;
    return true;
}
static_assert(std::size(kLossTexts) == kCountedLossCount, "every counted loss has its texts, and no other");
static_assert(textsFollowTheTally(), "the loss texts follow document::kCountedLosses entry for entry");

// Each counted loss with its texts, in the tally's order.
template <class Visit>
void forEachCountedLoss(const document::LossTally& losses, Visit visit)
{
    for (std::size_t i = 0; i < kCountedLossCount; ++i)
        if (long long count = losses.*document::kCountedLosses[i].count; count > 0)
            visit(count, document::kCountedLosses[i].kind, kLossTexts[i]);
}

// Unread tables named one by one; the rest are counted.
constexpr std::size_t kTablesNamed = 5;

} // namespace

std::wstring lossMessage(const char* path, const document::LossTally& losses)
{
    std::wstring lines;
    for (std::size_t i = 0; i < losses.unreadTables.size() && i < kTablesNamed; ++i) {
        const auto& table = losses.unreadTables[i];
        lines += L"\n· " + quoted(table.section) + L" 中的表“" + quoted(table.name) +
                 L"”没有对应的读取程序，整张表（" + std::to_wstring(table.rows) + L" 行）没有导入" +
                 (table.nearest.empty() ? L"" : L"（是否应为“" + quoted(table.nearest) + L"”？）") + L"；";
    }
    if (losses.unreadTables.size() > kTablesNamed)
        lines += L"\n· 另有 " + std::to_wstring(losses.unreadTables.size() - kTablesNamed) + L" 张表没有对应的读取程序；";
    forEachCountedLoss(losses, [&](long long count, const char*, const LossTexts& texts) {
        lines += L"\n· " + std::to_wstring(count) + L" " + texts.chinese + L"；";
    });
    if (losses.bytesNotUtf8 > 0)
        lines += L"\n· 文本中有 " + std::to_wstring(losses.bytesNotUtf8) + L" 个字节不是 UTF-8" +
                 (losses.likelyGbk ? L"（看来文件是 GBK 编码的）" : L"") + L"，文本按文件的原字节导入；";
    if (losses.contentAfterRoot)
        lines += L"\n· 根元素之后的内容没有读取；";
    if (!lines.empty())
        lines.back() = L'。';
    return bounded(L"文件“" + quotedPath(path) + L"”已导入，但有些内容没有导入或与原文不符：" + lines +
                   L"\n用 dictcheck 命令检查该文件，可以看到每一处的位置。");
}

std::vector<std::pair<std::string, long long>> lossCounts(const document::LossTally& losses)
{
    std::vector<std::pair<std::string, long long>> counts;
    if (!losses.unreadTables.empty())
        counts.emplace_back("table-unread", static_cast<long long>(losses.unreadTables.size()));
    forEachCountedLoss(losses,
                       [&](long long count, const char* kind, const LossTexts&) { counts.emplace_back(kind, count); });
    if (losses.bytesNotUtf8 > 0)
        counts.emplace_back("not-utf8", losses.bytesNotUtf8);
    if (losses.contentAfterRoot)
        counts.emplace_back("after-root", 1);
    return counts;
}

std::string verdictInEnglish(const document::LossTally& losses, long long records)
{
    if (!losses.any())
        return "complete, " + std::to_string(records) + (records == 1 ? " record" : " records");
    std::string out = "incomplete: ";
    bool first = true;
    for (const std::string& clause : lossesInEnglish(losses)) {
        out += (first ? "" : ", ") + clause;
        first = false;
    }
    return out;
}

std::vector<std::string> lossesInEnglish(const document::LossTally& losses)
{
    auto counted = [](long long count, const char* one, const char* many) {
        return std::to_string(count) + " " + (count == 1 ? one : many);
    };
    auto name = [](const std::string& text) { return "\"" + platform::toUtf8(quoted(text)) + "\""; };
    std::vector<std::string> clauses;
    long long otherRows = 0;
    for (std::size_t i = 0; i < losses.unreadTables.size(); ++i) {
        const auto& table = losses.unreadTables[i];
        if (i >= kTablesNamed) {
            otherRows += table.rows;
            continue;
        }
        // Design tables share names with model tables: their section is said.
        clauses.push_back("table " + name(table.name) + (table.section == "DesignDB" ? " of DesignDB" : "") + " (" +
                          counted(table.rows, "row", "rows") + ") not read" +
                          (table.nearest.empty() ? "" : "; did you mean " + name(table.nearest) + "?"));
    }
    if (losses.unreadTables.size() > kTablesNamed)
        clauses.push_back(counted(static_cast<long long>(losses.unreadTables.size() - kTablesNamed), "more table",
                                  "more tables") +
                          " (" + counted(otherRows, "row", "rows") + ") not read");
    forEachCountedLoss(losses, [&](long long count, const char*, const LossTexts& texts) {
        clauses.push_back(counted(count, texts.one, texts.many));
    });
    if (losses.bytesNotUtf8 > 0)
        clauses.push_back(counted(losses.bytesNotUtf8, "byte", "bytes") + " not UTF-8" +
                          (losses.likelyGbk ? " (they fit GBK; kept as written)" : " (kept as written)"));
    if (losses.contentAfterRoot)
        clauses.push_back("content after the root element not read");
    return clauses;
}
