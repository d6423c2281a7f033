#pragma once

#include <optional>

#include <QString>

// A failure as the user sees it: a domain naming the component, a code
// within that domain, and the message shown in alerts.
struct Error {
    QString domain;
    int code = 0;
    QString message;

    QString localizedDescription() const { return message; }
    bool operator==(const Error &) const = default;
};

using OptionalError = std::optional<Error>;
