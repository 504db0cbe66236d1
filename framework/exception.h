#pragma once

#include <exception>
#include <string>

// Base of the exceptions the file layer raises; what() gives a sentence for the user.
class CException : public std::exception {
  public:
    // Returns the message shown to the user.
    const char* what() const noexcept override { return m_message.c_str(); }

  protected:
    explicit CException(std::string message) : m_message(std::move(message)) {}

  private:
    std::string m_message;
};

// Raised by file operations that a file class does not offer.
class CNotSupportedException : public CException {
  public:
    CNotSupportedException();
};

// Throws CNotSupportedException.
[[noreturn]] void AfxThrowNotSupportedException();
