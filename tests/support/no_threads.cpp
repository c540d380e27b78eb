// Preloaded by the stack tests: makes every thread creation fail, as it does when the
// system can give the process no more threads, so that the interpreter runs on the main
// thread.
#include <pthread.h>

#include <cerrno>

extern "C" int pthread_create(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*) {
  return EAGAIN;
}
