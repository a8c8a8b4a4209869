#pragma once

// The two orders in which the system's texts break their lines: most message
// boxes put LF then CR; the transfer messages, the listing and the files CR LF.

#include <QLatin1String>

namespace torsa {

inline constexpr QLatin1String kLfCr("\n\r");
inline constexpr QLatin1String kCrLf("\r\n");

} // namespace torsa
