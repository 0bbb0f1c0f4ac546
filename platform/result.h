// Result values of the platform layer: every service answers with a Result or an Outcome
// instead of throwing, so that callers can turn a failure into the message the user sees.
#pragma once

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace rvx::platform {

// What went wrong, in the terms the installer reasons about (the Windows error codes map onto these).
enum class Status {
    ok,
    not_found,          // the file, key, value, service or window does not exist
    path_not_found,     // a folder along the path does not exist
    access_denied,
    sharing_violation,  // the file is in use
    disk_full,
    already_exists,
    not_empty,          // a folder or key that still has children
    invalid_argument,
    io_error,
    not_available_yet,  // the service is not implemented on this platform yet
    unsupported,        // the platform does not offer the service at all (a 95-family service manager)
    cancelled,
};

const char* StatusName(Status status);

struct Error {
    Status status = Status::io_error;
    std::string detail;  // a human-readable explanation, naming the object concerned

    std::string Describe() const;
};

inline Error Fail(Status status, std::string detail) { return Error{status, std::move(detail)}; }
Error NotAvailableYet(const char* service);

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::move(value)) {}  // NOLINT: implicit on purpose
    Result(Error error) : state_(std::move(error)) { assert(this->error().status != Status::ok); }  // NOLINT

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { assert(ok()); return std::get<0>(state_); }
    const T& value() const& { assert(ok()); return std::get<0>(state_); }
    T&& value() && { assert(ok()); return std::get<0>(std::move(state_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }

    const Error& error() const { assert(!ok()); return std::get<1>(state_); }
    Status status() const { return ok() ? Status::ok : error().status; }

    T value_or(T fallback) const& { return ok() ? value() : std::move(fallback); }

private:
    std::variant<T, Error> state_;
};

// The result of an operation that yields nothing but success or an error.
class [[nodiscard]] Outcome {
public:
    Outcome() = default;
    Outcome(Error error) : error_(std::move(error)) { assert(error_.status != Status::ok); }  // NOLINT

    static Outcome Ok() { return {}; }
    bool ok() const { return error_.status == Status::ok; }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return error_; }
    Status status() const { return error_.status; }

private:
    Error error_{Status::ok, {}};
};

}  // namespace rvx::platform
