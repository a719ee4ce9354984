#pragma once

#include <new>

// Room for a static object that is only made when first needed and destroyed
// at exit. The windowing library's objects (a window, a texture) reach for the
// display as soon as they are constructed, so the game cannot hold them as
// plain statics: a program started without a display must still be able to
// print its help.
template <class T>
class LateStatic {
public:
    constexpr LateStatic() = default;
    LateStatic(const LateStatic&) = delete;
    LateStatic& operator=(const LateStatic&) = delete;
    ~LateStatic()
    {
        if (made)
            get().~T();
    }

    // The object, made (default-constructed) if it is not yet.
    T& make()
    {
        if (!made) {
            new (storage) T();
            made = true;
        }
        return get();
    }
    bool exists() const { return made; }
    // The object's place, for a reference bound before it is made.
    T& place() { return *reinterpret_cast<T*>(storage); }

private:
    T& get() { return *std::launder(reinterpret_cast<T*>(storage)); }

    alignas(T) unsigned char storage[sizeof(T)] = {};
    bool made = false;
};
