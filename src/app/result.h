#pragma once

// The one way work outside platform/ reports how it went: done (with a value, for Result<T>) or
// failed with the message the user is shown.  The platform's own calls keep their low-level
// form (a bool and an optional message, or platform::FileResult where a file's four outcomes
// steer a disposal); code above them wraps that in a Result.
//
//     Result<quint32> checksum(const QString& path) {
//         ...
//         if (!opened) return Failure{why};
//         return crc;
//     }
//     const auto result = checksum(path);
//     if (!result) showError(result.message());

#include <QString>
#include <optional>
#include <utility>

// What a failed Result carries; converts to a Result of any type.
struct Failure {
    QString message;
};

template <typename T = void> class Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failure failure) : m_message(std::move(failure.message)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    // Why it failed; empty when it did not.
    const QString& message() const { return m_message; }
    // Only when ok().
    const T& value() const& { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    T valueOr(T fallback) const { return m_value ? *m_value : std::move(fallback); }

private:
    std::optional<T> m_value;
    QString m_message;
};

template <> class Result<void> {
public:
    Result() = default;
    Result(Failure failure) : m_ok(false), m_message(std::move(failure.message)) {}

    static Result done() { return {}; }
    // A bool-plus-message outcome of a lower layer, as a Result.
    static Result from(bool ok, const QString& message) {
        return ok ? Result() : Result(Failure{message});
    }

    bool ok() const { return m_ok; }
    explicit operator bool() const { return ok(); }
    const QString& message() const { return m_message; }

private:
    bool m_ok = true;
    QString m_message;
};
