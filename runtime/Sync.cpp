#include "runtime/Sync.h"

#include <cerrno>
#include <unistd.h>

CMutex::CMutex() {
  pthread_mutex_init(&guard_, nullptr);
  pthread_mutex_init(&lock_, nullptr);
}

CMutex::CMutex(bool processShared) {
  pthread_mutexattr_t attr;
  pthread_mutexattr_init(&attr);
  if (processShared) pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
  pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(&guard_, &attr);
  pthread_mutex_init(&lock_, &attr);
  pthread_mutexattr_destroy(&attr);
}

CMutex::~CMutex() {
  pthread_mutex_destroy(&lock_);
  pthread_mutex_destroy(&guard_);
}

int CMutex::Lock(uint32_t timeoutMs) {
  const pthread_t self = pthread_self();
  pthread_mutex_lock(&guard_);
  if (owned_ && pthread_equal(owner_, self)) {
    ++lockCount_;
    pthread_mutex_unlock(&guard_);
    return 1;
  }
  pthread_mutex_unlock(&guard_);

  if (timeoutMs == kInfinite) {
    if (pthread_mutex_lock(&lock_) != 0) return 0;
  } else {
    for (;;) {
      const int rc = pthread_mutex_trylock(&lock_);
      if (rc == 0) break;
      if (rc != EBUSY || timeoutMs == 0) return 0;
      usleep(1000);
      --timeoutMs;
    }
  }
  pthread_mutex_lock(&guard_);
  owner_ = self;
  owned_ = true;
  lockCount_ = 1;
  pthread_mutex_unlock(&guard_);
  return 1;
}

int CMutex::Unlock() {
  pthread_mutex_lock(&guard_);
  if (!owned_ || !pthread_equal(owner_, pthread_self())) {
    pthread_mutex_unlock(&guard_);
    return 0;
  }
  if (--lockCount_ == 0) {
    owned_ = false;
    pthread_mutex_unlock(&lock_);
  }
  pthread_mutex_unlock(&guard_);
  return 1;
}
