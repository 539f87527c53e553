#pragma once

#include <string>
#include <vector>

#include "ui/CQtUi.h"

// The real Qt Ui with its dialog views, except that message boxes are only
// recorded (and answered OK): a test sees what the program said without a
// box to close.
class RecordingQtUi : public CQtUi {
 public:
  struct Message {
    std::string text;
    std::string caption;
  };

  MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgButtons,
                       MsgIcon) override {
    messages.push_back({text, caption});
    return MsgAnswer::Ok;
  }

  // "caption: text" of every message, for failure output.
  std::string Summary() const {
    std::string summary;
    for (const Message& m : messages) {
      summary += m.caption + ": " + m.text + "\n";
    }
    return summary;
  }

  std::vector<Message> messages;
};
