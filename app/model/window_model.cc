#include "app/model/window_model.h"

namespace zanvo {

WindowModel::WindowModel() {
  for (const ControlInfo& control : controlMap()) {
    ControlState& s = state(control.id);
    s.text = gbk(control.startText);
    s.enabled = (control.flags & kStartsDisabled) == 0;
    s.checked = false;
  }
  m_tree.setChangeListener([this](bool selectionOnly) {
    if (selectionOnly && !m_keepSelectionVisible) {
      // The tree view's selection-changed handler: from the first change
      // on, the selection stays highlighted while another control has the
      // focus.
      m_keepSelectionVisible = true;
      if (m_observer) m_observer->keepSelectionVisibleChanged();
    }
    if (m_observer) m_observer->treeChanged(selectionOnly);
  });
}

const Text& WindowModel::text(Ctl id) const { return state(id).text; }

void WindowModel::setText(Ctl id, Text text) {
  // A Text holds no zero byte; whatever follows one is not part of it.
  const size_t zero = text.find('\0');
  if (zero != Text::npos) text.resize(zero);
  state(id).text = std::move(text);
  if (m_observer) m_observer->textChanged(id);
}

bool WindowModel::enabled(Ctl id) const { return state(id).enabled; }

void WindowModel::setEnabled(Ctl id, bool enabled) {
  if (state(id).enabled == enabled) return;
  state(id).enabled = enabled;
  if (m_observer) m_observer->enabledChanged(id);
}

bool WindowModel::checked(Ctl id) const { return state(id).checked; }

void WindowModel::setChecked(Ctl id, bool checked) {
  if (state(id).checked == checked) return;
  state(id).checked = checked;
  if (m_observer) m_observer->checkedChanged(id);
}

void WindowModel::setFocus(Ctl id) {
  m_focus = id;
  if (m_observer) m_observer->focusRequested(id);
}

Text WindowModel::chooseFolder(ChooseFolderParams params) {
  params.owner = this;
  return zanvo::chooseFolder(m_browser, m_state, params);
}

void WindowModel::setClickHandler(Ctl id, Handler handler) {
  m_handlers[static_cast<size_t>(id)] = std::move(handler);
}

bool WindowModel::hasClickHandler(Ctl id) const {
  return static_cast<bool>(m_handlers[static_cast<size_t>(id)]);
}

bool WindowModel::click(Ctl id) {
  if (!enabled(id)) return false;
  const Handler& handler = m_handlers[static_cast<size_t>(id)];
  if (!handler) return false;
  // A copy: a handler may replace handlers while it runs.
  Handler run = handler;
  run(*this);
  return true;
}

}  // namespace zanvo
