// A shared library opened when it is first needed, and its functions by name. A program
// that does not need it neither maps it nor the libraries it pulls in. It stays loaded
// for the rest of the process.
#pragma once
#include <dlfcn.h>

namespace zuva {

class DynamicLibrary {
  public:
    explicit DynamicLibrary(const char* name) : handle_(dlopen(name, RTLD_NOW | RTLD_LOCAL)) {}
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    // Sets `fn` to the function `symbol` of the library (or of a library it pulls in).
    template <class Fn>
    void get(Fn& fn, const char* symbol) {
        fn = handle_ ? reinterpret_cast<Fn>(dlsym(handle_, symbol)) : nullptr;
        if (!fn) complete_ = false;
    }
    // Loaded, and every function asked for was found.
    bool complete() const { return handle_ && complete_; }

  private:
    void* handle_;
    bool complete_ = true;
};

}  // namespace zuva
