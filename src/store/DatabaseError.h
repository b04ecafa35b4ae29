#pragma once
#include <stdexcept>
#include <string>

// Every failure of the database engine surfaces as this, carrying the engine's message.
class EDatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
