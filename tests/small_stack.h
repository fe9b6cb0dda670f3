// Runs a piece of a test on a thread with a small stack, as a host's render
// thread may have.
#pragma once

#include <pthread.h>

#include <functional>

namespace vxt {

// False when the thread could not be started.
inline bool onSmallStack(const std::function<void()>& work, size_t bytes = 1 << 20) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, bytes);
    pthread_t thread;
    const auto body = [](void* w) -> void* {
        (*static_cast<const std::function<void()>*>(w))();
        return nullptr;
    };
    const bool started = pthread_create(&thread, &attr, body, const_cast<std::function<void()>*>(&work)) == 0;
    pthread_attr_destroy(&attr);
    if (started) pthread_join(thread, nullptr);
    return started;
}

}  // namespace vxt
