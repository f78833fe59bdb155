#pragma once

#include <string>
#include <string_view>

namespace vocalix::documents {

// Plain text of an RTF document as a rich-text control shows it (Windows-1251, paragraphs
// and line breaks as CR LF). A text that does not begin with "{\rtf" is returned unchanged,
// as such a control loads it as plain text. Truncated or malformed input gives the text read
// so far.
std::string RtfToText(std::string_view rtf);

} // namespace vocalix::documents
