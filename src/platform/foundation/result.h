#pragma once
// Result<T>: a value or the reason it could not be had. Fallible platform functions return
// one; the pages log the reason and carry on, the front ends turn it into a message.
#include <string>
#include <utility>
#include <variant>

namespace vx {

struct Error {
    std::string reason;
    int code = 0;  // the errno behind the failure, when there is one
};

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Error error) : state_(std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    const std::string& error() const { return std::get<1>(state_).reason; }
    int errorCode() const { return std::get<1>(state_).code; }

private:
    std::variant<T, Error> state_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : failed_(true), reason_(std::move(error.reason)), code_(error.code) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return reason_; }
    int errorCode() const { return code_; }

private:
    bool failed_ = false;
    std::string reason_;
    int code_ = 0;
};

inline Error fail(std::string reason, int code = 0) { return Error{std::move(reason), code}; }

namespace detail {
template <class T>
T takeValue(Result<T>&& result) {
    return std::move(result).value();
}
inline void takeValue(Result<void>&& /*result*/) {}
}  // namespace detail

}  // namespace vx

// Evaluates a Result. When it failed, the enclosing function returns its reason (and errno
// code); otherwise the expression yields the value (nothing for Result<void>):
//     std::shared_ptr<UITableView> table = VX_TRY(visibleTable());
// A GNU statement expression, which GCC and clang both accept.
#define VX_TRY(expression)                                                                 \
    ({                                                                                     \
        auto vxTryResult = (expression);                                                   \
        if (!vxTryResult) return ::vx::fail(vxTryResult.error(), vxTryResult.errorCode()); \
        ::vx::detail::takeValue(std::move(vxTryResult));                                   \
    })
