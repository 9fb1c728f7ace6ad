// The C++ value inside a Python object of the module's classes, refused
// with TypeError where there is none: an object made with cls.__new__(cls)
// and no __init__ (or whose __init__ failed) holds no value yet, and
// pybind11 would hand out uninitialised memory for it.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <typeinfo>

namespace gantline {

namespace py = pybind11;

template <typename T>
T& Made(py::handle object, const char* what) {
    const py::detail::type_info* type = py::detail::get_type_info(typeid(T));
    const std::string name = type ? type->type->tp_name : "object";
    if (!type || !PyObject_TypeCheck(object.ptr(), type->type))
        throw py::type_error(std::string(what) + " must be a " + name + ", not " + Py_TYPE(object.ptr())->tp_name);
    auto held = reinterpret_cast<py::detail::instance*>(object.ptr())->get_value_and_holder(type);
    if (!held || !held.holder_constructed() || held.value_ptr() == nullptr)
        throw py::type_error(std::string(what) + ": this " + name +
                             " was never initialised (made without __init__); build one with " + name + "(...)");
    return *static_cast<T*>(held.value_ptr());
}

}  // namespace gantline
