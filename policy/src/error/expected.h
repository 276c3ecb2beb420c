#pragma once
// A value or the error that prevented it. The type is [[nodiscard]], so a
// call whose error is dropped fails a -Werror build; it is written here, not
// taken from <expected>, because clang 14 with libstdc++ 12 (the fuzz build)
// has no usable std::expected.
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

namespace devctl {

// The error side of an Expected, as a function returns it:
// `return Unexpected(error);`.
template <class E>
class Unexpected {
public:
    constexpr explicit Unexpected(E error) : error_(std::move(error)) {}

    constexpr E& error() & { return error_; }
    constexpr const E& error() const& { return error_; }
    constexpr E&& error() && { return std::move(error_); }

private:
    E error_;
};

template <class E>
Unexpected(E) -> Unexpected<E>;

namespace expected_detail {
template <class U>
inline constexpr bool is_unexpected = false;
template <class G>
inline constexpr bool is_unexpected<Unexpected<G>> = true;
}  // namespace expected_detail

// operator* and operator-> need has_value(); error() needs !has_value().
template <class T, class E>
class [[nodiscard]] Expected {
public:
    constexpr Expected()
        requires std::is_default_constructible_v<T>
        : state_(std::in_place_index<0>) {}

    template <class U = T>
        requires(std::is_constructible_v<T, U &&> && !std::is_same_v<std::remove_cvref_t<U>, Expected> &&
                 !expected_detail::is_unexpected<std::remove_cvref_t<U>>)
    constexpr explicit(!std::is_convertible_v<U&&, T>) Expected(U&& value)
        : state_(std::in_place_index<0>, std::forward<U>(value)) {}

    template <class G>
    constexpr Expected(const Unexpected<G>& error) : state_(std::in_place_index<1>, error.error()) {}
    template <class G>
    constexpr Expected(Unexpected<G>&& error) : state_(std::in_place_index<1>, std::move(error).error()) {}

    constexpr bool has_value() const noexcept { return state_.index() == 0; }
    constexpr explicit operator bool() const noexcept { return has_value(); }

    constexpr T& operator*() & { return *std::get_if<0>(&state_); }
    constexpr const T& operator*() const& { return *std::get_if<0>(&state_); }
    constexpr T&& operator*() && { return std::move(*std::get_if<0>(&state_)); }
    constexpr T* operator->() { return std::get_if<0>(&state_); }
    constexpr const T* operator->() const { return std::get_if<0>(&state_); }

    constexpr E& error() & { return *std::get_if<1>(&state_); }
    constexpr const E& error() const& { return *std::get_if<1>(&state_); }
    constexpr E&& error() && { return std::move(*std::get_if<1>(&state_)); }

    // Equal to a plain value only when holding an equal value.
    template <class U>
        requires(!expected_detail::is_unexpected<U>)
    friend constexpr bool operator==(const Expected& x, const U& value) {
        return x.has_value() && *x == value;
    }

private:
    // Indexed, not typed, so that T and E may be the same type.
    std::variant<T, E> state_;
};

// Success carries nothing; a default-constructed one is a success.
template <class E>
class [[nodiscard]] Expected<void, E> {
public:
    constexpr Expected() noexcept = default;

    template <class G>
    constexpr Expected(const Unexpected<G>& error) : error_(std::in_place, error.error()) {}
    template <class G>
    constexpr Expected(Unexpected<G>&& error) : error_(std::in_place, std::move(error).error()) {}

    constexpr bool has_value() const noexcept { return !error_.has_value(); }
    constexpr explicit operator bool() const noexcept { return has_value(); }

    constexpr E& error() & { return *error_; }
    constexpr const E& error() const& { return *error_; }
    constexpr E&& error() && { return std::move(*error_); }

private:
    std::optional<E> error_;
};

}  // namespace devctl
