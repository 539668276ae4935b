// libFuzzer target for the XML parser and writer. The first byte picks the parse options;
// the rest is the text, one byte per character except that a 0xFF byte takes the next two
// bytes as one UTF-16 unit, so that non-Latin characters are reachable too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/XmlNode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t flags = data[0];
    std::wstring text;
    text.reserve(size);
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            text += static_cast<wchar_t>(data[i + 1] | (data[i + 2] << 8));
            i += 2;
        } else {
            text += static_cast<wchar_t>(data[i]);
        }
    }

    XmlParseOptions options;
    options.trim = flags & 1;
    options.escape_char = flags & 2 ? L'\\' : 0;
    options.force = flags & 4;
    options.decode_entities = !(flags & 8);
    options.max_depth = flags & 16 ? 8 : 256;

    XmlNode root;
    const auto end = root.Load(text, options);
    if (end && *end > text.size())
        __builtin_trap();
    if (options.error_flag && options.error_pos > text.size())
        __builtin_trap();

    // Whatever was built must write, copy and parse again without harm.
    XmlWriteOptions write;
    const std::wstring written = root.ToXml(write);
    if (write.indent != 0)
        __builtin_trap();
    XmlNode copy;
    copy.CopyTreeFrom(root);
    if (copy.ToXml(write) != written)
        __builtin_trap();
    XmlParseOptions again;
    again.trim = true;
    again.escape_char = 0;
    XmlNode reparsed;
    reparsed.Load(written, again);
    return 0;
}
