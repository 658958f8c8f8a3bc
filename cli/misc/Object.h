#pragma once

#include <string>

// Root of most tesscli classes: failures are reported by returning false and leaving a readable
// description here for the caller to print.
class Object
{
public:
    virtual ~Object() = default;

    void SetLastError(const char* format, ...) __attribute__((format(printf, 2, 3)));
    const std::string& GetLastError() const { return m_lastError; }

private:
    std::string m_lastError;
};
