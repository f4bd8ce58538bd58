// The INI reader on arbitrary file contents: parse, look keys up, edit and read back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/platform/IniDocument.h"
#include "core/platform/Utf.h"

namespace {

// The first bytes choose the names looked up, so lookups hit the file's own names too.
std::u16string NameFrom(const uint8_t*& data, size_t& size) {
    if (size == 0)
        return u"";
    size_t length = data[0] % 8;
    ++data;
    --size;
    if (length > size)
        length = size;
    std::u16string name =
        brindle::Utf8ToUtf16(std::string(reinterpret_cast<const char*>(data), length));
    data += length;
    size -= length;
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::u16string section = NameFrom(data, size);
    const std::u16string key = NameFrom(data, size);
    brindle::IniDocument doc = brindle::IniDocument::FromBytes(
        std::string_view(reinterpret_cast<const char*>(data), size));
    for (size_t buffer : {size_t{0}, size_t{1}, size_t{2}, size_t{260}, size_t{2048}})
        (void)doc.ReadString(section, key, u"default", buffer);
    (void)doc.ReadInt(section, key, -1);
    (void)doc.FindRaw(section, key);
    (void)doc.HasSection(section);

    // An edit that the document accepts must read back as written and keep the other lines.
    if (doc.SetValue(section, key, u"fuzz value")) {
        const std::vector<uint8_t> bytes = doc.ToBytes();
        const brindle::IniDocument again = brindle::IniDocument::FromBytes(bytes);
        const auto value = again.Find(section, key);
        if (!value || *value != u"fuzz value")
            __builtin_trap();
    }
    return 0;
}
