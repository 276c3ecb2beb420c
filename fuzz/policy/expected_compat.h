#pragma once
// clang 14 with libstdc++ 12 leaves <expected> empty (it needs newer
// concepts support). The fuzz build force-includes this header to supply the
// small part of std::expected that the policy model uses; with a complete
// standard library it does nothing.
#include <version>
#if !defined(__cpp_lib_expected)
#include <type_traits>
#include <utility>
#include <variant>

namespace std {

template <class E>
class unexpected {
public:
    constexpr explicit unexpected(E error) : error_(std::move(error)) {}
    constexpr E& error() & { return error_; }
    constexpr const E& error() const& { return error_; }
    constexpr E&& error() && { return std::move(error_); }

private:
    E error_;
};

template <class E>
unexpected(E) -> unexpected<E>;

template <class T, class E>
class expected {
public:
    using value_type = T;
    using error_type = E;

    constexpr expected() : state_(in_place_index<0>) {}
    template <class U = T>
        requires(is_constructible_v<T, U &&> && !is_same_v<remove_cvref_t<U>, expected>)
    constexpr expected(U&& value) : state_(in_place_index<0>, std::forward<U>(value)) {}
    template <class G>
    constexpr expected(const unexpected<G>& error) : state_(in_place_index<1>, error.error()) {}
    template <class G>
    constexpr expected(unexpected<G>&& error) : state_(in_place_index<1>, std::move(error).error()) {}

    constexpr bool has_value() const { return state_.index() == 0; }
    constexpr explicit operator bool() const { return has_value(); }
    constexpr T& operator*() & { return std::get<0>(state_); }
    constexpr const T& operator*() const& { return std::get<0>(state_); }
    constexpr T* operator->() { return &std::get<0>(state_); }
    constexpr const T* operator->() const { return &std::get<0>(state_); }
    constexpr T& value() & { return std::get<0>(state_); }
    constexpr E& error() & { return std::get<1>(state_); }
    constexpr const E& error() const& { return std::get<1>(state_); }

private:
    variant<T, E> state_;
};

}  // namespace std
#endif
