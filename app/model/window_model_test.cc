#include "app/model/window_model.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/model/fake_browser.h"

namespace zanvo {
namespace {

using testing::FakeBrowser;

TEST(ControlMap, NamesAreUniqueAndParentsAreGroupBoxesOnTheSamePage) {
  std::set<std::string_view> names;
  for (const ControlInfo& control : controlMap()) {
    SCOPED_TRACE(std::string(control.name));
    EXPECT_TRUE(names.insert(control.name).second);
    EXPECT_EQ(&control, &controlInfo(control.id));
    if (control.id == Ctl::高级选择夹1) continue;
    const ControlInfo& parent = controlInfo(control.parent);
    if (control.parent != Ctl::高级选择夹1) {
      EXPECT_EQ(ControlKind::kGroupBox, parent.kind);
      EXPECT_EQ(parent.page, control.page);
      // Inside the group box's frame.
      EXPECT_LE(control.left + control.width, parent.width + 1);
      EXPECT_LE(control.top + control.height, parent.height + 1);
    }
    EXPECT_GE(control.page, 0);
    EXPECT_LE(control.page, 3);
  }
  EXPECT_EQ(kControlCount, names.size());
}

TEST(WindowModel, StartsAsTheControlMapSays) {
  WindowModel w;
  struct Case {
    Ctl id;
    const char* text;
  };
  const Case texts[] = {
      {Ctl::编辑框新类型, ".htm"},   {Ctl::编辑框编码后缀, ".htm"},
      {Ctl::编辑框后缀, ".htm"},     {Ctl::编辑框原类型, ".txt"},
      {Ctl::编辑框新字符, "htm"},    {Ctl::编辑框原字符, "txt"},
      {Ctl::按钮转CHM, "开始生成"},  {Ctl::按钮量改字符, "量 改"},
      {Ctl::编辑框_网页文件夹, ""},  {Ctl::编辑框10, ""},
      {Ctl::标签5, ".hhp文件.hhc文件（非专业人士请勿修改）"},
  };
  for (const Case& c : texts) {
    SCOPED_TRACE(std::string(controlInfo(c.id).name));
    EXPECT_EQ(gbk(c.text), w.text(c.id));
  }
  for (const ControlInfo& control : controlMap()) {
    SCOPED_TRACE(std::string(control.name));
    EXPECT_EQ(control.id != Ctl::按钮转CHM, w.enabled(control.id));
    EXPECT_FALSE(w.checked(control.id));
    if (control.kind == ControlKind::kEdit ||
        control.kind == ControlKind::kMultiLineEdit) {
      const bool hasStartText = !control.startText.empty();
      const bool isExtensionBox =
          control.id == Ctl::编辑框新类型 || control.id == Ctl::编辑框编码后缀 ||
          control.id == Ctl::编辑框后缀 || control.id == Ctl::编辑框原类型 ||
          control.id == Ctl::编辑框新字符 || control.id == Ctl::编辑框原字符;
      EXPECT_EQ(isExtensionBox, hasStartText);
    }
  }
  EXPECT_EQ(0, w.tree().count());
  EXPECT_EQ(-1, w.tree().selection());
  EXPECT_FALSE(w.keepSelectionVisible());
}

TEST(WindowModel, ClickRunsTheHandlerOnlyWhenEnabled) {
  WindowModel w;
  int runs = 0;
  EXPECT_FALSE(w.click(Ctl::按钮6));  // no handler: nothing happens
  w.setClickHandler(Ctl::按钮转CHM, [&](WindowModel&) { ++runs; });
  EXPECT_FALSE(w.click(Ctl::按钮转CHM));
  EXPECT_EQ(0, runs);
  w.setEnabled(Ctl::按钮转CHM, true);
  EXPECT_TRUE(w.click(Ctl::按钮转CHM));
  EXPECT_EQ(1, runs);
}

TEST(WindowModel, SelectionChangeKeepsTheSelectionVisibleFromThenOn) {
  WindowModel w;
  w.tree().addChild(-1, "a", 1, -1);
  EXPECT_FALSE(w.keepSelectionVisible());
  w.tree().setSelection(0);
  EXPECT_TRUE(w.keepSelectionVisible());
  w.tree().setSelection(-1);
  EXPECT_TRUE(w.keepSelectionVisible());
}

TEST(WindowModel, TextStopsAtAZeroByte) {
  WindowModel w;
  w.setText(Ctl::编辑框4, std::string("ab\0cd", 5));
  EXPECT_EQ("ab", w.text(Ctl::编辑框4));
}


TEST(ChooseFolder, FillsTheRequestAndTrimsTheAnswer) {
  struct Case {
    const char* name;
    ChooseFolderParams params;
    std::optional<Text> answer;
    Text expectedTitle;
    unsigned expectedFlags;
    Text expectedResult;
  };
  const Text blank2 = gbk("　");  // full-width blank
  const Case cases[] = {
      {"defaults", {}, Text("\\home\\u\\book"), gbk("请选择一个文件夹"), 0x40,
       "\\home\\u\\book"},
      {"CHM file chooser", {gbk("选择一个CHM文件"), true, {}, true, {}, nullptr},
       Text("\\b.chm"), gbk("选择一个CHM文件"), 0x4050, "\\b.chm"},
      {"old style, edit box", {{}, false, {}, true, false, nullptr}, Text("x"),
       gbk("请选择一个文件夹"), 0x10, "x"},
      {"cancel", {}, std::nullopt, gbk("请选择一个文件夹"), 0x40, ""},
      {"blanks trimmed, tab kept",
       {},
       " " + blank2 + "\\a b\t " + blank2,
       gbk("请选择一个文件夹"),
       0x40,
       "\\a b\t"},
      {"only blanks", {}, Text(512, ' '), gbk("请选择一个文件夹"), 0x40, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeBrowser browser;
    browser.answer = c.answer;
    AppState state;
    state.chooserStartFolder = "old";
    EXPECT_EQ(c.expectedResult, chooseFolder(&browser, state, c.params));
    EXPECT_EQ(c.expectedTitle, browser.last.title);
    EXPECT_EQ(c.expectedFlags, browser.last.flags);
    EXPECT_EQ("", state.chooserStartFolder);
    EXPECT_EQ("", browser.last.startFolder);
  }
}

TEST(ChooseFolder, StartFolderIsKeptForTheDialog) {
  FakeBrowser browser;
  AppState state;
  ChooseFolderParams params;
  params.startFolder = "\\srv\\books";
  chooseFolder(&browser, state, params);
  EXPECT_EQ("\\srv\\books", state.chooserStartFolder);
  EXPECT_EQ("\\srv\\books", browser.last.startFolder);
}

}  // namespace
}  // namespace zanvo
