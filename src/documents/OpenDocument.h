#pragma once

#include "documents/CodePages.h"

#include <functional>
#include <string>
#include <vector>

// The format-independent part of opening a document: everything the open routine does
// except putting the text into a page.
namespace vocalix::documents {

// Office conversions (Word documents). Each gets the source file and the target folder and
// returns the name of the file written, or "" when no office program is available.
struct OfficeHooks {
    std::function<std::string(const std::string&, const std::string&)> wordToText;
    std::function<std::string(const std::string&, const std::string&)> wordToHtml;
    // Why the last conversion gave "" (Windows-1251), or "" when there is nothing to say.
    std::function<std::string()> lastError;
};

struct OpenResult {
    enum class Status {
        Loaded,      // text holds the page's new text
        Unreadable,  // the file could not be read; nothing changes
        WordMissing, // a Word document and no office program: fileName is empty
    };
    Status status = Status::Unreadable;
    std::string text;                               // Windows-1251, CR LF
    std::string fileName;                           // the name the text is saved under from now on
    bool repaired = false;                          // a code page was repaired
    CodePageRepair codePage = CodePageRepair::None; // the code page it was read from
    bool written = false;                           // the text was written to fileName at once
    // The repaired text belongs to the file just read, which is never written over by
    // opening: the page holds the text unsaved (modified) until the user saves it.
    bool modified = false;
    std::string notice;       // status-line text saying so (Windows-1251), else empty
    std::string writeError;   // the immediate write failed (Windows-1251 message)
    std::string pictureError; // the FB2 pictures could not be saved (Windows-1251 message)
    std::string officeError;  // WordMissing: why (Windows-1251), or "" when nothing is known
    std::string readError;    // Unreadable: why (Windows-1251), or "" when nothing is known
    std::string bookTitle;    // an FB2 or EPUB book's own title and author (Windows-1251), or ""
    std::string bookAuthor;
};

// Opens fileName as the window program does: dispatch by extension, code-page repair,
// HTML/FB2/RTF conversion, picture folders, the name afterwards and the immediate write.
// targetFolder (ending in a separator, or empty) is used by batch conversion.
OpenResult OpenDocument(const std::string& fileName, const std::string& targetFolder,
                        bool picImport, const OfficeHooks& office = {});

// Reads a text, RTF, HTML, FB2 or EPUB file and converts it to Windows-1251 text with CR LF,
// exactly as opening does, but writes nothing. Returns false when the file cannot be read,
// with the reason in *error (Windows-1251) when one is known. Word documents are not handled
// here (they need an office program); an EPUB book's pictures are not read.
bool ReadDocumentText(const std::string& fileName, std::string& text, bool& repaired,
                      std::vector<std::string>* pictures = nullptr,
                      CodePageRepair* codePage = nullptr, std::string* error = nullptr);

// The same conversion for bytes already read; lowerExt (".txt", ".fb2"...) says what they are.
std::string DocumentTextFromBytes(std::string bytes, const std::string& lowerExt, bool& repaired,
                                  std::vector<std::string>* pictures = nullptr,
                                  CodePageRepair* codePage = nullptr);

// The immediate-write rule: the lower-case extension occurs in the list of converted
// formats (as a substring), or the code page was repaired.
bool WrittenAtOnce(const std::string& lowerExt, bool repaired);

// The name a new text may be written under without losing another file: fileName itself when
// it is free or already holds exactly these bytes, otherwise the first free (or identical)
// "name (2).ext", "name (3).ext"...
std::string FreeTextName(const std::string& fileName, const std::string& bytes);

// Writes the text under FreeTextName(fileName, text), unless a file with exactly this content
// is already there. Returns the name used, or "" with *error filled (UTF-8) when it failed.
std::string WriteNewText(const std::string& fileName, const std::string& text,
                         std::string* error = nullptr);

// The name of a code page in status-line and report texts (Windows-1251).
std::string CodePageName(CodePageRepair codePage);

} // namespace vocalix::documents
