#include "documents/OfficeConversion.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "documents/CodePages.h"
#include "documents/DocumentFiles.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace vocalix::documents {
namespace fs = std::filesystem;

namespace {

// UTF-8 rather than 1251 straight away: the office suite drops what 1251 lacks, and our own
// conversion keeps stress marks over vowels as "+".
const char kTextFilter[] = "txt:Text (encoded):UTF8,CRLF";
const char kHtmlFilter[] = "html:HTML (StarWriter)";

// Where a converted file named like the source goes: its folder, or the target folder.
std::string BesideOrIn(const std::string& source, const std::string& targetFolder,
                       std::string_view ext) {
    const std::string name = ChangeFileExt(source, ext);
    return targetFolder.empty() ? name : targetFolder + fs::path(name).filename().string();
}

// A folder of our own for one run: the office suite's profile and its output live there, so
// that a copy the user has open, or a second conversion at the same time, never clashes.
std::string MakeWorkFolder() {
    std::string pattern = (fs::temp_directory_path() / "vocalix-office-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return {};
    return pattern;
}

struct WorkFolder {
    std::string path = MakeWorkFolder();
    ~WorkFolder() {
        std::error_code ec;
        if (!path.empty())
            fs::remove_all(path, ec);
    }
};

// The one file with this extension in folder, or "".
std::string OnlyFileWith(const std::string& folder, const std::string& ext) {
    std::error_code ec;
    std::string found;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.is_regular_file(ec) && LowerExtension(entry.path().string()) == ext) {
            if (!found.empty())
                return {};
            found = entry.path().string();
        }
    }
    return found;
}

// file:// URL of an absolute path (only the characters a URL cannot hold are escaped).
std::string FileUrl(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (const unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 15];
        }
    }
    return url;
}

} // namespace

namespace {

// The import filter is named, so that a damaged document fails instead of being read as
// plain text by the office suite's fallback.
std::string ImportFilter(const std::string& fileName) {
    const std::string ext = LowerExtension(fileName);
    if (ext == ".doc")
        return "MS Word 97";
    if (ext == ".docx")
        return "MS Word 2007 XML";
    return "Rich Text Format";
}

} // namespace

bool HasOfficeSignature(const std::string& fileName) {
    const std::string ext = LowerExtension(fileName);
    std::string expected;
    if (ext == ".doc")
        expected = "\xD0\xCF\x11\xE0";
    else if (ext == ".docx")
        expected = "PK";
    else if (ext == ".rtf")
        expected = "{\\rtf";
    else
        return false;
    std::ifstream in(fs::path(fileName), std::ios::binary);
    std::string head(expected.size(), '\0');
    return in.read(head.data(), static_cast<std::streamsize>(head.size())) && head == expected;
}

OfficeConverter::OfficeConverter(ProcessRunner run, std::string program, int timeoutMs)
    : m_run(std::move(run)), m_program(std::move(program)), m_timeoutMs(timeoutMs) {}

void OfficeConverter::Fail(const std::string& message, bool office) {
    m_lastError = message;
    m_officeFailure = office;
}

std::string OfficeConverter::Convert(const std::string& source, const std::string& filter,
                                     const std::string& workFolder) {
    m_lastError.clear();
    m_officeFailure = false;
    if (!HasOfficeSignature(source)) {
        Fail(base::Cp("Файл повреждён или не является документом своего формата (") +
                 LowerExtension(source) + "): " + base::Utf8ToCp1251(source),
             false);
        return {};
    }
    if (workFolder.empty()) {
        Fail(base::Cp("Не удалось создать временную папку для конвертации"), true);
        return {};
    }
    std::error_code ec;
    const std::string absolute = fs::absolute(source, ec).string();
    const std::string out = workFolder + "/out";
    const std::vector<std::string> args = {
        "-env:UserInstallation=" + FileUrl(workFolder + "/profile"),
        "--headless",
        "--norestore",
        "--nologo",
        "--infilter=" + ImportFilter(source),
        "--convert-to",
        filter,
        "--outdir",
        out,
        absolute,
    };
    const ProcessOutcome r = m_run ? m_run(m_program, args, m_timeoutMs) : ProcessOutcome{};
    if (!r.started) {
        Fail(base::Cp("Не найден Microsoft Word"), true);
        return {};
    }
    if (r.timedOut) {
        Fail(base::Cp("Не найден Microsoft Word: LibreOffice не закончил конвертацию за ") +
                 std::to_string(m_timeoutMs / 1000) + base::Cp(" с и был остановлен"),
             true);
        return {};
    }
    // The exit code says nothing (it is 0 when the document could not be read): only the
    // output file does.
    if (!fs::is_directory(out, ec) || fs::is_empty(out, ec)) {
        Fail(base::Cp("Не найден Microsoft Word: LibreOffice не смог прочитать документ ") +
                 base::Utf8ToCp1251(source),
             true);
        return {};
    }
    return out;
}

