// C libraries before glibc 2.33 (every ESXi release) export the stat family
// only as __xstat and friends, taking the structure version first. The ESXi
// toolchain's own replacements for stat, lstat, fstat and fstatat return -1
// without setting errno, which misleads every caller that asks why (the C++
// runtime's file system calls among them). These call the C library's own.
#include <sys/stat.h>

#if defined(__GLIBC__) && !__GLIBC_PREREQ(2, 33)
namespace {
constexpr int kStatVersion = 1;  // _STAT_VER_LINUX on x86-64
}

extern "C" {
int __xstat(int version, const char* path, struct stat* buf);
int __lxstat(int version, const char* path, struct stat* buf);
int __fxstat(int version, int fd, struct stat* buf);
int __fxstatat(int version, int dirfd, const char* path, struct stat* buf, int flags);

int stat(const char* path, struct stat* buf) noexcept { return __xstat(kStatVersion, path, buf); }
int lstat(const char* path, struct stat* buf) noexcept { return __lxstat(kStatVersion, path, buf); }
int fstat(int fd, struct stat* buf) noexcept { return __fxstat(kStatVersion, fd, buf); }
int fstatat(int dirfd, const char* path, struct stat* buf, int flags) noexcept {
  return __fxstatat(kStatVersion, dirfd, path, buf, flags);
}
}
#endif
