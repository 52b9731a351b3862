// The interpreter binding: module `fendro_proof._fendro_proof` with the class
// `Prover`, written against the stable ABI so one build serves every CPython
// from 3.11 on.
#define PY_SSIZE_T_CLEAN
#define Py_LIMITED_API 0x030B0000
#include <Python.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "fendro/module/command.hpp"
#include "fendro/proof/proof.hpp"

namespace {

struct ProverObject {
  PyObject_HEAD
  // 0 while free, -1 while a `command` call holds the object.
  std::atomic<std::intptr_t> borrow;
};

constexpr std::intptr_t kFree = 0;
constexpr std::intptr_t kBorrowed = -1;

// Holds the object exclusively for one call; releases it on every way out.
class Borrow {
 public:
  explicit Borrow(ProverObject* self) : self_(self) {
    std::intptr_t expected = kFree;
    held_ = self_->borrow.compare_exchange_strong(expected, kBorrowed);
  }
  ~Borrow() {
    if (held_) self_->borrow.store(kFree);
  }
  Borrow(const Borrow&) = delete;
  Borrow& operator=(const Borrow&) = delete;
  bool held() const { return held_; }

 private:
  ProverObject* self_;
  bool held_;
};

// Builds the returned str from the response's pieces as they come, so the
// response never exists twice: each piece is decoded and appended to a str
// nothing else references, which the interpreter grows in place (for a
// large str, a remap of its pages rather than a copy). Every piece holds
// whole UTF-8 sequences, so each decodes on its own.
class StrSink final : public fendro::ResponseSink {
 public:
  StrSink() = default;
  StrSink(const StrSink&) = delete;
  StrSink& operator=(const StrSink&) = delete;
  ~StrSink() { Py_XDECREF(str_); }

  void take(std::string_view piece) override { append(piece); }

  void expect(std::size_t bytes) override { expected_ += bytes; }

  // The response (a new reference), or null with the interpreter's error set.
  PyObject* release() {
    if (failed_) return nullptr;
    if (!str_) return PyUnicode_FromStringAndSize("", 0);
    return std::exchange(str_, nullptr);
  }

 private:
  void append(std::string_view bytes) {
    if (failed_ || bytes.empty()) return;
    PyObject* part = PyUnicode_FromStringAndSize(bytes.data(), static_cast<Py_ssize_t>(bytes.size()));
    if (!part) {
      failed_ = true;
      return;
    }
    if (!str_) {
      str_ = part;
      if (expected_ >= kLargeResponse) move_to_own_mapping();
      return;
    }
    PyUnicode_Append(&str_, part);  // on failure str_ is released and null
    Py_DECREF(part);
    failed_ = str_ == nullptr;
  }

  // A large str is best grown by remapping its pages, never by copying
  // them: the allocator does so for a block with a mapping of its own, which
  // it gives to blocks above a threshold that it raises at run time (glibc:
  // up to 32 MiB). The str is grown once past that, then cut back, so that it
  // keeps a mapping whatever the threshold; pages never written cost nothing.
  // Below it a growing str might be copied to a mapping halfway, and the heap
  // it leaves behind would stay resident.
  static constexpr std::size_t kLargeResponse = 4 << 20;
  static constexpr std::size_t kOwnMapping = 33 << 20;

  void move_to_own_mapping() {
    const Py_ssize_t length = PyUnicode_GetLength(str_);
    const auto grown = static_cast<Py_ssize_t>(std::max(expected_, kOwnMapping));
    if (PyUnicode_Resize(&str_, grown) < 0) {
      PyErr_Clear();  // only a way of growing: the str is as it was
      return;
    }
    failed_ = PyUnicode_Resize(&str_, length) < 0;
  }

  PyObject* str_ = nullptr;
  std::size_t expected_ = 0;
  bool failed_ = false;
};

// The interrupt a command asks between stretches of its work: it runs the
// interpreter's signal handlers, and a handler that raised (Ctrl-C's
// KeyboardInterrupt, whatever an alarm's handler raises) stops the command
// with that exception set. An exception already set (a response that could
// not be built) stops it too: nothing more can be handed on.
bool python_wants_stop(void*) { return PyErr_Occurred() != nullptr || PyErr_CheckSignals() != 0; }

PyObject* new_version_str() {
  return PyUnicode_FromStringAndSize(fendro::ENGINE_VERSION.data(),
                                     static_cast<Py_ssize_t>(fendro::ENGINE_VERSION.size()));
}

PyObject* prover_command(PyObject* self, PyObject* args, PyObject* kwargs) {
  static const char* keywords[] = {"cmd_json", nullptr};
  PyObject* cmd_json = nullptr;
  if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O:command", const_cast<char**>(keywords),
                                   &cmd_json)) {
    return nullptr;
  }

  Borrow borrow(reinterpret_cast<ProverObject*>(self));
  if (!borrow.held()) {
    PyErr_SetString(PyExc_RuntimeError, "Already borrowed");
    return nullptr;
  }

  if (!PyUnicode_Check(cmd_json)) {
    PyObject* type_name = PyType_GetName(Py_TYPE(cmd_json));
    if (type_name) {
      PyErr_Format(PyExc_TypeError, "command() argument 'cmd_json' must be str, not %U",
                   type_name);
      Py_DECREF(type_name);
    }
    return nullptr;
  }

  Py_ssize_t size = 0;
  const char* utf8 = PyUnicode_AsUTF8AndSize(cmd_json, &size);
  if (!utf8) return nullptr;  // e.g. a lone surrogate: the interpreter's UnicodeEncodeError

  // No C++ exception may reach the interpreter. The interpreter lock stays
  // held throughout: the command is asked to stop between stretches of its
  // work, which is when signal handlers get to run.
  StrSink response;
  try {
    const fendro::Interrupt interrupt(python_wants_stop, nullptr);
    const auto done = fendro::apply_command(std::string_view(utf8, static_cast<std::size_t>(size)), response,
                                            interrupt);
    if (!done) return nullptr;  // the handler's exception (or the sink's failure) is set
    // Whatever set an exception (a handler run at the last ask) has the last word.
    if (PyErr_Occurred() != nullptr) return nullptr;
  } catch (const std::bad_alloc&) {
    return PyErr_NoMemory();
  } catch (const std::length_error&) {
    return PyErr_NoMemory();
  } catch (const std::exception& e) {
    PyErr_Format(PyExc_SystemError, "internal error in command: %s", e.what());
    return nullptr;
  } catch (...) {
    PyErr_SetString(PyExc_SystemError, "internal error in command");
    return nullptr;
  }
  return response.release();
}

