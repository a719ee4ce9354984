#pragma once

#include <string>

// The bindings in the settings file: the "keys" and "pad" sections, one entry
// per action that differs from the defaults ("up = I, Up", "talk = South").
class ControlsFile {
public:
    ControlsFile() = delete;

    // Takes the bindings from the settings store (already loaded). Returns ""
    // or one line saying why the defaults are used instead.
    static std::string load();
    // Puts the bindings in the store and writes the settings file; false and
    // `why` when it could not be written.
    static bool save(std::string* why = nullptr);
};
