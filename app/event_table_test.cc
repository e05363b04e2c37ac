#include <gtest/gtest.h>

#include <string>

#include "app/model/fake_browser.h"
#include "app/startup.h"

namespace zanvo {
namespace {

using testing::FakeBrowser;


TEST(PlainChoosers, WriteTheirBoxChosenOrCancelled) {
  struct Case {
    Ctl button;
    const char* title;
    unsigned flags;
    Ctl target;
  };
  const Case cases[] = {
      {Ctl::按钮3, "选择一个CHM文件", 0x4050, Ctl::编辑框_待编译CHM},
      {Ctl::按钮4, "编译后的文件夹保存位置", 0x50, Ctl::编辑框_编译后文件夹},
      {Ctl::按钮1, "导入txt目录", 0x40, Ctl::编辑框_目录A},
      {Ctl::按钮5, "导入目录", 0x40, Ctl::编辑框编码转换路径},
      {Ctl::按钮7, "导入目录", 0x40, Ctl::编辑框路径改字符},
      {Ctl::按钮8, "导入目录", 0x40, Ctl::编辑框精简网页},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(controlInfo(c.button).name));
    WindowModel w;
    FakeBrowser browser;
    w.setFolderBrowser(&browser);
    attachHandlers(w);
    browser.answer = gbk("  \\home\\u\\电子书　");
    EXPECT_TRUE(w.click(c.button));
    EXPECT_EQ(gbk("\\home\\u\\电子书"), w.text(c.target));
    EXPECT_EQ(gbk(c.title), browser.last.title);
    EXPECT_EQ(c.flags, browser.last.flags);
    EXPECT_EQ("", browser.last.startFolder);
    EXPECT_EQ(&w, browser.last.owner);
    browser.answer.reset();  // cancel: the box is emptied
    EXPECT_TRUE(w.click(c.button));
    EXPECT_EQ("", w.text(c.target));
  }
}

TEST(EventTable, EveryButtonButTheResetButtonHasItsHandler) {
  WindowModel w;
  attachHandlers(w);
  for (const ControlInfo& control : controlMap()) {
    SCOPED_TRACE(std::string(control.name));
    EXPECT_EQ(control.kind == ControlKind::kButton && control.id != Ctl::按钮6,
              w.hasClickHandler(control.id));
  }
}

TEST(EventTable, ResetButtonDoesNothing) {
  WindowModel w;
  attachHandlers(w);
  EXPECT_FALSE(w.hasClickHandler(Ctl::按钮6));
  EXPECT_FALSE(w.click(Ctl::按钮6));
}

}  // namespace
}  // namespace zanvo
