#include "cli/Cli.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/QtProcess.h"
#include "documents/OfficeConversion.h"
#include "documents/OpenDocument.h"

#include <filesystem>
#include <ostream>

namespace vocalix::cli {

namespace fs = std::filesystem;
namespace doc = vocalix::documents;

// convert [--to DIR] FILE...: each document is opened as the window program opens it (with DIR
// as the target folder of batch conversion) and its text saved as the window program would save
// it; the path of each text is printed. A file that cannot be converted gets a line on err and
// the others go on; the exit status then says that something failed.
int CmdConvert(CliContext& ctx) {
    std::string to;
    std::vector<std::string> files;
    bool ended = false;
    for (size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string& a = ctx.args[i];
        if (IsEndOfOptions(a, ended))
            continue;
        if (!ended && a == "--to") {
            if (i + 1 >= ctx.args.size())
                throw CliError{"после --to нужна папка"};
            to = ctx.args[++i];
        } else if (!ended && !a.empty() && a[0] == '-') {
            throw CliError{"неизвестный параметр: " + a};
        } else {
            files.push_back(a);
        }
    }
    if (files.empty())
        throw CliError{"не указаны файлы: convert [--to DIR] FILE..."};

    std::string target;
    if (!to.empty()) {
        std::error_code ec;
        fs::create_directories(to, ec);
        if (!fs::is_directory(to, ec))
            throw CliError{"не удалось создать папку " + to};
        target = fs::absolute(to, ec).string();
        if (target.empty() || target.back() != '/')
            target += '/';
    }
    const bool picImport = ctx.settings.ReadBool("Text", "PicImport", false);

    const doc::OfficeHooks office = doc::MakeOfficeHooks(base::RunProcess);
    bool failed = false;
    for (const std::string& file : files) {
        std::error_code ec;
        if (const std::string kind = base::SpecialFileKind(file); !kind.empty()) {
            *ctx.err << "vocalix-cli: это " << kind << ", а не файл: " << file << "\n";
            failed = true;
            continue;
        }
        if (!fs::is_regular_file(file, ec)) {
            *ctx.err << "vocalix-cli: файл не найден: " << file << "\n";
            failed = true;
            continue;
        }
        const doc::OpenResult r = doc::OpenDocument(file, target, picImport, office);
        if (r.status == doc::OpenResult::Status::Unreadable) {
            *ctx.err << "vocalix-cli: не удалось прочитать " << file;
            if (!r.readError.empty())
                *ctx.err << ": " << base::Cp1251ToUtf8(r.readError);
            *ctx.err << "\n";
            failed = true;
            continue;
        }
        if (r.status == doc::OpenResult::Status::WordMissing) {
            *ctx.err << "vocalix-cli: " << file << ": "
                     << (r.officeError.empty() ? std::string("Не найден Microsoft Word")
                                               : base::Cp1251ToUtf8(r.officeError))
                     << "\n";
            failed = true;
            continue;
        }
        std::string writeError = r.writeError;
        std::string written = r.fileName;
        // A text the open routine did not write (no conversion was needed) is saved under its
        // name unless that name is the source itself, which then already holds the text. A
        // repaired source is never written over: its text goes to the next free name.
        if (!r.written && writeError.empty() &&
            (r.modified || !fs::equivalent(r.fileName, file, ec))) {
            std::string error;
            written = doc::WriteNewText(r.fileName, r.text, &error);
            if (written.empty())
                writeError = base::Utf8ToCp1251("не удалось записать " + r.fileName + ": " + error);
        }
        if (!r.pictureError.empty())
            *ctx.err << "vocalix-cli: " << base::Cp1251ToUtf8(r.pictureError) << "\n";
        if (!writeError.empty()) {
            *ctx.err << "vocalix-cli: " << base::Cp1251ToUtf8(writeError) << "\n";
            failed = true;
            continue;
        }
        *ctx.out << written << "\n";
    }
    ctx.out->flush();
    return failed ? kExitError : kExitOk;
}

} // namespace vocalix::cli
