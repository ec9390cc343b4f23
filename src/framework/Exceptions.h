#pragma once
#include <stdexcept>
#include <string>

// The failures the calendar's code raises; every one that no handler catches reaches the
// application's unhandled-exception dialog.
class RuntimeException : public std::runtime_error
{
public:
    explicit RuntimeException(const std::string& what = "runtime error") : std::runtime_error(what) {}
};

class NilObjectException : public RuntimeException
{
public:
    explicit NilObjectException(const std::string& what = "nil object") : RuntimeException(what) {}
};

class KeyNotFoundException : public RuntimeException
{
public:
    explicit KeyNotFoundException(const std::string& what = "key not found") : RuntimeException(what) {}
};

class OutOfBoundsException : public RuntimeException
{
public:
    explicit OutOfBoundsException(const std::string& what = "out of bounds") : RuntimeException(what) {}
};
