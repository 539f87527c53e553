#pragma once

#include <functional>
#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <unordered_map>
#include <utility>

#include "app/CDialogModel.h"

// What a front end does with each kind of dialog model (build its Qt view,
// type an answer into it), keyed by the model's exact type. Registering a
// handler that does not take that model type does not compile, and a lookup
// only ever hands a handler the type it was registered for.
template <typename Result, typename... Extra>
class CDialogRegistry {
 public:
  using Handler = std::function<Result(CDialogModel&, Extra...)>;

  template <typename Model, typename Function>
  void Register(Function function) {
    static_assert(std::is_base_of_v<CDialogModel, Model>, "dialog models derive from CDialogModel");
    static_assert(std::is_invocable_r_v<Result, Function, Model&, Extra...>,
                  "the handler must take the model type it is registered for");
    handlers[std::type_index(typeid(Model))] = [function](CDialogModel& model, Extra... extra) {
      return function(static_cast<Model&>(model), std::forward<Extra>(extra)...);
    };
  }

  // Null when nothing is registered for the model's type.
  const Handler* Find(const CDialogModel& model) const {
    auto found = handlers.find(std::type_index(typeid(model)));
    return found == handlers.end() ? nullptr : &found->second;
  }

  template <typename Model>
  bool Has() const {
    return handlers.count(std::type_index(typeid(Model))) != 0;
  }

 private:
  std::unordered_map<std::type_index, Handler> handlers;
};
