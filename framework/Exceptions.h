#pragma once
// The framework's run-time errors.

#include <memory>
#include <stdexcept>
#include <string>

namespace fw {

class RuntimeException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A window, control, menu item or file item that is needed is missing.
class NilObjectException : public RuntimeException {
public:
    explicit NilObjectException(const std::string& what = "NilObjectException: object does not exist")
        : RuntimeException(what)
    {
    }
};

// An object that is not of the class it is cast to.
class IllegalCastException : public RuntimeException {
public:
    using RuntimeException::RuntimeException;
};

[[noreturn]] inline void RaiseNilObjectException(const std::string& what = "NilObjectException: object does not exist")
{
    throw NilObjectException(what);
}

// Casts an object to the class it is used as, testing the class at run time.
// A nil object stays nil.
template <class T, class U>
T* RuntimeCheckCast(U* obj)
{
    if (!obj)
        return nullptr;
    T* out = dynamic_cast<T*>(obj);
    if (!out)
        throw IllegalCastException("IllegalCastException: object is not of the expected class");
    return out;
}

template <class T, class U>
std::shared_ptr<T> RuntimeCheckCast(const std::shared_ptr<U>& obj)
{
    if (!obj)
        return nullptr;
    auto out = std::dynamic_pointer_cast<T>(obj);
    if (!out)
        throw IllegalCastException("IllegalCastException: object is not of the expected class");
    return out;
}

}  // namespace fw
