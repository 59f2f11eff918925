#pragma once

#include <exception>

namespace norvanta {

// The failure numbers that messages show and that commands test.
namespace FailureCode {
constexpr int InvalidArgument = 5;
constexpr int Overflow = 6;
constexpr int IndexOutOfRange = 9;
constexpr int DivisionByZero = 11;
constexpr int FileNotFound = 53;
constexpr int DeviceError = 57; // the file opened but could not be read
constexpr int DiskFull = 61;
constexpr int ReadPastEnd = 62;
constexpr int PermissionDenied = 70;
constexpr int PathNotFound = 76;
constexpr int DialogCancelled = 32755;
} // namespace FailureCode

// A failure reported by number. Arithmetic that the program expects to fail
// (division by zero, exp overflow) checks and throws this explicitly.
class Failure : public std::exception {
public:
    explicit Failure(int code) noexcept : code_(code) {}
    int code() const noexcept { return code_; }
    const char* what() const noexcept override { return "norvanta::Failure"; }

private:
    int code_;
};

} // namespace norvanta
