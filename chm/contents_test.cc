#include "chm/contents.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "chm/generate_test_support.h"

namespace zanvo {
namespace {

using testing::buildTree;

const char kHeader[] =
    "<HTML><HEAD><META name=\"GENERATOR\" content=\"Vexlore 1.0.1\">\r\n"
    "<!-- Sitemap 1.0 --></HEAD><BODY>\r\n"
    "<OBJECT type=\"text/site properties\">\r\n"
    "<PARAM name=\"Window Styles\" value=\"0x800627\">\r\n"
    "<PARAM name=\"ImageType\" value=\"Folder\">\r\n"
    "</OBJECT>\r\n"
    "<UL>\r\n";
const char kTrailer[] = "\r\n</UL></BODY></HTML>";

std::string joinLines(const std::vector<std::string>& lines) {
  std::string s;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) s += "\r\n";
    s += lines[i];
  }
  return s;
}

TEST(BuildContents, WorkedExampleLineByLine) {
  DocumentTree t;
  buildTree(t, "<ch1>(1) a.htm(2) index.htm(1)");
  const std::vector<std::string> lines = {
      "<HTML><HEAD><META name=\"GENERATOR\" content=\"Vexlore 1.0.1\">",
      "<!-- Sitemap 1.0 --></HEAD><BODY>",
      "<OBJECT type=\"text/site properties\">",
      "<PARAM name=\"Window Styles\" value=\"0x800627\">",
      "<PARAM name=\"ImageType\" value=\"Folder\">",
      "</OBJECT>",
      "<UL>",
      "<LI><OBJECT type=\"text/sitemap\">",
      "<PARAM name=\"Name\" value=\"ch1\">",
      "</OBJECT>",
      "<UL>",
      "<LI><OBJECT type=\"text/sitemap\">",
      "<PARAM name=\"Name\" value=\"a\">",
      "<PARAM name=\"Local\" value=\"ch1\\a.htm\">",
      "</OBJECT>",
      "",
      "</UL>",
      "<LI><OBJECT type=\"text/sitemap\">",
      "<PARAM name=\"Name\" value=\"index\">",
      "<PARAM name=\"Local\" value=\"index.htm\">",
      "</OBJECT>",
      "",
      "</UL></BODY></HTML>",
  };
  ASSERT_EQ(23u, lines.size());
  EXPECT_EQ(joinLines(lines), buildContents(t));
}

TEST(BuildContents, EmptyTreeIsHeaderAndTrailer) {
  DocumentTree t;
  EXPECT_EQ(std::string(kHeader) + kTrailer, buildContents(t));
}

const char kCh1[] =
    "<LI><OBJECT type=\"text/sitemap\">\r\n"
    "<PARAM name=\"Name\" value=\"ch1\">\r\n"
    "</OBJECT>";
std::string page(const std::string& name, const std::string& local) {
  return "<LI><OBJECT type=\"text/sitemap\">\r\n<PARAM name=\"Name\" value=\"" +
         name + "\">\r\n<PARAM name=\"Local\" value=\"" + local +
         "\">\r\n</OBJECT>";
}
std::string folder(const std::string& name) {
  return "<LI><OBJECT type=\"text/sitemap\">\r\n<PARAM name=\"Name\" value=\"" +
         name + "\">\r\n</OBJECT>";
}