std::string OfficeConverter::WordToText(const std::string& source,
                                        const std::string& targetFolder) {
    const WorkFolder work;
    const std::string out = Convert(source, kTextFilter, work.path);
    if (out.empty())
        return {};
    const std::string converted = OnlyFileWith(out, ".txt");
    std::string bytes;
    if (converted.empty() || !base::ReadFileBytes(converted, bytes)) {
        Fail(base::Cp("Не найден Microsoft Word: LibreOffice не записал текст документа ") +
                 base::Utf8ToCp1251(source),
             true);
        return {};
    }
    std::string error;
    const std::string written =
        WriteNewText(BesideOrIn(source, targetFolder, ".txt"), Utf8ToWin(bytes), &error);
    if (written.empty())
        Fail(base::Cp("Не удалось записать текст документа: ") + base::Utf8ToCp1251(error), false);
    return written;
}

std::string OfficeConverter::WordToHtml(const std::string& source,
                                        const std::string& targetFolder) {
    const WorkFolder work;
    const std::string out = Convert(source, kHtmlFilter, work.path);
    if (out.empty())
        return {};
    const std::string html = OnlyFileWith(out, ".html");
    if (html.empty()) {
        Fail(base::Cp("Не найден Microsoft Word: LibreOffice не записал документ ") +
                 base::Utf8ToCp1251(source),
             true);
        return {};
    }
    // Everything beside the HTML is a picture of the document.
    std::error_code ec;
    std::vector<fs::path> pictures;
    for (const auto& entry : fs::directory_iterator(out, ec))
        if (entry.path().string() != html && entry.is_regular_file(ec))
            pictures.push_back(entry.path());
    if (pictures.empty())
        return {};
    const fs::path folder = BesideOrIn(source, targetFolder, ".files");
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) {
        Fail(base::Cp("Не удалось создать папку картинок ") + base::Utf8ToCp1251(folder.string()),
             false);
        return {};
    }
    for (const fs::path& p : pictures) {
        const fs::path target = folder / p.filename();
        if (fs::exists(target, ec))
            continue; // a file of the same name stays as it is
        std::string bytes;
        if (!base::ReadFileBytes(p, bytes) || !base::WriteFileAtomic(target, bytes)) {
            Fail(base::Cp("Не удалось записать картинку ") + base::Utf8ToCp1251(target.string()),
                 false);
            return {};
        }
    }
    // The HTML goes beside its pictures for the caller, who only wants the pictures and
    // removes it; a file of that name that is already there is not ours to hand over.
    const fs::path htmlTarget = folder / fs::path(html).filename();
    std::string bytes;
    if (fs::exists(htmlTarget, ec) || !base::ReadFileBytes(html, bytes) ||
        !base::WriteFileAtomic(htmlTarget, bytes))
        return {};
    return htmlTarget.string();
}

bool OfficeCanShowWindows(const std::string& program) {
    std::error_code ec;
    fs::path exe = program;
    if (program.find('/') == std::string::npos) {
        exe.clear();
        const char* path = std::getenv("PATH");
        std::string dirs = path ? path : "";
        for (std::size_t start = 0; start <= dirs.size();) {
            const std::size_t colon = std::min(dirs.find(':', start), dirs.size());
            const fs::path candidate = fs::path(dirs.substr(start, colon - start)) / program;
            if (colon > start && fs::is_regular_file(candidate, ec)) {
                exe = candidate;
                break;
            }
            start = colon + 1;
        }
    }
    const fs::path real = fs::canonical(exe, ec);
    if (ec || real.empty())
        return false;
    for (const auto& entry : fs::directory_iterator(real.parent_path(), ec))
        if (entry.path().filename().string().rfind("libvclplug_", 0) == 0)
            return true;
    return false;
}

bool TextToWord(const std::string& text, const base::ProcessStarter& start,
                const std::string& program) {
    // The headless package has no desktop plug-in: a document opened there would stay
    // invisible in a process the user cannot see.
    if (!OfficeCanShowWindows(program))
        return false;
    // The word processor reads the text after we return, so the file stays; it is only the
    // template of the new document (-n), which therefore has no name of its own yet.
    std::string name = (fs::temp_directory_path() / "vocalix-word-XXXXXX.txt").string();
    const int fd = ::mkstemps(name.data(), 4);
    if (fd < 0)
        return false;
    ::close(fd);
    if (!base::WriteFileAtomic(name, "\xEF\xBB\xBF" + base::Cp1251ToUtf8(text)))
        return false;
    return start &&
           start(program, {"--writer", "--infilter=Text (encoded):UTF8,CRLF,,", "-n", name});
}

OfficeHooks MakeOfficeHooks(ProcessRunner run, std::string program, int timeoutMs) {
    const auto converter =
        std::make_shared<OfficeConverter>(std::move(run), std::move(program), timeoutMs);
    OfficeHooks hooks;
    hooks.wordToText = [converter](const std::string& s, const std::string& t) {
        return converter->WordToText(s, t);
    };
    hooks.wordToHtml = [converter](const std::string& s, const std::string& t) {
        return converter->WordToHtml(s, t);
    };
    hooks.lastError = [converter] { return converter->LastError(); };
    return hooks;
}

} // namespace vocalix::documents
