#include "documents/HtmlToText.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "documents/CodePages.h"

#include <array>
#include <system_error>

namespace vocalix::documents {
namespace {

struct Entity {
    std::string_view name;
    std::string_view replacement;
};

constexpr Entity kEntities[] = {
    {"&copy;", "(c)"}, {"&nbsp;", " "},   {"&amp;", "&"},      {"&lt;", "<"},
    {"&gt;", ">"},     {"&quot;", "\""},  {"&ndash;", "-"},    {"&mdash;", "-"},
    {"&laquo;", "\""}, {"&raquo;", "\""}, {"&hellip;", "..."},
};

struct SkippedElement {
    std::string_view opening;
    std::string_view closing;
};

constexpr SkippedElement kSkipped[] = {
    {"<script", "</script"},
    {"<genre", "</genre"},
    {"<style", "</style"},
    {"<stylesheet", "</stylesheet"},
    {"<id", "</id"},
    {"<author", "</author"},
    {"<lang", "</lang"},
    {"<src-lang", "</src-lang"},
    {"<document-info", "</document-info"},
    {"<history", "</history"},
    {"<date", "</date"},
    {"<program-used", "</program-used"},
    {"<custom-info", "</custom-info"},
    {"<!--", "-->"},
};
constexpr std::size_t kSkippedCount = std::size(kSkipped);

// Replacement of one character outside markup; empty view means "the character itself".
std::string_view CharReplacement(unsigned char c) {
    switch (c) {
    case 9:
        return " ";
    case 150:
    case 151:
        return "-";
    case 132:
    case 147:
    case 171:
    case 187:
        return "\"";
    case 133:
        return "...";
    case 169:
        return "(c)";
    default:
        return {};
    }
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

char AsciiLowerChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether `what` (lower case) stands at `at`, ASCII letters compared without case.
bool StartsAt(std::string_view text, std::size_t at, std::string_view what) {
    if (text.size() < at || text.size() - at < what.size())
        return false;
    for (std::size_t k = 0; k < what.size(); ++k)
        if (AsciiLowerChar(text[at + k]) != what[k])
            return false;
    return true;
}

// A search without case (the marks searched for begin with a character that is not a
// letter). One that is known to fail from some position on fails from every later position
// too; remembering that keeps a page full of unclosed elements linear.
class Finder {
public:
    explicit Finder(std::string_view text) : m_text(text) {}
    std::size_t Find(std::string_view what, std::size_t from, std::size_t& failedFrom) const {
        if (from >= failedFrom)
            return std::string_view::npos;
        std::size_t at = m_text.find(what[0], from);
        while (at != std::string_view::npos && !StartsAt(m_text, at, what))
            at = m_text.find(what[0], at + 1);
        if (at == std::string_view::npos)
            failedFrom = from;
        return at;
    }

private:
    std::string_view m_text;
};

} // namespace

std::string HtmlToText(std::string_view text, std::vector<std::string>& pictures) {
    pictures.clear();
    std::string out;
    // Only the pages written become resident, so the bound costs nothing beyond the text.
    out.reserve(text.size());
    const std::string_view low = text; // compared without case
    const Finder finder(low);
    constexpr std::size_t kNever = std::string_view::npos;
    std::array<std::size_t, kSkippedCount> closingFailedFrom;
    closingFailedFrom.fill(kNever);
    std::size_t gtFailedFrom = kNever, binaryEndFailedFrom = kNever;

    // Bytes that need a look of their own; runs of the others are copied (or skipped) whole.
    static const std::array<bool, 256> kSpecial = [] {
        std::array<bool, 256> special{};
        for (unsigned char c : {'&', '<', '>', '\t'})
            special[c] = true;
        for (int c = 128; c < 256; ++c)
            special[c] = !CharReplacement(static_cast<unsigned char>(c)).empty();
        return special;
    }();

    const std::size_t length = text.size();
    bool inMarkup = false;
    for (std::size_t i = 0; i < length; ++i) {
        if (!kSpecial[static_cast<unsigned char>(text[i])]) {
            std::size_t end = i + 1;
            while (end < length && !kSpecial[static_cast<unsigned char>(text[end])])
                ++end;
            if (!inMarkup)
                out.append(text, i, end - i);
            i = end - 1;
            continue;
        }
        const char c = text[i];
        if (c == '&' && !inMarkup) {
            // A stress mark written as a character reference: kept like the raw character.
            if (const std::string_view accent = StartsAt(low, i, "&#769;")    ? "&#769;"
                                                : StartsAt(low, i, "&#x301;") ? "&#x301;"
                                                                              : "";
                !accent.empty()) {
                AppendAsWin(out, 0x0301);
                i += accent.size() - 1;
                continue;
            }
            for (const Entity& e : kEntities) {
                if (StartsAt(low, i, e.name)) {
                    out += e.replacement;
                    i += e.name.size() - 1;
                    break;
                }
            }
            // An unknown entity loses only its "&".
            continue;
        }
        if (c == '<') {
            inMarkup = true;
            const char second = i + 1 < length ? AsciiLowerChar(text[i + 1]) : '\0';
            for (std::size_t k = 0; k < kSkippedCount; ++k) {
                if (kSkipped[k].opening[1] != second || !StartsAt(low, i, kSkipped[k].opening))
                    continue;
                const std::size_t close =
                    finder.Find(kSkipped[k].closing, i + 1, closingFailedFrom[k]);
                if (close != kNever)
                    i = close;
            }
            if (StartsAt(low, i, "<binary")) {
                const std::size_t gt = finder.Find(">", i + 1, gtFailedFrom);
                if (gt != kNever) {
                    const std::size_t end = finder.Find("</binary", gt + 1, binaryEndFailedFrom);
                    if (end != kNever) {
                        const std::string tag = AsciiLower(text.substr(i, gt - i + 1));
                        const std::string_view content = text.substr(gt + 1, end - gt);
                        i = end;
                        if (!tag.empty() && !content.empty()) {
                            std::string item(tag);
                            item += content;
                            pictures.push_back(std::move(item));
                        }
                    }
                }
            }
        } else {
            const std::string_view r = CharReplacement(static_cast<unsigned char>(c));
            if (!inMarkup) {
                if (r.empty())
                    out += c;
                else
                    out += r;
            }
        }
        if (inMarkup && i + 2 < length && StartsAt(low, i, "<p>"))
            out += "\r\n";
        if (text[i] == '>')
            inMarkup = false;
    }
    return out;
}

std::string Base64Decode(std::string_view text) {
    static const std::array<signed char, 256> kValues = [] {
        std::array<signed char, 256> v;
        v.fill(-1);
        const std::string_view alphabet =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (std::size_t i = 0; i < alphabet.size(); ++i)
            v[static_cast<unsigned char>(alphabet[i])] = static_cast<signed char>(i);
        v[static_cast<unsigned char>('=')] = 64; // the pad
        return v;
    }();
    std::string out;
    out.reserve(text.size() / 4 * 3);
    int group[4];
    int count = 0;
    for (unsigned char c : text) {
        const int value = kValues[c];
        if (value < 0)
            continue;
        group[count++] = value;
        if (count < 4)
            continue;
        count = 0;
        // A pad among the first two values carries no byte at all.
        if (group[0] == 64 || group[1] == 64)
            break;
        out += static_cast<char>((group[0] << 2) | (group[1] >> 4));
        if (group[2] == 64)
            break;
        out += static_cast<char>(((group[1] & 15) << 4) | (group[2] >> 2));
        if (group[3] == 64)
            break;
        out += static_cast<char>(((group[2] & 3) << 6) | group[3]);
    }
    return out;
}

std::string PictureExtension(std::string_view item) {
    std::string ext = ".???";
    const std::pair<std::string_view, std::string_view> types[] = {{"image/jpg", ".jpg"},
                                                                   {"image/jpeg", ".jpeg"},
                                                                   {"image/bmp", ".bmp"},
                                                                   {"image/png", ".png"},
                                                                   {"image/gif", ".gif"}};
    for (auto [type, e] : types)
        if (item.find(type) != std::string_view::npos)
            ext = e;
    return ext;
}

bool MakePictureFolder(const std::filesystem::path& folder, std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (std::filesystem::is_directory(folder, ec))
        return true;
    if (error)
        *error = base::Cp("Не удалось создать папку для картинок: ") +
                 base::Utf8ToCp1251(folder.string());
    return false;
}

bool WritePicture(const std::filesystem::path& folder, std::size_t number, std::string_view ext,
                  std::string_view bytes, std::string* error) {
    const auto file = folder / ("Image-" + std::to_string(number) + std::string(ext));
    if (base::WriteFileAtomic(file, bytes))
        return true;
    if (error)
        *error = base::Cp("Не удалось записать картинку: ") + base::Utf8ToCp1251(file.string());
    return false;
}

bool SavePictures(const std::vector<std::string>& pictures, const std::filesystem::path& folder,
                  std::string* error) {
    if (!MakePictureFolder(folder, error))
        return false;
    bool ok = true;
    for (std::size_t k = 0; k < pictures.size(); ++k) {
        const std::string& item = pictures[k];
        const std::string ext = PictureExtension(item);
        const std::size_t gt = item.find('>');
        if (gt == std::string::npos || ext == ".???")
            continue;
        // Only the first failure is reported.
        if (!WritePicture(folder, k + 1, ext, Base64Decode(std::string_view(item).substr(gt + 1)),
                          ok ? error : nullptr))
            ok = false;
    }
    return ok;
}

} // namespace vocalix::documents
