#include "txt2htm/txt2htm_page.h"

#include <gtest/gtest.h>

#include "app/model/fake_browser.h"
#include "app/model/window_model.h"
#include "txt2htm/template_a.h"
#include "txt2htm/test_support.h"

namespace zanvo {
namespace {

using testing::FakeBrowser;

using testing::RecordingUi;
using testing::TempFolder;


TEST(TextPage, ConvertShowsWaitCursorMessageAndSwitchesButtons) {
  TempFolder t;
  t.write("a.txt", "a");
  RecordingUi ui;
  WindowModel w;
  attachTextPage(w);
  w.setText(Ctl::编辑框_目录A, t.path());
  w.setEnabled(Ctl::按钮取消转换, false);
  ASSERT_TRUE(w.click(Ctl::按钮批量转换));
  EXPECT_TRUE(t.exists("a.htm"));
  EXPECT_EQ((std::vector<std::string>{"wait", "restore", "message"}), ui.events);
  EXPECT_EQ(std::vector<Text>{gbk("转换ok!")}, ui.messages);
  EXPECT_EQ(std::vector<Text>{gbk("信息：")}, ui.titles);
  EXPECT_FALSE(w.enabled(Ctl::按钮批量转换));
  EXPECT_TRUE(w.enabled(Ctl::按钮取消转换));
  EXPECT_FALSE(w.click(Ctl::按钮批量转换));  // stays disabled

  ASSERT_TRUE(w.click(Ctl::按钮取消转换));
  EXPECT_EQ("a\r\n", t.read("a.txt"));
  EXPECT_EQ(gbk("取消转换ok!"), ui.messages.back());
  EXPECT_EQ("message", ui.events.back());
  EXPECT_EQ(4u, ui.events.size()) << "the undo shows no wait cursor";
  EXPECT_FALSE(w.enabled(Ctl::按钮批量转换));
}

TEST(TextPage, ConvertOfAFolderWithoutTextFilesStillSwitches) {
  TempFolder t;
  RecordingUi ui;
  WindowModel w;
  attachTextPage(w);
  w.setText(Ctl::编辑框_目录A, t.path("missing"));
  w.click(Ctl::按钮批量转换);
  EXPECT_EQ(std::vector<Text>{gbk("转换ok!")}, ui.messages);
  EXPECT_FALSE(w.enabled(Ctl::按钮批量转换));
}

TEST(TextPage, FilesLeftAloneAreNamedInTheMessage) {
  TempFolder t;
  t.write("a.txt", "precious");
  t.mkdir("a.htm");
  RecordingUi ui;
  WindowModel w;
  attachTextPage(w);
  w.setText(Ctl::编辑框_目录A, t.path());
  w.click(Ctl::按钮批量转换);
  ASSERT_EQ(1u, ui.messages.size());
  EXPECT_EQ(0u, ui.messages[0].find(gbk("转换ok!") + "\r\n\r\n1 "));
  EXPECT_NE(ui.messages[0].find(textOfUtf8(t.native("a.txt"))), Text::npos);
  EXPECT_EQ("precious", t.read("a.txt"));
}

TEST(CompletionMessage, NamesTheFirstFewFilesLeftAlone) {
  BatchReport r;
  EXPECT_EQ("ok", completionMessage("ok", r));
  for (int i = 1; i <= 7; ++i)
    r.problems.push_back({"\\b\\f" + std::to_string(i), gbk("无法读取")});
  const Text m = completionMessage("ok", r);
  EXPECT_EQ(0u, m.find("ok\r\n\r\n7 "));
  EXPECT_NE(m.find("/b/f5" + gbk("（无法读取）")), Text::npos);
  EXPECT_EQ(m.find("/b/f6"), Text::npos);
  EXPECT_EQ(m.size() - gbk("……").size(), m.rfind(gbk("……")));
  r.refused = true;
  r.refusal = "no";
  EXPECT_EQ("no", completionMessage("ok", r));
}

TEST(TextPage, EmptyFolderIsRefusedEverywhere) {
  RecordingUi ui;
  WindowModel w;
  attachTextPage(w);
  w.setText(Ctl::编辑框11, "a.txt\r\n");
  w.click(Ctl::按钮批量转换);
  w.click(Ctl::按钮取消转换);
  w.click(Ctl::按钮转网页);
  ASSERT_EQ(3u, ui.messages.size());
  for (const Text& m : ui.messages) EXPECT_EQ(gbk("请先选择目录！"), m);
  EXPECT_TRUE(w.enabled(Ctl::按钮批量转换)) << "nothing was done";
}

TEST(TextPage, ChooseTextFolderListsItsTextFiles) {
  TempFolder t;
  t.write("1.txt", "one");
  t.write("2.txt", "two");
  FakeBrowser browser;
  browser.answer = t.path();
  WindowModel w;
  w.setFolderBrowser(&browser);
  attachTextPage(w);
  w.click(Ctl::按钮2);
  ASSERT_EQ(1u, browser.requests.size());
  EXPECT_EQ(gbk("导入txt目录"), browser.requests[0].title);
  EXPECT_EQ(t.path(), w.text(Ctl::编辑框_目录B));
  EXPECT_EQ("1.txt\r\n2.txt\r\n", w.text(Ctl::编辑框11));

  browser.answer.reset();  // cancelled: the box is emptied, the list kept
  w.click(Ctl::按钮2);
  EXPECT_EQ("", w.text(Ctl::编辑框_目录B));
  EXPECT_EQ("1.txt\r\n2.txt\r\n", w.text(Ctl::编辑框11));
}

TEST(TextPage, MakeBookUsesTheBoxesAndTheWindowsDate) {
  TempFolder t;
  t.write("novel/1.txt", "one\r\ntwo");
  RecordingUi ui;
  WindowModel w;
  attachTextPage(w);
  w.state().dateText = "2001-2-3";
  w.setText(Ctl::编辑框_目录B, t.path("novel"));
  w.setText(Ctl::编辑框11, "1.txt\r\n");
  w.setChecked(Ctl::选择框自动换行, true);
  w.setChecked(Ctl::选择框自动加花, true);
  w.click(Ctl::按钮转网页);
  EXPECT_EQ(std::vector<Text>{"ok"}, ui.messages);
  EXPECT_TRUE(ui.events.size() == 1) << "no wait cursor";
  const std::string page = t.read("novel/000.htm");
  EXPECT_NE(page.find("2001-2-3"), std::string::npos);
  EXPECT_NE(page.find("<font color= #EAF4F1 size= -7>"), std::string::npos);
  EXPECT_EQ(std::string::npos, page.find("<pre>"));
  EXPECT_EQ("one\r\ntwo", t.read("bak/1.txt"));
  EXPECT_EQ("1.txt\r\n", w.text(Ctl::编辑框11));
}

}  // namespace
}  // namespace zanvo
