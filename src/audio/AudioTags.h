#pragma once

#include <filesystem>
#include <string>

// The tags an MP3 or OGG recording carries: what a player shows of the book it was made of.
namespace vocalix::audio {

// UTF-8; an empty text or a track of 0 is not written.
struct AudioTags {
    std::string title;
    std::string artist;
    std::string album;
    int track = 0; // the part number of a series
};

// The tags of a recording of `textFile`: title and album are its book's title when the book
// tells it (an FB2 or EPUB file, or one beside the text under the same name), else the
// file's name without extension; the artist is the book's author, when known. An unnamed
// page (empty path) has no title. `track` is the part number in a series, 0 otherwise.
AudioTags TagsForText(const std::filesystem::path& textFile, int track = 0);

} // namespace vocalix::audio
