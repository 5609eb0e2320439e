#pragma once
// Which wider vector instructions this processor has, asked once per program. Loops that have
// a wider form choose it at run time, so that one build runs on every x86-64 processor; every
// form gives the same bytes, and the tests compare each with the plain one.

namespace brumeleaf {

inline bool HasAvx2() {
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
#else
  return false;
#endif
}

// AVX-512 with the byte and word instructions and the 128/256-bit forms the loops use.
inline bool HasAvx512() {
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
  static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                          __builtin_cpu_supports("avx512vl");
  return has;
#else
  return false;
#endif
}

}  // namespace brumeleaf
