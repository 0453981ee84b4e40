#pragma once
// Settings fields that the frame thread reads while the user-interface thread changes them. Each is a
// single 32-bit value or a byte, read and written whole, so a frame sees either the old or the new value.
#include <atomic>

template <class T>
T LoadShared(T& field)
{
    return std::atomic_ref<T>(field).load(std::memory_order_relaxed);
}

template <class T, class V>
void StoreShared(T& field, V value)
{
    std::atomic_ref<T>(field).store(T(value), std::memory_order_relaxed);
}
