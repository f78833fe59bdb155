#include "audio/AudioTags.h"

#include "base/Cp1251.h"
#include "documents/BookInfo.h"

namespace vocalix::audio {

AudioTags TagsForText(const std::filesystem::path& textFile, int track) {
    AudioTags tags;
    tags.track = track;
    if (textFile.empty())
        return tags;
    const documents::BookInfo book = documents::ReadBookInfo(textFile);
    tags.title = book.title.empty() ? textFile.stem().string() : base::Cp1251ToUtf8(book.title);
    tags.album = tags.title;
    tags.artist = base::Cp1251ToUtf8(book.author);
    return tags;
}

} // namespace vocalix::audio
