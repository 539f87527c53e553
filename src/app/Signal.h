#pragma once

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

// The one way a model tells others that something changed. Any number of
// subscribers; a subscription lives as long as the Connection it returned,
// so a view that goes away can never be called back. Emitting while a handler
// connects or disconnects is safe: the emit walks a snapshot of the ids.
class Connection {
 public:
  Connection() = default;
  explicit Connection(std::function<void()> disconnect) : disconnect(std::move(disconnect)) {}
  Connection(Connection&& other) noexcept : disconnect(std::exchange(other.disconnect, {})) {}
  Connection& operator=(Connection&& other) noexcept {
    if (this != &other) {
      Disconnect();
      disconnect = std::exchange(other.disconnect, {});
    }
    return *this;
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() { Disconnect(); }

  void Disconnect() {
    if (disconnect)
      std::exchange(disconnect, {})();
  }
  bool Connected() const { return static_cast<bool>(disconnect); }

 private:
  std::function<void()> disconnect;
};

template <typename... Args>
class Signal {
 public:
  using Slot = std::function<void(Args...)>;

  Signal() : state(std::make_shared<State>()) {}
  Signal(const Signal&) = delete;
  Signal& operator=(const Signal&) = delete;

  // Keep the returned connection for as long as the handler may be called.
  [[nodiscard]] Connection Connect(Slot handler) {
    int id = state->nextId++;
    state->handlers.emplace(id, std::make_shared<Slot>(std::move(handler)));
    std::weak_ptr<State> weak = state;
    return Connection([weak, id] {
      if (auto alive = weak.lock())
        alive->handlers.erase(id);
    });
  }

  void operator()(Args... args) const { Emit(args...); }

  void Emit(Args... args) const {
    // Held for the emit: a handler may destroy the signal's owner.
    std::shared_ptr<State> held = state;
    if (held->handlers.empty())
      return;
    if (held->handlers.size() == 1) {
      // The common case, without a snapshot: nothing runs before it.
      std::shared_ptr<Slot> handler = held->handlers.begin()->second;
      (*handler)(args...);
      return;
    }
    // Copy the handles first: a handler may connect or disconnect others.
    std::vector<std::pair<int, std::shared_ptr<Slot>>> snapshot(held->handlers.begin(),
                                                                held->handlers.end());
    for (auto& [id, handler] : snapshot) {
      if (held->handlers.count(id) != 0)
        (*handler)(args...);
    }
  }

  bool Empty() const { return state->handlers.empty(); }
  std::size_t Count() const { return state->handlers.size(); }

 private:
  struct State {
    std::map<int, std::shared_ptr<Slot>> handlers;
    int nextId = 1;
  };
  std::shared_ptr<State> state;
};

// Several connections held together, released at once (a view's lifetime).
class ConnectionBag {
 public:
  void Add(Connection connection) { connections.push_back(std::move(connection)); }
  ConnectionBag& operator+=(Connection connection) {
    Add(std::move(connection));
    return *this;
  }
  void Clear() { connections.clear(); }

 private:
  std::vector<Connection> connections;
};
