#pragma once

namespace fl {

struct Context;

// Connects the commands of pictures, recorded songs and CD songs, and readies the CD device.
void registerMediaCommands(Context& ctx);

} // namespace fl
