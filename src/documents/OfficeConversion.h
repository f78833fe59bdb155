#pragma once

#include "base/ProcessOutcome.h"
#include "documents/OpenDocument.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Word and RTF documents converted by the office suite (LibreOffice, headless). The process is
// started by an injected runner, so this library stays free of Qt.
namespace vocalix::documents {

using base::ProcessOutcome;
using base::ProcessRunner;

// True when the first bytes of the file are those of its extension's format: D0 CF 11 E0 for
// ".doc", "PK" for ".docx", "{\rtf" for ".rtf". Other extensions are never office documents.
bool HasOfficeSignature(const std::string& fileName);

class OfficeConverter {
public:
    explicit OfficeConverter(ProcessRunner run, std::string program = "soffice",
                             int timeoutMs = 180000);

    // Converts the document to a Windows-1251, CR LF ".txt" named after the source (in
    // targetFolder when it is not empty). Never replaces a file with other content: the next
    // free name is used then. Returns the name written, or "" (see LastError).
    std::string WordToText(const std::string& source, const std::string& targetFolder);
    // Exports the document as HTML; its pictures go to the folder "name.files" beside the source
    // (or in targetFolder), the HTML itself into that folder too. Returns the HTML's name, or ""
    // (also when the document has no pictures: there is nothing to keep then).
    std::string WordToHtml(const std::string& source, const std::string& targetFolder);

    // Why the last conversion gave "" (Windows-1251), empty after a success.
    const std::string& LastError() const { return m_lastError; }
    // True when the last failure was the office program's (missing, failed, too slow), false
    // when the input itself was refused.
    bool LastFailureWasOffice() const { return m_officeFailure; }

private:
    // Runs one --convert-to into a fresh folder; returns that folder ("" on failure).
    std::string Convert(const std::string& source, const std::string& filter,
                        const std::string& workFolder);
    void Fail(const std::string& message, bool office);

    ProcessRunner m_run;
    std::string m_program;
    int m_timeoutMs;
    std::string m_lastError;
    bool m_officeFailure = false;
};

// True when the office program (a name looked up in PATH, or a path) has a desktop plug-in
// to show its windows with; the headless package has none.
bool OfficeCanShowWindows(const std::string& program);

// Opens the text (Windows-1251) as a new, untitled document in the word processor, which
// stays open for the user. False when it could not be started (or the text not handed over).
bool TextToWord(const std::string& text, const base::ProcessStarter& start,
                const std::string& program = "soffice");

// The hooks the open routine calls, over a converter of their own.
OfficeHooks MakeOfficeHooks(ProcessRunner run, std::string program = "soffice",
                            int timeoutMs = 180000);

} // namespace vocalix::documents
