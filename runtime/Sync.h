// The recursive mutex that serialises trace-log lines, and its base classes.
#pragma once

#include <pthread.h>

#include <cstdint>

class CSyncObject {
 public:
  virtual ~CSyncObject() = default;
  virtual int Lock(uint32_t timeoutMs) = 0;
  virtual int Unlock() = 0;
};

// The plain lock type the mutex is also usable as.
class cmutex {
 public:
  virtual ~cmutex() = default;
};

class CMutex : public CSyncObject, public cmutex {
 public:
  static constexpr uint32_t kInfinite = 0xFFFFFFFFu;

  CMutex();
  // Process-shared, recursive variant.
  explicit CMutex(bool processShared);
  ~CMutex() override;
  CMutex(const CMutex&) = delete;
  CMutex& operator=(const CMutex&) = delete;

  // 1 when acquired. kInfinite waits without limit; a thread that already owns
  // the mutex only counts up. A finite timeout polls once a millisecond.
  int Lock(uint32_t timeoutMs) override;
  // 1 when released by the owner; another thread's unlock changes nothing.
  int Unlock() override;

  uint32_t LockCount() const { return lockCount_; }

 private:
  uint32_t lockCount_ = 0;
  pthread_t owner_{};
  bool owned_ = false;
  pthread_mutex_t guard_;  // protects lockCount_, owner_ and owned_
  pthread_mutex_t lock_;
};

class CCriticalSection : public CMutex {
 public:
  int Lock(uint32_t = kInfinite) override { return CMutex::Lock(kInfinite); }
};