TEST(BuildContents, EntriesAndTheirFollowingPieces) {
  struct Case { const char* name; std::string tree; std::string body; };
  const std::string open = "\r\n<UL>\r\n";
  const Case cases[] = {
      {"last item nested at level 2 closes the outermost list too",
       "<ch1>(1) a.htm(2)",
       kCh1 + open + page("a", "ch1\\a.htm") + "\r\n\r\n</UL>\r\n</UL>\r\n"},
      {"childless folder opens no list", "<ch1>(1) <e>(2) x.htm(1)",
       kCh1 + open + folder("e") + "\r\n" + page("x", "x.htm") + "\r\n"},
      {"folder named like a page", "<x.htm>(1)", folder("x.htm") + "\r\n"},
      {"page names: .html before .htm, case counts, every occurrence",
       "a.html(1) A.HTM(1) a.htm.bak(1)",
       page("a", "a.html") + "\r\n" + page("A.HTM", "A.HTM") + "\r\n" +
           page("a.bak", "a.htm.bak") + "\r\n"},
      {"a drop of 3", "<a>(1) <b>(2) <c>(3) p.htm(4) q.htm(1)",
       folder("a") + open + folder("b") + open + folder("c") + open +
           page("p", "a\\b\\c\\p.htm") + "\r\n\r\n</UL>\r\n</UL>\r\n</UL>\r\n" +
           page("q", "q.htm") + "\r\n"},
      {"a drop of 5 closes five lists",
       "<a>(1) <b>(2) <c>(3) <d>(4) <e>(5) p.htm(6) q.htm(1)",
       folder("a") + open + folder("b") + open + folder("c") + open +
           folder("d") + open + folder("e") + open +
           page("p", "a\\b\\c\\d\\e\\p.htm") + "\r\n\r\n" +
           "</UL>\r\n</UL>\r\n</UL>\r\n</UL>\r\n</UL>\r\n" +
           page("q", "q.htm") + "\r\n"},
      {"a name holding a later placeholder is replaced too",
       "<d>(1) CCCCCC.htm(2) x.htm(2)",
       folder("d") + open + page("d\\CCCCCC.htm", "d\\CCCCCC.htm") + "\r\n" +
           page("x", "d\\x.htm") + "\r\n\r\n</UL>\r\n</UL>\r\n"},
      {"a top-level path holding AAAAAA is replaced by the name",
       "xAAAAAA.htm(1)", page("xAAAAAA", "xxAAAAAA.htm") + "\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DocumentTree t;
    buildTree(t, c.tree);
    EXPECT_EQ(std::string(kHeader) + c.body + kTrailer, buildContents(t));
  }
}

// The list depth at which each entry stands, read back from the text.
std::vector<int> entryDepths(const std::string& text) {
  std::vector<int> depths;
  int depth = 0;
  size_t at = 0;
  while (true) {
    const size_t ul = text.find("<UL>", at);
    const size_t close = text.find("</UL>", at);
    const size_t li = text.find("<LI>", at);
    const size_t next = std::min({ul, close, li});
    if (next == std::string::npos) break;
    if (next == ul) ++depth;
    else if (next == close) --depth;
    else depths.push_back(depth);
    at = next + 4;
  }
  return depths;
}

// Adds 1 to 4 items below parent; folders get at least one child each.
void growTree(DocumentTree& t, int parent, int level, std::mt19937& random,
              int& serial) {
  const int n = 1 + static_cast<int>(random() % 4);
  for (int k = 0; k < n; ++k) {
    const std::string id = std::to_string(serial++);
    if (level < 9 && random() % 3 == 0) {
      const int j = t.addChild(parent, "<f" + id + ">", 0, -1);
      growTree(t, j, level + 1, random, serial);
    } else {
      t.addChild(parent, "p" + id + ".htm", 1, -1);
    }
  }
}

TEST(BuildContents, EveryEntryStandsAtItsLevelWhenFoldersHoldSomething) {
  // When every folder has children, each entry's list depth is its item's
  // level, however deep the tree and however far the next item climbs.
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE(round);
    DocumentTree t;
    int serial = 0;
    growTree(t, -1, 1, random, serial);
    const std::vector<int> depths = entryDepths(buildContents(t));
    ASSERT_EQ(static_cast<size_t>(t.count()), depths.size());
    for (int i = 0; i < t.count(); ++i) {
      ASSERT_EQ(t.level(i), depths[i]) << "item " << i;
    }
  }
}

}  // namespace
}  // namespace zanvo

