// Gives a test a freshly constructed global object: the old one is
// destroyed and a new one built in its place.
#pragma once

#include <new>

namespace hp::test {

template <typename T>
void rebuild(T &object)
{
    object.~T();
    new (&object) T();
}

}  // namespace hp::test
