// Numbers in lanes, as the compiler's vector extensions hold them, and the processor's instruction
// sets that the wider lanes need, each asked once: what the loops that map data to pixels and the
// raster's map of pixels to its grid share. Internal; not installed.
#pragma once

#include <cstdint>

namespace znq::lanes {

// The vectors' helpers are inlined into their callers, so the note that their calling convention
// differs between instruction sets concerns no call.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

// N doubles, N 64-bit integers, N 32-bit integers and N bytes. Without instructions of the
// vectors' width the compiler issues each operation as several narrower ones.
template <int N> struct Lanes {
    static constexpr int Count = N;
    typedef double Doubles __attribute__((vector_size(8 * N)));
    typedef int64_t Longs __attribute__((vector_size(8 * N)));
    typedef int32_t Ints __attribute__((vector_size(4 * N)));
    typedef int8_t Bytes __attribute__((vector_size(N)));
};

// The lanes' bits read as the other type: a cast between vector types of one size reinterprets
// them.
template <class Doubles> [[gnu::always_inline]] inline auto BitsOf(Doubles v)
{
    return (typename Lanes<sizeof v / 8>::Longs) v;
}
template <class Longs> [[gnu::always_inline]] inline auto DoublesOf(Longs v)
{
    return (typename Lanes<sizeof v / 8>::Doubles) v;
}

// The magnitude of each lane: its sign bit cleared.
template <class Doubles> [[gnu::always_inline]] inline Doubles Absolute(Doubles v)
{
    return DoublesOf(BitsOf(v) & INT64_MAX);
}

// Each lane from yes where mask's lane is not zero (all ones, as a compare gives it), else from
// no.
template <class Longs, class Doubles>
[[gnu::always_inline]] inline Doubles Pick(Longs mask, Doubles yes, Doubles no)
{
    return mask ? yes : no;
}

#pragma GCC diagnostic pop

#if defined(__x86_64__) && defined(__GNUC__)
// The instruction sets, asked of the processor once each (also before the constructors of static
// objects have run).
inline bool HasAvx()
{
    static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("avx"));
    return has;
}
inline bool HasAvx2()
{
    static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
    return has;
}
inline bool HasAvx2Fma()
{
    static const bool has = HasAvx2() && __builtin_cpu_supports("fma");
    return has;
}
inline bool HasAvx512()
{
    static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("avx512f"))
        && __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl")
        && __builtin_cpu_supports("fma");
    return has;
}
#else
inline bool HasAvx()
{
    return false;
}
inline bool HasAvx2()
{
    return false;
}
inline bool HasAvx2Fma()
{
    return false;
}
inline bool HasAvx512()
{
    return false;
}
#endif

} // namespace znq::lanes
