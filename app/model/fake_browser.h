// For tests: a chooser that answers every request with a fixed path
// (nullopt: the user cancels) and remembers what it was asked.
#ifndef ZANVO_APP_MODEL_FAKE_BROWSER_H_
#define ZANVO_APP_MODEL_FAKE_BROWSER_H_

#include <optional>
#include <utility>
#include <vector>

#include "app/model/chooser.h"

namespace zanvo::testing {

class FakeBrowser : public FolderBrowser {
 public:
  explicit FakeBrowser(std::optional<Text> answer = std::nullopt)
      : answer(std::move(answer)) {}
  std::optional<Text> browse(const BrowseRequest& request) override {
    last = request;
    requests.push_back(request);
    ++calls;
    return answer;
  }

  std::optional<Text> answer;
  BrowseRequest last;                  // the latest request
  std::vector<BrowseRequest> requests;  // every request, in order
  int calls = 0;
};

}  // namespace zanvo::testing

#endif  // ZANVO_APP_MODEL_FAKE_BROWSER_H_