namespace zanvo {
namespace {

// The contents text built the slow way, rule by rule, with the text
// operations: each item's path walked up through its parents, every
// removal and placeholder a replaceText over the whole text.
Text referenceContents(const DocumentTree& t) {
  Text body;
  for (int i = 0; i < t.count(); ++i) {
    Text p;
    for (int k = i, n = t.level(i); n > 0; --n, k = t.parent(k)) {
      const Text c = t.caption(k);
      const bool endsWithSeparator =
          replaceText(c, "\\", "", textLength(c)) != c;
      p = endsWithSeparator ? c + p : c + "\\" + p;
    }
    const Text c = t.caption(i);
    const Text unmarked = replaceText(replaceText(c, ">"), "<");
    if (p.size() >= 2 && p.substr(p.size() - 2) == ">\\") {
      body += replaceText(
          "<LI><OBJECT type=\"text/sitemap\">\r\n<PARAM name=\"Name\" "
          "value=\"BBBBBB\">\r\n</OBJECT>",
          "BBBBBB", unmarked);
      body += t.hasChildren(i) ? "\r\n<UL>\r\n" : "\r\n";
    } else if (p[0] == '<') {
      const Text name =
          replaceText(replaceText(unmarked, ".html"), ".htm");
      Text local = replaceText(replaceText(p, ">"), "<");
      local = replaceText(local, "\\", "", textLength(local));
      body += replaceText(
          replaceText("<LI><OBJECT type=\"text/sitemap\">\r\n<PARAM "
                      "name=\"Name\" value=\"AAAAAA\">\r\n<PARAM "
                      "name=\"Local\" value=\"CCCCCC\">\r\n</OBJECT>",
                      "AAAAAA", name),
          "CCCCCC", local);
      body += "\r\n";
      const int drop = t.level(i) - t.level(i + 1);
      if (drop > 0) body += "\r\n";
      for (int k = 0; k < drop; ++k) body += "</UL>\r\n";
    } else {
      const Text local = replaceText(p, "\\", "", textLength(p));
      const Text name = replaceText(replaceText(local, ".html"), ".htm");
      body += replaceText(
          replaceText("<LI><OBJECT type=\"text/sitemap\">\r\n<PARAM "
                      "name=\"Name\" value=\"AAAAAA\">\r\n<PARAM "
                      "name=\"Local\" value=\"GGGGGG\">\r\n</OBJECT>",
                      "GGGGGG", local),
          "AAAAAA", name);
      body += "\r\n";
    }
  }
  return kHeader + body + kTrailer;
}

TEST(BuildContents, SameBytesAsTheRuleByRuleBuildForAwkwardNames) {
  // Names made of marks, extensions, placeholders and two-byte characters
  // whose second byte looks like "\", "<", "." or a letter.
  const char* pieces[] = {"a", "<", ">", "\\", ".htm", ".html", ".HTM",
                          "CCCCCC", "AAAAAA", "GGGGGG", "BBBBBB", "\x81",
                          "\xB1\x5C", "\x81<", "\x81.", "h", "."};
  std::mt19937 random(11);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    DocumentTree t;
    std::vector<int> open;
    const int items = 1 + static_cast<int>(random() % 12);
    for (int k = 0; k < items; ++k) {
      Text caption;
      const int n = static_cast<int>(random() % 4);
      for (int j = 0; j < n; ++j) caption += pieces[random() % std::size(pieces)];
      if (random() % 3 == 0) caption = "<" + caption + ">";
      const int level = 1 + static_cast<int>(random() % (open.size() + 1));
      open.resize(level - 1);
      open.push_back(t.addChild(open.size() > 0 && level > 1 ? open[level - 2] : -1,
                                caption, 0, -1));
    }
    ASSERT_EQ(referenceContents(t), buildContents(t));
  }
}

}  // namespace
}  // namespace zanvo
