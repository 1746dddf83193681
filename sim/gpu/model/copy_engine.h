#pragma once

// The pixel engine's copy engine. LX_PE_OVG_CP_START = n runs the copy-area entry at table
// position n x 4:
//   word 0: bits 31-26 the colour mode, bits 22-12 height - 1, bits 10-0 width - 1;
//   word 1: bit 31 rvd (the addresses name the last pixel and the copy runs backwards), 30 cdm,
//           29 cpw, 28-16 the destination line skip, 15 dame, 14 same, 12-0 the source skip;
//   words 2 and 3: the source and destination addresses, through the GPU MMU when same or
//           dame is set, else physical.
// LX_PE_OVG_CE_MODE 0 copies, or converts by the colour mode; 2 resolves four samples a pixel
// into their rounded average. Skips count pixels, in mode 2 source samples. Whatever it does
// not model is a protocol error and nothing is written.

#include <cstdint>

#include "simgpu.h"

namespace simgpu {

class CopyEngine {
public:
    explicit CopyEngine(SimGpu& gpu) : gpu_(gpu) {}

    void run(const uint32_t entry[4]);

private:
    bool refuse(const std::string& why) const;

    SimGpu& gpu_;
};

}  // namespace simgpu
