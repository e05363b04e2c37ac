// For tests: installs itself as the user interface for its lifetime and
// records every message box and cursor change.
#ifndef ZANVO_CORE_RECORDING_UI_H_
#define ZANVO_CORE_RECORDING_UI_H_

#include <string>
#include <vector>

#include "core/ui.h"

namespace zanvo::testing {

class RecordingUi : public UserInterface {
 public:
  RecordingUi() { m_previous = setUserInterface(this); }
  ~RecordingUi() override { setUserInterface(m_previous); }
  RecordingUi(const RecordingUi&) = delete;
  RecordingUi& operator=(const RecordingUi&) = delete;

  void messageBox(const Text& text, const Text& title) override {
    messages.push_back(text);
    titles.push_back(title);
    events.push_back("message");
  }
  void showWaitCursor() override { events.push_back("wait"); }
  void restoreCursor() override { events.push_back("restore"); }

  std::vector<Text> messages;       // texts of the message boxes, in order
  std::vector<Text> titles;         // their titles
  std::vector<std::string> events;  // "wait", "restore", "message" in order

 private:
  UserInterface* m_previous = nullptr;
};

}  // namespace zanvo::testing

#endif  // ZANVO_CORE_RECORDING_UI_H_
