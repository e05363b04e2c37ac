#include "chmfile/hhp_project.h"

#include <gtest/gtest.h>

namespace zanvo::chm {
namespace {

TEST(ProjectReader, WindowTemplateFieldsAndEmptyFields) {
  // The project the window writes: CR LF, no "Contents file=", and a window
  // whose navigation width and last five fields are empty.
  const std::string text =
      "[OPTIONS]\r\nDisplay compile progress=no\r\nDefault Window=win\r\n"
      "Compiled file=book.chm\r\nDefault topic=index.htm\r\n\r\n[WINDOWS]\r\n"
      "win=\"book\",\"book.hhc\",,\"index.htm\",\"index.htm\",,,,,0x040120,,0x304E,"
      "[0,0,1010,738],0x0,0x0,,,,,\r\n\r\n[FILES]\r\n\r\nch1\\a.htm\r\nindex.htm\r\n";
  std::vector<Diagnostic> diags;
  const Project p = parseProject(text, "book.hhp", diags);
  EXPECT_TRUE(diags.empty());
  EXPECT_EQ("book.chm", p.compiledFile.value);
  EXPECT_EQ(4, p.compiledFile.line);
  EXPECT_FALSE(p.contentsFile.given());
  EXPECT_FALSE(projectFlag(p.displayProgress));
  ASSERT_EQ(1u, p.windows.size());
  const WindowDefinition* w = p.findWindow("WIN");
  ASSERT_NE(nullptr, w);
  EXPECT_EQ(8, w->line);
  EXPECT_EQ("book", w->title.value_or("?"));
  EXPECT_EQ("book.hhc", w->contentsFile.value_or("?"));
  EXPECT_FALSE(w->indexFile);
  EXPECT_EQ("index.htm", w->defaultTopic.value_or("?"));
  EXPECT_EQ("index.htm", w->home.value_or("?"));
  EXPECT_FALSE(w->jump1Url || w->jump1Text || w->jump2Url || w->jump2Text);
  EXPECT_EQ(0x040120u, w->navigationStyle.value_or(0));
  EXPECT_FALSE(w->navigationWidth) << "empty width must stay unset, 0 hides the pane";
  EXPECT_EQ(0x304Eu, w->buttons.value_or(0));
  ASSERT_TRUE(w->position);
  EXPECT_EQ((std::array<int32_t, 4>{0, 0, 1010, 738}), *w->position);
  EXPECT_EQ(0u, w->styles.value_or(99));
  EXPECT_EQ(0u, w->extendedStyles.value_or(99));
  EXPECT_FALSE(w->showState || w->navigationClosed || w->defaultPane || w->tabPosition ||
               w->notifyId);
  ASSERT_EQ(2u, p.files.size());
  EXPECT_EQ("ch1\\a.htm", p.files[0].path);
  EXPECT_EQ(12, p.files[0].line);
}

TEST(ProjectReader, CommentsUnknownKeysAndMalformedLines) {
  const std::string text =
      "; a comment\n[options]\ntitle=\xD6\xD0\xCE\xC4 Book\nLanguage=0x404 Chinese (Taiwan)\n"
      "Colour=blue\nno equals sign here\n[WINDOWS]\nmain=\"t\",,,,,,,,,notanumber\n"
      "[MAP]\n#define X 1\n[FILES]\n  a.htm  \n;skipped.htm\n";
  std::vector<Diagnostic> diags;
  const Project p = parseProject(text, "p.hhp", diags);
  EXPECT_EQ("\xD6\xD0\xCE\xC4 Book", p.title.value) << "code page bytes are kept";
  EXPECT_EQ(0x404u, parseProjectNumber(p.language.value).value_or(0));
  ASSERT_EQ(1u, p.files.size());
  EXPECT_EQ("a.htm", p.files[0].path);
  struct Expect { bool error; int line; const char* contains; };
  const Expect expected[] = {
      {false, 5, "Colour"},
      {true, 6, "malformed line"},
      {true, 8, "malformed window"},
      {false, 9, "[MAP]"},
  };
  ASSERT_EQ(std::size(expected), diags.size());
  for (size_t i = 0; i < diags.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(expected[i].error, diags[i].error);
    EXPECT_EQ(expected[i].line, diags[i].line);
    EXPECT_EQ("p.hhp", diags[i].file);
    EXPECT_NE(std::string::npos, diags[i].text.find(expected[i].contains)) << diags[i].text;
  }
}

TEST(ProjectReader, Numbers) {
  struct Case { const char* text; std::optional<uint32_t> value; };
  const Case cases[] = {{"0x804", 0x804}, {"2052", 2052}, {" 0X0804 Chinese", 0x804},
                        {"", std::nullopt}, {"zh", std::nullopt}, {"0x", std::nullopt},
                        {"99999999999", std::nullopt}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.value, parseProjectNumber(c.text));
  }
}

}  // namespace
}  // namespace zanvo::chm
