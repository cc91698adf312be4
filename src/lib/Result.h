#pragma once

// How an operation that can fail says so: a Result holds either the value (nothing, for
// Result<void>) or a Failure naming what was being done, to which path, and why. The
// reason is the system's own (strerror) where the system refused, so "Permission denied"
// or "No space left on device" reaches the log and the user instead of a bare false.

#include <cerrno>
#include <optional>
#include <string>
#include <utility>
#include <variant>

struct Failure {
    std::string what;   // the step that failed, as a verb: "cannot rename", "cannot open"
    std::string path;   // the entry it was done to; may be empty
    std::string to;     // the other entry of a step that has two (where a move goes)
    std::string reason; // why: the system's text, or our own words
    int error = 0;      // the errno behind reason; 0 when the system gave none

    // `what` failing on `path` because of the system error `error` (errno by default).
    static Failure System(std::string what, std::string path, int error = errno);
    // `what` failing on `path` for a reason of our own.
    static Failure Because(std::string what, std::string path, std::string reason);

    // The same failure of a step that went from path to `other`.
    Failure To(std::string other) &&;

    // One line: cannot move "/x/a" to "/x/a copy": Permission denied
    std::string Text() const;
};

template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : fState(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : fState(std::in_place_index<1>, std::move(failure)) {}

    bool Ok() const { return fState.index() == 0; }
    explicit operator bool() const { return Ok(); }

    // Only when Ok().
    const T& Value() const& { return std::get<0>(fState); }
    T& Value() & { return std::get<0>(fState); }
    T&& Value() && { return std::get<0>(std::move(fState)); }
    const T* operator->() const { return &Value(); }
    T* operator->() { return &Value(); }
    const T& operator*() const& { return Value(); }
    T& operator*() & { return Value(); }
    // Only when !Ok().
    const Failure& Error() const { return std::get<1>(fState); }

private:
    std::variant<T, Failure> fState;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : fFailure(std::move(failure)) {}

    bool Ok() const { return !fFailure.has_value(); }
    explicit operator bool() const { return Ok(); }

    // Only when !Ok().
    const Failure& Error() const { return *fFailure; }

private:
    std::optional<Failure> fFailure;
};

// Success of an operation that gives nothing back.
inline Result<void> Done() {
    return {};
}
