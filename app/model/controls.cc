#include "app/model/controls.h"

#include <array>

namespace zanvo {
namespace {

constexpr std::array<ControlInfo, kControlCount> kControls = {{
#define ZANVO_CONTROL_INFO(name, kind, page, parent, left, top, width, \
                           height, text, scroll, flags)               \
  {Ctl::name, #name, ControlKind::kind, page, Ctl::parent, left, top,  \
   width, height, text, scroll, flags},
    ZANVO_CONTROLS(ZANVO_CONTROL_INFO)
#undef ZANVO_CONTROL_INFO
}};

constexpr std::array<std::string_view, 4> kPageCaptions = {
    "生成CHM", "反编译CHM", "文本转网页", "辅助工具"};

constexpr WindowLayout kWindow = {
    "ZanvoCHM电子书生成器（https://zanvochm.example.org）", 50, 50, 722, 497};

constexpr VersionInfo kVersion = {
    "ZanvoCHM电子书生成器",
    "用于编译CHM电子书，也可以用于反编译别人的电子书。",
    "1.0.0.0",
    "1.0.0.0",
};

}  // namespace

std::span<const ControlInfo> controlMap() { return kControls; }

const ControlInfo& controlInfo(Ctl id) {
  return kControls[static_cast<size_t>(id)];
}

std::span<const std::string_view> pageCaptions() { return kPageCaptions; }

const WindowLayout& windowLayout() { return kWindow; }

const VersionInfo& versionInfo() { return kVersion; }

}  // namespace zanvo