PyObject* prover_version(PyObject*, PyObject*) { return new_version_str(); }

PyObject* prover_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  const bool has_kwargs = kwargs && PyDict_Size(kwargs) != 0;
  if (PyTuple_Size(args) != 0 || has_kwargs) {
    PyErr_SetString(PyExc_TypeError, "Prover() takes no arguments");
    return nullptr;
  }
  auto alloc = reinterpret_cast<allocfunc>(PyType_GetSlot(type, Py_tp_alloc));
  PyObject* self = alloc(type, 0);
  if (!self) return nullptr;
  new (&reinterpret_cast<ProverObject*>(self)->borrow) std::atomic<std::intptr_t>(kFree);
  return self;
}

void prover_dealloc(PyObject* self) {
  PyTypeObject* type = Py_TYPE(self);
  auto free_fn = reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free));
  free_fn(self);
  Py_DECREF(type);  // instances of a heap type hold a reference to it
}

// Each doc is "signature\n--\n\ntext": the interpreter shows the signature
// as `__text_signature__` and the text after the separator as `__doc__`.
// Callers read these texts, so they stay exactly as they are; the longer help
// (the commands and the documents) is the package's docstring and the stub's.
PyMethodDef prover_methods[] = {
    {"command", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(prover_command)),
     METH_VARARGS | METH_KEYWORDS,
     "command($self, cmd_json)\n--\n\nApply a command JSON and return the resulting response JSON."},
    {"version", prover_version, METH_NOARGS | METH_STATIC, "version()\n--\n\nThe library version."},
    {nullptr, nullptr, 0, nullptr},
};

PyType_Slot prover_slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(prover_new)},
    {Py_tp_dealloc, reinterpret_cast<void*>(prover_dealloc)},
    {Py_tp_doc, const_cast<char*>("Prover()\n--\n\nA stateless prover driven by JSON commands.")},
    {Py_tp_methods, prover_methods},
    {0, nullptr},
};

// Default flags only: no subclassing, no garbage-collector tracking, no
// instance dictionary or weak references. The full name "builtins.Prover"
// gives the class the `__module__` "builtins", which callers rely on.
PyType_Spec prover_spec = {
    "builtins.Prover",
    static_cast<int>(sizeof(ProverObject)),
    0,
    Py_TPFLAGS_DEFAULT,
    prover_slots,
};

// Created on first use and kept for the life of the process. Every caller
// holds the interpreter lock, which makes the one-time creation safe.
PyObject* prover_type_object(PyObject* module) {
  static PyObject* cached = nullptr;
  if (!cached) cached = PyType_FromModuleAndSpec(module, &prover_spec, nullptr);
  return cached;
}

// Appends `name` to the module's `__all__` (created when absent), then sets
// the attribute.
int add_exported(PyObject* module, const char* name, PyObject* value) {
  PyObject* all = PyObject_GetAttrString(module, "__all__");
  if (!all) {
    if (!PyErr_ExceptionMatches(PyExc_AttributeError)) return -1;
    PyErr_Clear();
    all = PyList_New(0);
    if (!all || PyObject_SetAttrString(module, "__all__", all) < 0) {
      Py_XDECREF(all);
      return -1;
    }
  }
  PyObject* entry = PyUnicode_FromString(name);
  const int appended = entry ? PyList_Append(all, entry) : -1;
  Py_XDECREF(entry);
  Py_DECREF(all);
  if (appended < 0) return -1;
  return PyModule_AddObjectRef(module, name, value);
}

int module_exec(PyObject* module) {
  if (!PyModule_Check(module)) {
    PyErr_SetString(PyExc_TypeError, "the exec step expects a module object");
    return -1;
  }
  PyObject* version = new_version_str();
  if (!version) return -1;
  const int added = add_exported(module, "__version__", version);
  Py_DECREF(version);
  if (added < 0) return -1;

  PyObject* type = prover_type_object(module);
  if (!type) return -1;
  return add_exported(module, "Prover", type);
}

PyModuleDef_Slot module_slots[] = {
    {Py_mod_exec, reinterpret_cast<void*>(module_exec)},
    {0, nullptr},
};

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT,
    "_fendro_proof",
    "The native module (`fendro_proof._fendro_proof`).",
    0,
    nullptr,
    module_slots,
    nullptr,
    nullptr,
    nullptr,
};

}  // namespace

PyMODINIT_FUNC PyInit__fendro_proof() { return PyModuleDef_Init(&module_def); }
