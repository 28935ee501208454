// A hive that was read, written in either encoding and line end, reads back the same and in that
// form; a comment line before any of its lines changes nothing.
#include "Property.h"
#include "registry/RegFileFormat.h"

#include <algorithm>
#include <cstdint>
#include <string>

using namespace dormivo::registry;

namespace {

bool same(const HiveKey& a, const HiveKey& b) {
    const auto sameValue = [](const HiveValue& x, const HiveValue& y) {
        return x.name == y.name && x.type == y.type && x.data == y.data;
    };
    const auto sameChild = [](const auto& x, const auto& y) {
        return x.first == y.first && same(*x.second, *y.second);
    };
    return a.name == b.name && std::ranges::equal(a.values, b.values, sameValue) &&
           std::ranges::equal(a.children, b.children, sameChild);
}

// The input's first comment line, so that the fuzzer shapes the comment too.
std::string firstComment(const std::string& bytes) {
    const std::size_t at = bytes.starts_with(";") ? 0 : bytes.find("\n;");
    if (at == std::string::npos)
        return ";";
    const std::size_t from = at + (bytes[at] == '\n');
    return bytes.substr(from, bytes.find_first_of("\r\n", from) - from);
}

// The comment before every line of the text but the first (the header).
std::string commented(const std::string& text, const std::string& comment) {
    std::string out;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
        out += (start ? comment + "\n" : "") + text.substr(start, end - start);
        start = end;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    auto forest = RegFileFormat::read(bytes);
    if (!forest)
        return 0;
    // A root always exists; one without values or keys has no section of its own.
    std::erase_if(forest->children, [](const auto& root) {
        return root.second->values.empty() && root.second->children.empty();
    });
    for (const bool utf16 : {false, true}) {
        for (const bool crlf : {false, true}) {
            const std::string text = RegFileFormat::write(*forest, {utf16, crlf});
            if (text.size() > RegFileFormat::kMaxFileBytes)
                continue; // the hive refuses to write it
            RegFileFormat::TextForm form;
            const auto again = RegFileFormat::read(text, &form);
            require(again && same(*forest, *again), "a written hive reads back the same");
            require(form.crlf == crlf && form.utf16 == text.starts_with("\xFF\xFE"),
                    "a written hive reads back in the form it was written in");
        }
    }
    const std::string text = commented(RegFileFormat::write(*forest), firstComment(bytes));
    if (text.size() <= RegFileFormat::kMaxFileBytes) {
        const auto again = RegFileFormat::read(text);
        require(again && same(*forest, *again), "comment lines change nothing");
    }
    return 0;
}
