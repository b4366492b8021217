// A value or an error: how every layer reports failure (no exceptions cross a layer).
#pragma once

#include <cstdlib>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace zevo {

// Wraps an error so that Result<T, E> can be built from it even when T and E are the same type.
template <class E>
struct Err {
  E error;
};
template <class E>
Err(E) -> Err<E>;

inline Err<std::string> fail(std::string text) { return Err<std::string>{std::move(text)}; }

template <class T, class E = std::string>
class Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  template <class F, class = std::enable_if_t<std::is_constructible_v<E, F&&>>>
  Result(Err<F> error) : state_(std::in_place_index<1>, E(std::move(error.error))) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return *held<0>(state_); }
  const T& value() const& { return *held<0>(state_); }
  T&& value() && { return std::move(*held<0>(state_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

  E& error() & { return *held<1>(state_); }
  const E& error() const& { return *held<1>(state_); }
  E&& error() && { return std::move(*held<1>(state_)); }

 private:
  // Reading the side that is not held is a programming error. It ends the
  // process here rather than throwing (std::get would), so that no caller of
  // these accessors can throw.
  template <std::size_t I, class State>
  static auto* held(State& state) {
    auto* side = std::get_if<I>(&state);
    if (side == nullptr) std::abort();
    return side;
  }

  std::variant<T, E> state_;
};

// Success without a value.
struct Unit {};
template <class E = std::string>
using Status = Result<Unit, E>;
inline Status<> ok_status() { return Unit{}; }

}  // namespace zevo
