#pragma once
// Tolva3DView --render MAP --output FILE.png [options]: draws the view a map
// shows after it is loaded into a picture file, without a window.

namespace tolva {

// True when the command line asks for the render command.
bool IsRenderCommand(int argc, char* argv[]);

// Runs it; the process exit code (0 when the picture was written).
int RunRenderCommand(int argc, char* argv[]);

} // namespace tolva
