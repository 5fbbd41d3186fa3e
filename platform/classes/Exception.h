#pragma once
// The root exception of the class library stand-in: an exception that carries only a message.
// Every exception class of the system derives from it.
#include <exception>
#include <string>

class Exception : public std::exception {
  public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    const std::string& Message() const noexcept { return FMessage; }
    void SetMessage(std::string message) { FMessage = std::move(message); }
    const char* what() const noexcept override { return FMessage.c_str(); }

  private:
    std::string FMessage;
};

// Raised for an index or count outside its range (the class library's range error).
class ERangeError : public Exception {
  public:
    using Exception::Exception;
};

// Raised when integer arithmetic would overflow (the class library's overflow error).
class EIntOverflow : public Exception {
  public:
    using Exception::Exception;
};

// Raised by file and stream operations.
class EStreamError : public Exception {
  public:
    using Exception::Exception;
};

class EFOpenError : public EStreamError {
  public:
    using EStreamError::EStreamError;
};

class EReadError : public EStreamError {
  public:
    using EStreamError::EStreamError;
};

class EWriteError : public EStreamError {
  public:
    using EStreamError::EStreamError;
};

// Raised by string lists for a bad index or a refused duplicate.
class EStringListError : public Exception {
  public:
    using Exception::Exception;
};
