// A shared library loaded with local symbol scope, so that equal names in two libraries (both
// the plug-in and the companion export CleanUp) never resolve to each other.
#pragma once

#include <string>

namespace fw {

bool FileExists(const std::string& path);

// The folder of the running program's file, in the platform's own form (no trailing separator).
std::string ProgramFolder();

class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Loads the library; its own folder is searched for its dependencies. False on failure.
    bool Load(const std::string& path);
    bool IsLoaded() const { return handle_ != nullptr; }
    // The address of an exported symbol, or null.
    void* Resolve(const char* name) const;
    // Leaves the library loaded for the rest of the process (the plug-in never unloads it).
    void Release() { handle_ = nullptr; }

    template <class Fn>
    Fn ResolveAs(const char* name) const {
        return reinterpret_cast<Fn>(Resolve(name));
    }

private:
    void* handle_ = nullptr;
};

}  // namespace fw
