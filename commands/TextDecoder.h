// Texts of a file in the encoding its declaration names (GBK, Big5,
// Shift_JIS, windows-1252, ...) made UTF-8 for display and comparison.
// The store keeps the file's bytes, as the host receives them; only what
// the tools show and compare is decoded. glibc's iconv on Linux, the
// system's code pages on Windows.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace commands {

// Whether a declaration's encoding name is UTF-8 ("UTF-8", "utf8", any case).
bool namesUtf8(std::string_view encoding);
// Whether it names an encoding of 16 or 32 bits (UTF-16, UCS-2, ...): a
// file the import read is not in one, whatever it declares, so its texts
// are not decoded.
bool namesWideEncoding(std::string_view encoding);

class TextDecoder {
public:
    // A decoder from `encoding` (a declaration's name, any case); one that
    // decodes nothing when the name is UTF-8, empty or unknown (see known()).
    explicit TextDecoder(const std::string& encoding);
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    // Whether texts are decoded: the encoding is known and not UTF-8.
    bool active() const { return m_state != nullptr; }
    // Whether the encoding was known (UTF-8 and empty names included).
    bool known() const { return m_known; }

    // The text in UTF-8; a text that does not decode whole (bytes that fit
    // no character of the encoding) is returned as it is, and counted.
    std::string operator()(std::string_view bytes) const;
    // Texts that did not decode, and the first of them.
    long long failures() const { return m_failures; }
    const std::string& firstFailure() const { return m_firstFailure; }

private:
    struct State;
    std::unique_ptr<State> m_state;
    bool m_known = true;
    mutable long long m_failures = 0;
    mutable std::string m_firstFailure;
};

} // namespace commands
