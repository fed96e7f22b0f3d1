// The integer results that the framework's operations return instead of
// throwing across modules.
#pragma once

namespace vossik {

inline constexpr int kResultOk = 0;            // success
inline constexpr int kResultDefaultUsed = -1;  // not found, the default was used (a success)
inline constexpr int kResultUnresolved =
    -2;  // argument or setting cannot be resolved; output untouched
inline constexpr int kResultMissing = -3;    // file missing, too short or without content
inline constexpr int kResultEncrypted = -5;  // an encrypted container where plain text was expected

}  // namespace vossik
