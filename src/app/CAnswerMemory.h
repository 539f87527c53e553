#pragma once

#include <map>
#include <optional>
#include <string>

// Answers given to the drivers' information requests, remembered for the
// rest of the run so the next request of the same kind offers them again.
class CAnswerMemory {
 public:
  std::optional<std::string> Find(const std::string& key) const {
    auto found = answers.find(key);
    if (found == answers.end()) {
      return std::nullopt;
    }
    return found->second;
  }
  void Remember(const std::string& key, const std::string& answer) { answers[key] = answer; }
  void Clear() { answers.clear(); }

 private:
  std::map<std::string, std::string> answers;
};
