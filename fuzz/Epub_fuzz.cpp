// The EPUB reader on arbitrary input: no crash, no hang, no unbounded memory, and a reason for
// every refusal. An input that begins like a ZIP archive is read as one; any other input is a
// list of archive entries (separated by \x01, each its name up to the first line feed, then its
// bytes) packed here, so that the mutations reach the container, package and path handling
// instead of dying on the archive's checksums.
#include "documents/EpubReader.h"

#include <zip.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string Pack(std::string_view input) {
    std::vector<std::pair<std::string, std::string_view>> entries;
    while (!input.empty()) {
        const std::size_t end = input.find('\x01');
        std::string_view part = input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
        const std::size_t lf = part.find('\n');
        if (lf == std::string_view::npos || lf == 0)
            continue;
        entries.emplace_back(std::string(part.substr(0, lf)), part.substr(lf + 1));
    }
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_error_fini(&error);
    if (!buffer)
        return {};
    zip_source_keep(buffer);
    zip_t* zip = zip_open_from_source(buffer, ZIP_TRUNCATE, nullptr);
    if (!zip) {
        zip_source_free(buffer);
        return {};
    }
    for (const auto& [name, bytes] : entries) {
        zip_source_t* s = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = s ? zip_file_add(zip, name.c_str(), s, ZIP_FL_OVERWRITE) : -1;
        if (index < 0)
            zip_source_free(s);
        else
            zip_set_file_compression(zip, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    std::string packed;
    if (zip_close(zip) != 0) {
        zip_discard(zip);
    } else if (zip_source_open(buffer) == 0) {
        char chunk[65536];
        zip_int64_t n;
        while ((n = zip_source_read(buffer, chunk, sizeof chunk)) > 0)
            packed.append(chunk, std::size_t(n));
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return packed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string packed = input.rfind("PK", 0) == 0 ? std::string(input) : Pack(input);
    // Small limits keep the fuzzer's memory low; the checks are the same at any size.
    vocalix::documents::EpubLimits limits;
    limits.entry = 1 << 20;
    limits.total = 4 << 20;
    limits.ratioFrom = 64 << 10;
    vocalix::documents::EpubBook book;
    std::string error;
    const bool read = vocalix::documents::ReadEpubBytes(packed, true, book, &error, limits);
    if (read == !error.empty())
        std::abort();
    for (const auto& picture : book.pictures)
        if (picture.ext.size() < 2 || picture.ext[0] != '.' || picture.bytes.size() > limits.entry)
            std::abort();
    return 0;
}
