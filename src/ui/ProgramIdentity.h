#pragma once

// Who the program is to the platform: its name, version and icon. It sets no
// display name: Qt would append one to every window title, and the titles are
// the program's own captions, exactly as they stand.

namespace torsa {

void setProgramIdentity();

} // namespace torsa
