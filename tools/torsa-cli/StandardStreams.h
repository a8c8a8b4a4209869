#pragma once

namespace torsa::cli {

// stdout and stderr take the bytes as they are written. The C runtime of
// Windows would otherwise turn each LF into CR LF, and the listing's and the
// list's own CR LF into CR CR LF; elsewhere streams are binary already.
void useBinaryStandardStreams();

} // namespace torsa::cli
