#include "tools/tools_page.h"

#include <gtest/gtest.h>

#include "tools/test_support.h"

namespace zanvo {
namespace {

using testing::RecordingUi;
using testing::TempFolder;

class ToolsPageTest : public ::testing::Test {
 protected:
  ToolsPageTest() { attachToolsPage(w); }
  WindowModel w;
  RecordingUi ui;
  TempFolder dir;
};

TEST_F(ToolsPageTest, ButtonsStartWithTheirBoxesTexts) {
  EXPECT_TRUE(w.hasClickHandler(Ctl::按钮编码转换));
  EXPECT_TRUE(w.hasClickHandler(Ctl::按钮量改字符));
  EXPECT_TRUE(w.hasClickHandler(Ctl::按钮精简网页));
  EXPECT_EQ(".htm", w.text(Ctl::编辑框编码后缀));
  EXPECT_EQ("txt", w.text(Ctl::编辑框原字符));
  EXPECT_EQ("htm", w.text(Ctl::编辑框新字符));
}

TEST_F(ToolsPageTest, ConvertEncoding) {
  dir.write("a.htm", "中");
  w.setText(Ctl::编辑框编码转换路径, dir.text());

  ASSERT_TRUE(w.click(Ctl::按钮编码转换));

  EXPECT_EQ("\xD6\xD0", dir.read("处理后/a.htm"));
  ASSERT_EQ(1u, ui.messages.size());
  EXPECT_EQ("ok!", ui.messages[0]);
  EXPECT_EQ(gbk("信息："), ui.titles[0]);
  EXPECT_FALSE(w.enabled(Ctl::按钮编码转换));
  EXPECT_EQ("", w.text(Ctl::编辑框编码转换路径));
  EXPECT_EQ(".htm", w.text(Ctl::编辑框编码后缀));
  EXPECT_EQ(std::vector<std::string>{"message"}, ui.events);  // no wait cursor
  EXPECT_FALSE(w.click(Ctl::按钮编码转换));  // disabled for good
}

TEST_F(ToolsPageTest, RenameFiles) {
  dir.write("a.txt", "a");
  w.setText(Ctl::编辑框路径改字符, dir.text());

  ASSERT_TRUE(w.click(Ctl::按钮量改字符));

  EXPECT_TRUE(dir.exists("a.htm"));
  ASSERT_EQ(1u, ui.messages.size());
  EXPECT_EQ(gbk("批量更名 ok!"), ui.messages[0]);
  EXPECT_EQ(gbk("提示"), ui.titles[0]);
  EXPECT_FALSE(w.enabled(Ctl::按钮量改字符));
  EXPECT_EQ("", w.text(Ctl::编辑框路径改字符));
  EXPECT_EQ("txt", w.text(Ctl::编辑框原字符));
}

// A failed file does not turn the message into a plain success.
TEST_F(ToolsPageTest, RenameCollisionIsNamedInTheMessage) {
  dir.write("x.txt", "1");
  dir.write("x.htm", "2");
  w.setText(Ctl::编辑框路径改字符, dir.text());

  w.click(Ctl::按钮量改字符);

  ASSERT_EQ(1u, ui.messages.size());
  const Text& m = ui.messages[0];
  EXPECT_EQ(0u, m.find(gbk("批量更名 ok!")));
  EXPECT_NE(Text::npos, m.find(gbk("1 个文件未能处理")));
  EXPECT_NE(Text::npos, m.find("x.txt"));
  EXPECT_EQ("1", dir.read("x.txt"));
  EXPECT_EQ("2", dir.read("x.htm"));
}

TEST_F(ToolsPageTest, SimplifyPages) {
  dir.write("a.htm", "<body>keep</body>");
  w.setText(Ctl::编辑框精简网页, dir.text());
  w.setText(Ctl::编辑框前标记, "<BODY>");
  w.setText(Ctl::编辑框后标记, "</BODY>");

  ASSERT_TRUE(w.click(Ctl::按钮精简网页));

  EXPECT_FALSE(dir.exists("a.htm"));
  EXPECT_TRUE(dir.exists("处理后/a.htm"));
  EXPECT_EQ((std::vector<std::string>{"wait", "restore", "message"}), ui.events);
  ASSERT_EQ(1u, ui.messages.size());
  EXPECT_EQ(gbk("精简网页结束!"), ui.messages[0]);
  EXPECT_EQ(gbk("信息："), ui.titles[0]);
  EXPECT_FALSE(w.enabled(Ctl::按钮精简网页));
  EXPECT_EQ(dir.text(), w.text(Ctl::编辑框精简网页));  // the folder box keeps its text
}

// The marker boxes start empty: a click straight away must not wipe the
// folder.
TEST_F(ToolsPageTest, SimplifyWithStartStateMarkersKeepsEveryPage) {
  dir.write("a.htm", "page a");
  dir.write("b.htm", "page b");
  w.setText(Ctl::编辑框精简网页, dir.text());

  w.click(Ctl::按钮精简网页);

  EXPECT_EQ("page a", dir.read("a.htm"));
  EXPECT_EQ("page b", dir.read("b.htm"));
  ASSERT_EQ(1u, ui.messages.size());
  EXPECT_EQ(0u, ui.messages[0].find(gbk("精简网页结束!")));
  EXPECT_NE(Text::npos, ui.messages[0].find(gbk("2 个文件未能处理")));
}

}  // namespace
}  // namespace zanvo
