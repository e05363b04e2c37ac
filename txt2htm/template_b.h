// Template B: a folder of plain-text chapter files made into a small web
// book: one numbered page per chapter (000.htm, 001.htm, ...), a contents
// page "index.htm", three decoration images, and the chapter files moved
// into the backup folder "bak".
//
// A chapter file leaves the folder only after its copy in the backup folder
// has been written and read back unchanged; an existing backup is never
// replaced by an empty copy, and a folder that is its own backup folder
// keeps its files.
#ifndef ZANVO_TXT2HTM_TEMPLATE_B_H_
#define ZANVO_TXT2HTM_TEMPLATE_B_H_

#include <cstdint>
#include <optional>

#include "core/text.h"
#include "txt2htm/batch_report.h"

namespace zanvo {

class WindowModel;

// The page template: 32 CR LF separated lines, 1,893 bytes, with the
// placeholders [PART1], [PART0], [GOP], [GOI], [GON] and [time].
const Text& BookPageTemplate();

// n in decimal with leading zeros to at least three digits (0 gives "000",
// 1000 gives "1000").  n >= 0.
Text pageNumberName(int64_t n);

// The backup folder of a folder text: up to and including its last "\",
// then "bak" ("D:\books\novel" gives "D:\books\bak").
Text backupFolderOf(const Text& folder);

// The decoration's random numbers: a 32-bit linear congruential generator.
class BookRandom {
 public:
  explicit BookRandom(uint32_t seed) : m_state(seed) {}
  // The next value in 0..32767.
  uint32_t next() {
    m_state = m_state * 214013u + 2531011u;
    return (m_state >> 16) & 32767u;
  }
  // The next position in 1..56 of the decoration table.
  int position() { return 1 + static_cast<int>(next() % 56); }

 private:
  uint32_t m_state;
};

// The seed of one run: (tick + counter) mod 2^32; the counter then grows by
// ((tick + counter) AND 255) + 100.
uint32_t bookSeed(uint32_t tick, uint32_t& counter);
// bookSeed over the tick count and the process-wide counter.
uint32_t nextBookSeed();

// The DecorationTable entry at position 1..56 (one or two bytes).
const Text& decorationEntry(int position);
// Bytes with a run of nine hidden random characters after every "<br>"
// separated piece (see the template's decoration markup).
Bytes decorate(const Bytes& bytes, BookRandom& random);

// The chapter text with every CR LF made the wrap break
// "<br>&nbsp;&nbsp;&nbsp;".
Bytes wrapBreaks(const Bytes& bytes);

// Appends the names of the folder's "*.txt" files to 编辑框11, each followed
// by CR LF, in listing order; never clears the box.  An empty folder text
// lists nothing (it would list the root of the file system).
void listTextFiles(WindowModel& w, const Text& folder);

// Writes the book into folder; the chapter list holds one file name per CR
// LF separated line.  seed replaces the tick-count seed (for tests).
// Refused, touching nothing, when folder is empty.
BatchReport makeBook(const Text& folder, const Text& chapterList, bool wrap,
                     bool decorateLines, const Text& dateText,
                     std::optional<uint32_t> seed = std::nullopt);

}  // namespace zanvo

#endif  // ZANVO_TXT2HTM_TEMPLATE_B_H_
