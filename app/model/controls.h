// The control map of the main window: every control with its kind, page or
// group box, place, size and start text.  Places are relative to the tab
// control's top-left corner (tab bar included) for controls on a page, and
// to the group box for controls inside one.
//
// Each control name appears once, in ZANVO_CONTROLS; the enum `Ctl` and the
// table `controlMap()` are both made from it, so a misspelt name is a
// compile error.
#ifndef ZANVO_APP_MODEL_CONTROLS_H_
#define ZANVO_APP_MODEL_CONTROLS_H_

#include <cstddef>
#include <span>
#include <string_view>

namespace zanvo {

enum class ControlKind {
  kTabControl,
  kLabel,
  kButton,
  kEdit,          // single-line edit box
  kMultiLineEdit,
  kGroupBox,
  kCheckBox,
  kTreeView,
};

enum ScrollBars : unsigned {
  kNoScroll = 0,
  kVerticalScroll = 1,
  kHorizontalScroll = 2,
};

// Flags of a control.
enum ControlFlags : unsigned {
  kNoFlags = 0,
  kStartsDisabled = 1,
  // The box holds a folder or file path: the view shows it with "/" and
  // hands it to the logic with "\".
  kPathBox = 2,
};

// X(name, kind, page 0-3, group box or 高级选择夹1 for a page-level control,
//   left, top, width, height, start text (UTF-8), scroll bars, flags)
// The tab control itself is listed with page -1 and no parent.
#define ZANVO_CONTROLS(X)                                                      \
  X(高级选择夹1, kTabControl, -1, 高级选择夹1, 4, 3, 708, 461, "", kNoScroll, kNoFlags) \
  /* Page 1, "生成CHM" */                                                      \
  X(标签5, kLabel, 0, 高级选择夹1, 481, 388, 195, 24, ".hhp文件.hhc文件（非专业人士请勿修改）", kNoScroll, kNoFlags) \
  X(标签3, kLabel, 0, 高级选择夹1, 256, 389, 208, 24, ".hhc文件（非专业人士请勿修改）", kNoScroll, kNoFlags) \
  X(按钮_导入文件夹, kButton, 0, 高级选择夹1, 113, 46, 108, 32, "导入网页", kNoScroll, kNoFlags) \
  X(标签22, kLabel, 0, 高级选择夹1, 19, 96, 69, 16, "网页文件夹：", kNoScroll, kNoFlags) \
  X(编辑框_网页文件夹, kEdit, 0, 高级选择夹1, 88, 94, 612, 20, "", kNoScroll, kPathBox) \
  X(树型框1, kTreeView, 0, 高级选择夹1, 16, 121, 224, 259, "", kNoScroll, kNoFlags) \
  X(编辑框10, kMultiLineEdit, 0, 高级选择夹1, 248, 122, 224, 260, "", kVerticalScroll | kHorizontalScroll, kNoFlags) \
  X(按钮_准备生成, kButton, 0, 高级选择夹1, 259, 46, 108, 32, "准备生成", kNoScroll, kNoFlags) \
  X(按钮转CHM, kButton, 0, 高级选择夹1, 406, 46, 108, 32, "开始生成", kNoScroll, kStartsDisabled) \
  X(编辑框4, kMultiLineEdit, 0, 高级选择夹1, 480, 122, 224, 259, "", kVerticalScroll, kNoFlags) \
  X(按钮过滤, kButton, 0, 高级选择夹1, 210, 387, 38, 24, "过滤", kNoScroll, kNoFlags) \
  X(按钮删除子节点, kButton, 0, 高级选择夹1, 141, 387, 68, 24, "删除子节点", kNoScroll, kNoFlags) \
  X(按钮删除节点, kButton, 0, 高级选择夹1, 84, 387, 56, 24, "删除节点", kNoScroll, kNoFlags) \
  X(按钮下移, kButton, 0, 高级选择夹1, 50, 387, 32, 24, "下移", kNoScroll, kNoFlags) \
  X(按钮上移, kButton, 0, 高级选择夹1, 16, 387, 32, 24, "上移", kNoScroll, kNoFlags) \
  /* Page 2, "反编译CHM" */                                                    \
  X(按钮CHM解包, kButton, 1, 高级选择夹1, 164, 208, 119, 34, "CHM解包", kNoScroll, kNoFlags) \
  X(按钮6, kButton, 1, 高级选择夹1, 316, 208, 119, 34, "重新填写", kNoScroll, kNoFlags) \
  X(按钮4, kButton, 1, 高级选择夹1, 580, 123, 72, 32, "选择", kNoScroll, kNoFlags) \
  X(编辑框_编译后文件夹, kEdit, 1, 高级选择夹1, 132, 125, 432, 32, "", kNoScroll, kPathBox) \
  X(标签2, kLabel, 1, 高级选择夹1, 12, 125, 104, 24, "保存在哪个文件夹？", kNoScroll, kNoFlags) \
  X(按钮3, kButton, 1, 高级选择夹1, 580, 69, 72, 32, "选择", kNoScroll, kNoFlags) \
  X(标签1, kLabel, 1, 高级选择夹1, 12, 69, 104, 24, "反编译哪个文件？", kNoScroll, kNoFlags) \
  X(编辑框_待编译CHM, kEdit, 1, 高级选择夹1, 132, 69, 432, 32, "", kNoScroll, kPathBox) \
  /* Page 3, "文本转网页" */                                                   \
  X(标签4, kLabel, 2, 高级选择夹1, 10, 33, 264, 16, "目录中文档顺序（需要时用手工编辑来排序）：", kNoScroll, kNoFlags) \
  X(分组框1, kGroupBox, 2, 高级选择夹1, 16, 54, 356, 111, "TXT2HTM模板A", kNoScroll, kNoFlags) \
  X(分组框2, kGroupBox, 2, 高级选择夹1, 16, 173, 356, 256, "TXT2HTM模板B", kNoScroll, kNoFlags) \
  X(按钮1, kButton, 2, 分组框1, 287, 16, 63, 18, "选择目录", kNoScroll, kNoFlags) \
  X(按钮取消转换, kButton, 2, 分组框1, 103, 81, 56, 21, "取 消", kNoScroll, kNoFlags) \
  X(按钮批量转换, kButton, 2, 分组框1, 31, 81, 56, 21, "批量转换", kNoScroll, kNoFlags) \
  X(标签7, kLabel, 2, 分组框1, 119, 48, 40, 18, "新类型", kNoScroll, kNoFlags) \
  X(标签14, kLabel, 2, 分组框1, 7, 48, 40, 24, "原类型", kNoScroll, kNoFlags) \
  X(编辑框新类型, kEdit, 2, 分组框1, 162, 48, 34, 18, ".htm", kNoScroll, kNoFlags) \
  X(编辑框原类型, kEdit, 2, 分组框1, 48, 51, 30, 18, ".txt", kNoScroll, kNoFlags) \
  X(标签15, kLabel, 2, 分组框1, 7, 16, 32, 24, "目录：", kNoScroll, kNoFlags) \
  X(编辑框_目录A, kEdit, 2, 分组框1, 46, 18, 230, 16, "", kNoScroll, kPathBox) \
  X(按钮2, kButton, 2, 分组框2, 280, 13, 64, 25, "选择目录", kNoScroll, kNoFlags) \
  X(编辑框11, kMultiLineEdit, 2, 分组框2, 6, 79, 340, 163, "", kVerticalScroll, kNoFlags) \
  X(按钮转网页, kButton, 2, 分组框2, 280, 44, 64, 25, "转网页", kNoScroll, kNoFlags) \
  X(选择框自动加花, kCheckBox, 2, 分组框2, 120, 48, 68, 16, "自动加花", kNoScroll, kNoFlags) \
  X(选择框自动换行, kCheckBox, 2, 分组框2, 24, 48, 68, 16, "自动换行", kNoScroll, kNoFlags) \
  X(标签21, kLabel, 2, 分组框2, 11, 20, 32, 16, "目录：", kNoScroll, kNoFlags) \
  X(编辑框_目录B, kEdit, 2, 分组框2, 58, 20, 210, 16, "", kNoScroll, kPathBox) \
  /* Page 4, "辅助工具" */                                                     \
  X(分组框7, kGroupBox, 3, 高级选择夹1, 24, 257, 238, 116, "精简网页", kNoScroll, kNoFlags) \
  X(分组框6, kGroupBox, 3, 高级选择夹1, 24, 152, 238, 94, "批量改文件名", kNoScroll, kNoFlags) \
  X(分组框分割2, kGroupBox, 3, 高级选择夹1, 24, 40, 238, 101, "utf8-gb2312", kNoScroll, kNoFlags) \
  X(按钮8, kButton, 3, 分组框7, 159, 17, 65, 29, "选择目录", kNoScroll, kNoFlags) \
  X(编辑框前标记, kEdit, 3, 分组框7, 47, 64, 87, 16, "", kNoScroll, kNoFlags) \
  X(编辑框后标记, kEdit, 3, 分组框7, 47, 83, 87, 16, "", kNoScroll, kNoFlags) \
  X(按钮精简网页, kButton, 3, 分组框7, 159, 65, 65, 29, "批量处理", kNoScroll, kNoFlags) \
  X(编辑框精简网页, kEdit, 3, 分组框7, 47, 20, 87, 16, "", kNoScroll, kPathBox) \
  X(标签9, kLabel, 3, 分组框7, 6, 21, 32, 16, "目录：", kNoScroll, kNoFlags) \
  X(标签10, kLabel, 3, 分组框7, 6, 41, 40, 16, "原后缀", kNoScroll, kNoFlags) \
  X(标签11, kLabel, 3, 分组框7, 6, 63, 40, 16, "前标记", kNoScroll, kNoFlags) \
  X(标签12, kLabel, 3, 分组框7, 6, 83, 40, 16, "后标记", kNoScroll, kNoFlags) \
  X(编辑框后缀, kEdit, 3, 分组框7, 47, 42, 87, 16, ".htm", kNoScroll, kNoFlags) \
  X(按钮7, kButton, 3, 分组框6, 160, 16, 56, 29, "选择目录", kNoScroll, kNoFlags) \
  X(按钮量改字符, kButton, 3, 分组框6, 160, 57, 56, 29, "量 改", kNoScroll, kNoFlags) \
  X(标签17, kLabel, 3, 分组框6, 8, 63, 40, 24, "新类型", kNoScroll, kNoFlags) \
  X(标签18, kLabel, 3, 分组框6, 8, 40, 40, 24, "原类型", kNoScroll, kNoFlags) \
  X(编辑框新字符, kEdit, 3, 分组框6, 49, 65, 98, 16, "htm", kNoScroll, kNoFlags) \
  X(编辑框原字符, kEdit, 3, 分组框6, 49, 42, 98, 16, "txt", kNoScroll, kNoFlags) \
  X(标签19, kLabel, 3, 分组框6, 8, 16, 32, 24, "目录：", kNoScroll, kNoFlags) \
  X(编辑框路径改字符, kEdit, 3, 分组框6, 48, 18, 98, 16, "", kNoScroll, kPathBox) \
  X(按钮5, kButton, 3, 分组框分割2, 162, 16, 63, 29, "选择目录", kNoScroll, kNoFlags) \
  X(按钮编码转换, kButton, 3, 分组框分割2, 162, 56, 63, 29, "编码转换", kNoScroll, kNoFlags) \
  X(编辑框编码后缀, kEdit, 3, 分组框分割2, 45, 62, 103, 22, ".htm", kNoScroll, kNoFlags) \
  X(标签8, kLabel, 3, 分组框分割2, 5, 63, 33, 16, "后缀：", kNoScroll, kNoFlags) \
  X(编辑框编码转换路径, kEdit, 3, 分组框分割2, 45, 25, 103, 22, "", kNoScroll, kPathBox) \
  X(标签16, kLabel, 3, 分组框分割2, 6, 26, 32, 16, "目录：", kNoScroll, kNoFlags)

enum class Ctl : int {
#define ZANVO_CONTROL_ENUM(name, ...) name,
  ZANVO_CONTROLS(ZANVO_CONTROL_ENUM)
#undef ZANVO_CONTROL_ENUM
};

struct ControlInfo {
  Ctl id;
  std::string_view name;       // the form name, UTF-8
  ControlKind kind;
  int page;                    // 0-3; -1 for the tab control
  Ctl parent;                  // 高级选择夹1, or the group box
  int left, top, width, height;
  std::string_view startText;  // UTF-8 (the model keeps code page 936)
  unsigned scrollBars;
  unsigned flags;
};

// Every control, in the order of ZANVO_CONTROLS.
std::span<const ControlInfo> controlMap();
const ControlInfo& controlInfo(Ctl id);
#define ZANVO_CONTROL_COUNT(...) +1
inline constexpr size_t kControlCount = 0 ZANVO_CONTROLS(ZANVO_CONTROL_COUNT);
#undef ZANVO_CONTROL_COUNT

// The four page captions of 高级选择夹1, in order (UTF-8).
std::span<const std::string_view> pageCaptions();

// The window: caption (UTF-8), place and client size.
struct WindowLayout {
  std::string_view caption;
  int left, top, width, height;
};
const WindowLayout& windowLayout();

// The version resource of the program (UTF-8), also used for the desktop
// entry.
struct VersionInfo {
  std::string_view productName;
  std::string_view description;
  std::string_view fileVersion;
  std::string_view productVersion;
};
const VersionInfo& versionInfo();

}  // namespace zanvo

#endif  // ZANVO_APP_MODEL_CONTROLS_H_
