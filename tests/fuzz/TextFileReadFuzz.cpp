// libFuzzer target for the text-file reader: the input is the file's bytes, given to the
// reader as an in-memory stream.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "settings/CTextFileRead.h"

namespace {
std::FILE* MemoryFile(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& storage)
{
    // fmemopen refuses an empty buffer; one spare byte outside the stream's length keeps it valid.
    storage.assign(data, data + size);
    storage.push_back(0);
    return fmemopen(storage.data(), size == 0 ? 1 : size, "rb");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> storage;
    if (std::FILE* file = MemoryFile(data, size, storage)) {
        CTextFileRead reader(file, true);
        std::wstring all;
        reader.ReadAll(all, L"\r\n");
    }
    if (std::FILE* file = MemoryFile(data, size, storage)) {
        CTextFileRead reader(file, true);
        std::wstring line;
        std::size_t lines = 0;
        while (reader.ReadLine(line))
            if (++lines > size + 2)  // every line but the last consumes at least one byte
                __builtin_trap();
    }
    return 0;
}
