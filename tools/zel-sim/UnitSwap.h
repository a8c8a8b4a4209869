#pragma once

// A unit of a production line taken away (SIGUSR1) and the next one put in
// (SIGUSR2, or --absent MS later): the one taken away saved first under
// --save-each, the new one blank or the --load file.

#include "SimOptions.h"

namespace zelsim {

class UnitSimulator;

class UnitSwap {
public:
    UnitSwap(UnitSimulator &unit, const SimOptions &options) : unit_(unit), options_(options) {}

    void takeAway();
    void putIn();

    // A unit taken away whose EEPROM did not reach the disk: the run failed.
    bool saveFailed() const { return saveFailed_; }

private:
    UnitSimulator &unit_;
    const SimOptions &options_;
    bool saveFailed_ = false;
};

} // namespace zelsim
